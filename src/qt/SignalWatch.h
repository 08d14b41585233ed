// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so the
// program can stop a run and clean up before it ends (the session ending, a
// terminal closed). One watch at a time; the default handling comes back when
// it goes.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tolvanix {

class SignalWatch final : public QObject {
  Q_OBJECT

 public:
  explicit SignalWatch(QObject* parent = nullptr);
  ~SignalWatch() override;
  Q_DISABLE_COPY_MOVE(SignalWatch)

  // The first signal caught, or 0.
  int Caught() const { return caught_; }

 signals:
  void caught(int signal);

 private:
  void Drain();

  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  int caught_ = 0;
};

}  // namespace tolvanix
