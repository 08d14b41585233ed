// TForm2, the About window: the program's name and version, the maker's
// copyright line, contact and web page addresses, and a button that opens
// that web page in the user's browser. Shown modally by the main window,
// built anew for every showing.
#pragma once

#include <QDialog>

class QKeyEvent;
class QLabel;
class QObject;
class QPushButton;
class QShowEvent;

namespace tolvanix {

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // Modal results: the OK button, and the title bar's close.
  static constexpr int mrOk = 1;
  static constexpr int mrCancel = 2;

  explicit TForm2(QWidget* Owner = nullptr);

  // Controls in creation order, back to front; each is a child of the window.
  QLabel* Label5;        // heading
  QLabel* Label4;        // copyright line
  QLabel* Image1;        // program icon
  QLabel* Label1;        // contact address
  QLabel* Label2;        // web page address
  QPushButton* Button2;  // browser
  QPushButton* Button1;  // OK

  void Button2Click(QObject* Sender);

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Q_DISABLE_COPY_MOVE(TForm2)
};

}  // namespace tolvanix
