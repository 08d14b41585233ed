// A run through the real window over a slowed file system: the window lives
// and shows the progress while it copies, takes no input, and a close asks
// before it stops the run at its next chunk.
#include <QDBusConnection>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>

#include "ModalScript.h"
#include "Unit1.h"
#include "support/FaultyFileSystem.h"
#include "ui/SpinEdit.h"

namespace tolvanix {
namespace {

using namespace testing;

// Three pieces of 1024 KB, four chunks and a tail.
const std::string kData = RandomBytes((3 << 20) - 5000, 4);

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    WriteFile(At("photo.jpg"), kData);
    form_.UseFileSystem(&fs_);
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    QObject::connect(&tick_, &QTimer::timeout, [this] {
      ++ticks_;
      if (form_.CommandRunning() && !fills_.endsWith(form_.Label3->Fill()))
        fills_ << form_.Label3->Fill();
    });
    tick_.setTimerType(Qt::PreciseTimer);
    tick_.start(5);
    // Each chunk waits until the GUI thread has handled a few timer events:
    // a window whose event loop stands still never lets the run go on.
    fs_.onChunk = [this](const std::string&) {
      ++chunks_;
      afterStop_ += stopAsked_.load();
      if (atChunk_ && chunks_ == 3) atChunk_();
      const int start = ticks_;
      for (int i = 0; i < 5000 && ticks_ < start + ticksPerChunk_; ++i) QThread::msleep(1);
      if (ticks_ < start + ticksPerChunk_) stalled_ = true;
    };
  }
  std::string At(const std::string& name) const {
    return QDir(tmp_.path()).canonicalPath().toStdString() + "/" + name;
  }
  // Answers a command's two prompts: the split's or the join's.
  void ChooseTwo(ModalScript& script, bool join) {
    const std::string first = At(join ? "p.001" : "photo.jpg"), second = At(join ? "out" : "p.001");
    script.Then([=](QWidget* w) { ChooseFile(w, QString::fromStdString(first)); })
        .Then([=](QWidget* w) { ChooseFile(w, QString::fromStdString(second)); });
  }
  std::string Pieces() const {  // the data after the first piece's header
    std::string all;
    for (int k = 1; FileExists(At("p.00" + std::to_string(k))); ++k)
      all += ReadFile(At("p.00" + std::to_string(k)));
    return all.size() < 262 ? std::string() : all.substr(262);
  }

  QTemporaryDir tmp_;
  FaultyFileSystem fs_;
  TForm1 form_;
  QTimer tick_;
  std::atomic<int> ticks_{0}, chunks_{0}, afterStop_{0};
  std::atomic<bool> stalled_{false}, stopAsked_{false};
  int ticksPerChunk_ = 2;
  std::function<void()> atChunk_;  // runs on the worker, at the third chunk
  QList<double> fills_;
};

TEST_F(RunTest, WindowLivesShowsProgressAndTakesNoInput) {
  ticksPerChunk_ = 25;  // 125 ms or more: the progress is shown after each chunk
  ModalScript script;
  ChooseTwo(script, false);
  form_.SpinEdit1->setText(QStringLiteral("1024"));
  // Meanwhile a user clicks and types at the window; a click on 終了 that got
  // through would open the close question, which nothing here answers.
  QTimer poke;
  QObject::connect(&poke, &QTimer::timeout, [&] {
    if (chunks_ < 2 || !form_.CommandRunning()) return;
    QTest::keyClick(form_.SpinEdit1->editor(), Qt::Key_5);
    QTest::keyClick(form_.SpinEdit1->editor(), Qt::Key_Up);
    QTest::mouseClick(form_.Button3, Qt::LeftButton);
    QTest::mouseClick(form_.Button1, Qt::LeftButton);
  });
  poke.start(20);
  QTest::mouseClick(form_.Button1, Qt::LeftButton);
  poke.stop();

  EXPECT_FALSE(stalled_) << "the GUI thread stood still during a chunk";
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(form_.SpinEdit1->text(), QStringLiteral("1024"));
  EXPECT_TRUE(Pieces() == kData);
  ASSERT_GE(fills_.size(), 3) << "the bar advanced";
  EXPECT_TRUE(std::is_sorted(fills_.begin(), fills_.end()));
  EXPECT_GT(fills_.back(), 0.5);
  EXPECT_TRUE(form_.Label3->text().isEmpty());
  EXPECT_EQ(form_.Label3->Fill(), 0) << "no bar once the run has ended";
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(RunTest, CloseAsksAndYesStopsAtTheNextChunkWhileNoLetsTheRunFinish) {
  // The button clicked; none: a signal, no question. The first row leaves a
  // whole set for the joins.
  const struct {
    bool join;
    const char* answer;
  } rows[] = {{false, "いいえ(&N)"}, {true, "はい(&Y)"}, {true, nullptr}, {false, "はい(&Y)"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.join ? "join " : "split ") + (r.answer ? r.answer : "signal"));
    for (const char* name : {"out", "p.001", "p.002", "p.003"}) {
      if (r.join == (name[0] == 'o')) QFile::remove(QString::fromStdString(At(name)));
    }
    form_.show();
    form_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    chunks_ = afterStop_ = 0;
    stopAsked_ = false;
    std::atomic<bool> answered{false};
    atChunk_ = [&] {
      QMetaObject::invokeMethod(&form_,
                                [&] { r.answer ? void(form_.close()) : form_.StopAndClose(); });
      if (!r.answer) stopAsked_ = true;
      for (int i = 0; i < 5000 && r.answer && !answered; ++i) QThread::msleep(1);
    };
    ModalScript script;
    ChooseTwo(script, r.join);
    if (r.answer) {
      script.Then([&](QWidget* w) {
        ExpectBox(w, "Tolvanix", QMessageBox::Warning,
                  r.join ? QStringLiteral("ファイルの結合を中止して終了しますか？")
                         : QStringLiteral("ファイルの分割を中止して終了しますか？"),
                  "はい(&Y)|いいえ(&N)", "いいえ(&N)");
        for (QAbstractButton* b : qobject_cast<QMessageBox*>(w)->buttons()) {
          if (b->text() == QString::fromUtf8(r.answer)) b->click();
        }
        stopAsked_ = std::string(r.answer) == "はい(&Y)";
        answered = true;
      });
    }
    QTest::mouseClick(r.join ? form_.Button2 : form_.Button1, Qt::LeftButton);

    const bool stopped = !r.answer || std::string(r.answer) == "はい(&Y)";
    EXPECT_EQ(form_.isVisible(), !stopped);
    EXPECT_EQ(afterStop_, 0) << "chunks served after the stop was asked";
    const std::string written = r.join ? ReadFile(At("out")) : Pieces();
    if (stopped) {
      EXPECT_LT(written.size(), kData.size());
      EXPECT_EQ(kData.compare(0, written.size(), written), 0) << "a prefix of the source";
    } else {
      EXPECT_TRUE(written == kData);
    }
    EXPECT_FALSE(form_.CommandRunning());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
}

TEST_F(RunTest, NoticeOfAFailingRunBlocksItUntilAnswered) {
  fs_.faults[At("p.002")].writeAfter = 100;
  ModalScript script;
  ChooseTwo(script, false);
  script.Then([&](QWidget* w) {
    ExpectBox(w, "Tolvanix", QMessageBox::NoIcon,
              QStringLiteral("格納先ファイルのデータ書き込みに失敗しました。"), "OK", "OK");
    // The run waits for the answer before it cleans up.
    QTest::qWait(100);
    EXPECT_TRUE(form_.CommandRunning());
    EXPECT_EQ(form_.Label3->text(), QStringLiteral("ファイル分割中です。  2/3"));
    EXPECT_EQ(std::count(fs_.events.begin(), fs_.events.end(), "close:" + At("p.002")), 0);
    qobject_cast<QMessageBox*>(w)->buttons().front()->click();
  });
  QTest::mouseClick(form_.Button1, Qt::LeftButton);
  EXPECT_EQ(ReadFile(At("p.002")).size(), 100u);
  EXPECT_TRUE(form_.Label3->text().isEmpty());
  EXPECT_TRUE(form_.isVisible());
}

// What the dock hears from the program on the session bus.
class DockListener : public QObject {
  Q_OBJECT
 public:
  QList<QPair<double, bool>> updates;
  QString app;
 public slots:
  void Update(const QString& uri, const QVariantMap& properties) {
    app = uri;
    updates.append({properties.value(QStringLiteral("progress")).toDouble(),
                    properties.value(QStringLiteral("progress-visible")).toBool()});
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
  ticksPerChunk_ = 25;
  ModalScript script;
  ChooseTwo(script, false);
  QTest::mouseClick(form_.Button1, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return !listener.updates.isEmpty() && !listener.updates.back().second; }));
  QGuiApplication::setDesktopFileName(QString());
  QDBusConnection::disconnectFromBus(QStringLiteral("dock"));

  EXPECT_EQ(listener.app, QStringLiteral("application://" TOLVANIX_APP_ID ".desktop"));
  ASSERT_GE(listener.updates.size(), 3);
  for (qsizetype i = 0; i + 1 < listener.updates.size(); ++i) {
    EXPECT_TRUE(listener.updates[i].second);
    EXPECT_GT(listener.updates[i].first, i ? listener.updates[i - 1].first : 0.0);
  }
  EXPECT_FALSE(listener.updates.back().second);
}

}  // namespace
}  // namespace tolvanix

#include "RunTest.moc"
