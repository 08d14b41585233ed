// A run through the real window over a slowed file system; the real program ended by a signal.
#include <QDBusConnection>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <csignal>

#include "ModalScript.h"
#include "support/FaultyFileSystem.h"

using namespace tolvanix;
using namespace tolvanix::testing;

const std::string kData = RandomBytes((3 << 20) - 5000, 4);  // 3 pieces of 1024 KB, 4 chunks

struct RunTest : InWindow {
  void SetUp() override {
    InWindow::SetUp();
    WriteFile(Path("photo.jpg"), kData);
    form_.UseFileSystem(&fs_);
    QObject::connect(&tick_, &QTimer::timeout, [this] {
      ++ticks_;
      if (form_.CommandRunning() && !fills_.endsWith(form_.Label3->Fill()))
        fills_ << form_.Label3->Fill();
    });
    tick_.start(5);
    // Each chunk waits until the GUI thread has handled 25 timer events:
    // a window whose event loop stands still never lets the run go on.
    fs_.onChunk = [this](const std::string&) {
      if (++chunks_ == 3 && atThirdChunk_) atThirdChunk_();
      const int until = ticks_ + 25;
      for (int i = 0; i < 5000 && ticks_ < until; ++i) QThread::msleep(1);
      stalled_ = stalled_ || ticks_ < until;
    };
  }
  void AnswerPrompts(ModalScript& script) {  // the split's two
    for (const char* name : {"photo.jpg", "p.001"})
      script.Then([this, name](QWidget* w) { ChooseFile(w, At(name)); });
  }

  FaultyFileSystem fs_;
  QTimer tick_;
  std::atomic<int> ticks_{0}, chunks_{0};
  std::atomic<bool> stalled_{false};
  std::function<void()> atThirdChunk_;  // on the worker
  QList<double> fills_;
};

// Meanwhile a user types, drops and clicks (終了 too: its question would go unanswered). At the
// third chunk the window is closed: いいえ lets the run go on to its end, はい ends it and the
// program; a signal ends both without the question.
TEST_F(RunTest, WindowLivesTakesNoInputAndACloseEndsTheRunOnlyAsAnswered) {
  QTimer poke;
  QObject::connect(&poke, &QTimer::timeout, [&] {
    if (chunks_ < 2 || !form_.CommandRunning() || QApplication::activeModalWidget()) return;
    QTest::keyClicks(form_.SpinEdit1->editor(), QStringLiteral("5"));
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(At("photo.jpg"))});
    EXPECT_EQ(DragAndDrop(form_.Button1, file, Qt::CopyAction), Qt::IgnoreAction);
    for (QPushButton* b : {form_.Button3, form_.Button1}) QTest::mouseClick(b, Qt::LeftButton);
  });
  poke.start(20);
  for (const char answer : {'n', 'y', 's'}) {
    SCOPED_TRACE(answer);
    for (const char* name : {"p.001", "p.002", "p.003"}) QFile::remove(At(name));
    chunks_ = 0;
    fills_.clear();
    form_.show();  // again, once closed
    form_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    std::atomic<bool> answered{answer == 's'};
    atThirdChunk_ = [&] {  // held until the question is answered
      QMetaObject::invokeMethod(
          &form_, [&] { answer == 's' ? form_.StopAndClose() : void(form_.close()); });
      for (int i = 0; i < 5000 && !answered; ++i) QThread::msleep(1);
    };
    ModalScript script;
    AnswerPrompts(script);
    if (answer != 's') {
      script.Then([&](QWidget* w) {
        ExpectBox(w, StopQuestionBox(), QStringLiteral("ファイルの分割を中止して終了しますか？"));
        QTest::keyClick(w->focusWidget(), answer == 'y' ? Qt::Key_Y : Qt::Key_N);
        answered = true;
      });
    }
    QTest::mouseClick(form_.Button1, Qt::LeftButton);
    EXPECT_FALSE(stalled_) << "the GUI thread stood still during a chunk";
    EXPECT_EQ(form_.SpinEdit1->text(), QStringLiteral("1024"));
    EXPECT_EQ(form_.isVisible(), answer == 'n') << "the program ends";
    EXPECT_EQ(FileExists(Path("p.003")), answer == 'n') << "the run went to its end";
    EXPECT_GE(fills_.size(), answer == 'n' ? 3 : 1) << "the bar advanced";
    EXPECT_TRUE(std::is_sorted(fills_.begin(), fills_.end()));
    EXPECT_EQ(form_.Label3->text() + QString::number(form_.Label3->Fill()), "0") << "run over";
  }
}

class DockListener : public QObject {
  Q_OBJECT
 public:
  QList<QPair<double, bool>> updates;
  QString app;
 public slots:
  void Update(const QString& uri, const QVariantMap& p) {
    app = uri;
    updates.append({p.value("progress").toDouble(), p.value("progress-visible").toBool()});
  }
};

TEST_F(RunTest, DockShowsTheProgressOnTheSessionBus) {
  if (!QDBusConnection::sessionBus().isConnected()) {
    if (qEnvironmentVariableIsSet("TOLVANIX_REQUIRE_BUS")) FAIL() << "no session bus";
    GTEST_SKIP() << "no session bus";
  }
  QGuiApplication::setDesktopFileName(QStringLiteral(TOLVANIX_APP_ID));
  QDBusConnection dock = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "dock");
  DockListener listener;
  ASSERT_TRUE(
      dock.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                   QStringLiteral("Update"), &listener, SLOT(Update(QString, QVariantMap))));
  ModalScript script;
  AnswerPrompts(script);
  QTest::mouseClick(form_.Button1, Qt::LeftButton);
  const auto hidden = [&] {
    return !listener.updates.isEmpty() && !listener.updates.back().second;
  };
  EXPECT_TRUE(QTest::qWaitFor(hidden)) << "the bar hidden at the end";
  QGuiApplication::setDesktopFileName(QString());
  QDBusConnection::disconnectFromBus(QStringLiteral("dock"));

  EXPECT_EQ(listener.app, QStringLiteral("application://" TOLVANIX_APP_ID ".desktop"));
  ASSERT_GE(listener.updates.size(), 3);
  for (qsizetype i = 0; i + 1 < listener.updates.size(); ++i) {
    EXPECT_TRUE(listener.updates[i].second);
    EXPECT_GT(listener.updates[i].first, i ? listener.updates[i - 1].first : 0.0);
  }
}

TEST(Signals, EndTheProgramLikeACloseAndLeaveNothingBehind) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    QTemporaryDir tmp, runtime;  // a desktop session has a runtime folder
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp.path());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(TOLVANIX_BINARY, {});
    ASSERT_TRUE(program.waitForStarted());
    const QDir dir(tmp.path());  // the program's throwaway settings folder shows that it is up
    for (int i = 0; i < 1000 && dir.isEmpty(); ++i) QThread::msleep(10);
    ASSERT_FALSE(dir.isEmpty());
    QThread::msleep(200);
    ::kill(program.processId(), signal);
    ASSERT_TRUE(program.waitForFinished());
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(program.exitCode(), signal) << "the signal it died of";
    EXPECT_EQ(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
  }
}

#include "RunTest.moc"
