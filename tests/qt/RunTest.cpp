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
  void AnswerPrompts(ModalScript& script, bool join) {  // the split's or the join's two
    for (const char* name : {join ? "p.001" : "photo.jpg", join ? "out" : "p.001"})
      script.Then([this, name](QWidget* w) { ChooseFile(w, At(name)); });
  }
  std::string Pieces() const {  // the data after the first piece's header
    std::string all;
    for (const char* name : {"p.001", "p.002", "p.003"})
      if (FileExists(Path(name))) all += ReadFile(Path(name));
    return all.substr(std::min<size_t>(all.size(), 262));
  }

  FaultyFileSystem fs_;
  QTimer tick_;
  std::atomic<int> ticks_{0}, chunks_{0};
  std::atomic<bool> stalled_{false};
  std::function<void()> atThirdChunk_;  // on the worker
  QList<double> fills_;
};

// Meanwhile a user types, drops and clicks (終了 too: its question would go unanswered). At the
// third chunk the window is closed and the question answered いいえ: the run goes on. Or a write
// fails: its notice holds the run until answered.
TEST_F(RunTest, WindowLivesTakesNoInputAndTheRunEndsOnlyAsAnswered) {
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
  for (const bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "a write fails" : "the question answered いいえ");
    for (const char* name : {"p.001", "p.002", "p.003"}) QFile::remove(At(name));
    chunks_ = 0;
    fills_.clear();
    fs_.events.clear();
    if (fails) fs_.faults[Path("p.002")].writeAfter = 100;
    atThirdChunk_ = [&] {
      if (!fails) QMetaObject::invokeMethod(&form_, [&] { form_.close(); });
    };
    ModalScript script;
    AnswerPrompts(script, false);
    script.Then([&](QWidget* w) {
      if (!fails) {
        ExpectBox(w, StopQuestionBox(), QStringLiteral("ファイルの分割を中止して終了しますか？"));
        return QTest::keyClick(w->focusWidget(), Qt::Key_N);
      }
      ExpectBox(w, NoticeBox(), QStringLiteral("格納先ファイルのデータ書き込みに失敗しました。"));
      QTest::qWait(100);  // the run waits for the answer before it cleans up
      EXPECT_EQ(form_.Label3->text(), QStringLiteral("ファイル分割中です。  2/3"));
      EXPECT_EQ(std::count(fs_.events.begin(), fs_.events.end(), "close:" + Path("p.002")), 0);
      QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    QTest::mouseClick(form_.Button1, Qt::LeftButton);
    EXPECT_FALSE(stalled_) << "the GUI thread stood still during a chunk";
    EXPECT_EQ(form_.SpinEdit1->text(), QStringLiteral("1024"));
    EXPECT_TRUE(form_.isVisible());
    const std::string written = Pieces();
    EXPECT_EQ(written.size() < kData.size(), fails);
    EXPECT_EQ(kData.compare(0, written.size(), written), 0) << "a prefix of the source";
    EXPECT_GE(fills_.size(), fails ? 1 : 3) << "the bar advanced";
    EXPECT_TRUE(std::is_sorted(fills_.begin(), fills_.end()));
    EXPECT_EQ(form_.Label3->text() + QString::number(form_.Label3->Fill()), "0") << "run over";
  }
  fs_.faults.clear();
}

// The run reaches its next-medium notice, or the next piece, while the close question is open
// and はい is the answer; or a signal comes while that notice is open. Then no box of the run
// shows, nothing new is written, and the program ends.
TEST_F(RunTest, AfterYesOrASignalNoBoxOfTheRunShowsAndNothingNewStarts) {
  std::string first("photo.jpg");
  first.resize(258);
  first += std::string("\x03\0\0\0", 4) + kData.substr(0, (1 << 20) - 262);
  struct Row {
    bool join, removable, signal;
  };
  for (const Row& r : {
           Row{false, true, false},
           Row{false, false, false},
           Row{false, true, true},
           Row{true, true, false},
           Row{true, true, true},
       }) {
    SCOPED_TRACE(std::string(r.join ? "join" : "split") + (r.removable ? " removable" : "") +
                 (r.signal ? ", a signal" : ", はい"));
    for (const char* name : {"out", "p.001", "p.002", "p.003"}) QFile::remove(At(name));
    if (r.join) WriteFile(Path("p.001"), first);  // p.002 is on another medium
    fs_.removable = r.removable;
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    // Queued before the run goes on: the question is open when the run comes to what is next.
    fs_.onEvent = [&](const std::string& event) {
      if (!r.signal && event == "close:" + Path("p.001"))
        QMetaObject::invokeMethod(&form_, [&] { form_.close(); });
    };
    ModalScript script;
    AnswerPrompts(script, r.join);
    script.Then([&](QWidget* w) {
      if (r.signal) {
        ExpectBox(w, NoticeBox(),
                  r.join ? QStringLiteral("次のメディアを入れてください。")
                         : QStringLiteral("次のメディア入れてください。"));
        return form_.StopAndClose();
      }
      ExpectBox(w, StopQuestionBox(),
                r.join ? QStringLiteral("ファイルの結合を中止して終了しますか？")
                       : QStringLiteral("ファイルの分割を中止して終了しますか？"));
      QTest::keyClick(w->focusWidget(), Qt::Key_Y);
    });
    QTest::mouseClick(r.join ? form_.Button2 : form_.Button1, Qt::LeftButton);
    fs_.onEvent = nullptr;
    EXPECT_FALSE(form_.isVisible()) << "the program ends";
    EXPECT_FALSE(FileExists(Path("p.002"))) << "no new piece";
    EXPECT_EQ(FileSize(Path(r.join ? "out" : "p.001")), r.join ? (1 << 20) - 262 : 1 << 20);
  }
  fs_.removable.reset();
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
  AnswerPrompts(script, false);
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
