// A run through the real window over a slowed file system: the window lives
// and shows the progress while it copies, takes no input, and a close asks
// before it stops the run at its next chunk.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QMessageBox>
#include <QPushButton>
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
    root_ = QDir(tmp_.path()).canonicalPath().toStdString();
    WriteFile(At("photo.jpg"), kData);
    form_.UseFileSystem(&fs_);
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    connect(&tick_);
    // Each chunk waits until the GUI thread has handled two timer events:
    // a window whose event loop stands still never lets the run go on.
    fs_.onChunk = [this](const std::string&) {
      ++chunks_;
      afterStop_ += stopAsked_.load();
      if (atChunk_ && chunks_ == atChunkNumber_) atChunk_();
      const int start = ticks_;
      for (int i = 0; i < 5000 && ticks_ < start + ticksPerChunk_; ++i) QThread::msleep(1);
      if (ticks_ < start + ticksPerChunk_) stalled_ = true;
    };
  }
  void connect(QTimer* timer) {
    QObject::connect(timer, &QTimer::timeout, [this] {
      ++ticks_;
      if (form_.CommandRunning() && !fills_.endsWith(form_.Label3->Fill()))
        fills_ << form_.Label3->Fill();
    });
    timer->setTimerType(Qt::PreciseTimer);
    timer->start(5);
  }
  std::string At(const std::string& name) const { return root_ + "/" + name; }
  // Answers the split's two prompts.
  void ChooseSourceAndPieces(ModalScript& script) {
    script.Then([this](QWidget* w) { ChooseFile(w, QString::fromStdString(At("photo.jpg"))); })
        .Then([this](QWidget* w) { ChooseFile(w, QString::fromStdString(At("p.001"))); });
  }
  std::string Pieces() const {
    std::string all;
    for (int k = 1; FileExists(At("p.00" + std::to_string(k))); ++k)
      all += ReadFile(At("p.00" + std::to_string(k)));
    return all;
  }

  QTemporaryDir tmp_;
  std::string root_;
  FaultyFileSystem fs_;
  TForm1 form_;
  QTimer tick_;
  std::atomic<int> ticks_{0}, chunks_{0}, afterStop_{0};
  std::atomic<bool> stalled_{false}, stopAsked_{false};
  int ticksPerChunk_ = 2;
  int atChunkNumber_ = 0;
  std::function<void()> atChunk_;  // runs on the worker, at chunk atChunkNumber_
  QList<double> fills_;
};

TEST_F(RunTest, WindowLivesShowsProgressAndTakesNoInput) {
  ticksPerChunk_ = 25;  // 125 ms or more: the progress is shown after each chunk
  ModalScript script;
  ChooseSourceAndPieces(script);
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
  EXPECT_TRUE(Pieces().substr(262) == kData);
  ASSERT_GE(fills_.size(), 3) << "the bar advanced";
  EXPECT_TRUE(std::is_sorted(fills_.begin(), fills_.end()));
  EXPECT_GT(fills_.back(), 0.5);
  EXPECT_TRUE(form_.Label3->text().isEmpty());
  EXPECT_EQ(form_.Label3->Fill(), 0) << "no bar once the run has ended";
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(RunTest, CloseAsksAndYesStopsAtTheNextChunkWhileNoLetsTheRunFinish) {
  struct Row {
    bool join;
    const char* answer;  // the button clicked; none: a signal, no question
  };
  // The first row leaves a whole set for the joins.
  for (const Row& r : {Row{false, "いいえ(&N)"}, Row{true, "はい(&Y)"}, Row{true, nullptr},
                       Row{false, "はい(&Y)"}}) {
    SCOPED_TRACE(std::string(r.join ? "join " : "split ") + (r.answer ? r.answer : "signal"));
    if (r.join) {
      ASSERT_TRUE(QFile::remove(QString::fromStdString(At("out"))) || !FileExists(At("out")));
    } else {
      for (int k = 1; k <= 3; ++k)
        QFile::remove(QString::fromStdString(At("p.00" + std::to_string(k))));
    }
    form_.show();
    form_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    chunks_ = afterStop_ = 0;
    stopAsked_ = false;
    std::atomic<bool> answered{false};
    atChunkNumber_ = 3;
    atChunk_ = [&] {
      QMetaObject::invokeMethod(&form_, [&] {
        if (r.answer) {
          form_.close();
        } else {
          form_.StopAndClose();
        }
      });
      if (!r.answer) stopAsked_ = true;
      for (int i = 0; i < 5000 && r.answer && !answered; ++i) QThread::msleep(1);
    };
    ModalScript script;
    if (r.join) {
      script.Then([this](QWidget* w) { ChooseFile(w, QString::fromStdString(At("p.001"))); })
          .Then([this](QWidget* w) { ChooseFile(w, QString::fromStdString(At("out"))); });
    } else {
      ChooseSourceAndPieces(script);
    }
    if (r.answer) {
      script.Then([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Tolvanix"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->text(), r.join ? QStringLiteral("ファイルの結合を中止して終了しますか？")
                                      : QStringLiteral("ファイルの分割を中止して終了しますか？"));
        EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("いいえ(&N)"));
        EXPECT_EQ(box->buttons().size(), 2);
        for (QAbstractButton* b : box->buttons()) {
          if (b->text() == QString::fromUtf8(r.answer)) b->click();
        }
        stopAsked_ = box->clickedButton()->text() == QStringLiteral("はい(&Y)");
        answered = true;
      });
    }
    QTest::mouseClick(r.join ? form_.Button2 : form_.Button1, Qt::LeftButton);

    const bool stopped = !r.answer || std::string(r.answer) == "はい(&Y)";
    EXPECT_EQ(form_.isVisible(), !stopped);
    EXPECT_EQ(afterStop_, 0) << "chunks served after the stop was asked";
    EXPECT_TRUE(WithPrefix(fs_.events, "ui:notice").empty());
    const std::string written = r.join ? ReadFile(At("out")) : Pieces().substr(262);
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
  ChooseSourceAndPieces(script);
  script.Then([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("格納先ファイルのデータ書き込みに失敗しました。"));
    // The run waits for the answer before it cleans up.
    QTest::qWait(100);
    EXPECT_TRUE(form_.CommandRunning());
    EXPECT_EQ(form_.Label3->text(), QStringLiteral("ファイル分割中です。  2/3"));
    EXPECT_EQ(std::count(fs_.events.begin(), fs_.events.end(), "close:" + At("p.002")), 0);
    box->buttons().front()->click();
  });
  QTest::mouseClick(form_.Button1, Qt::LeftButton);
  EXPECT_EQ(FileSize(At("p.002")), 100);
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
  ChooseSourceAndPieces(script);
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
