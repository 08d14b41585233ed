// The Japanese window during a run over a slowed file system: input ignored, the close question.
#include <QThread>
#include <QUrl>
#include <atomic>

#include "ModalScript.h"
#include "support/FaultyFileSystem.h"

using namespace tolvanix;
using namespace tolvanix::testing;

using RunTest = InWindow;

// Clicks on 終了 too: its question would go unanswered. A signal ends without the question.
TEST_F(RunTest, TakesNoInputAndACloseEndsTheRunOnlyAsAnswered) {
  WriteFile(Path("photo.001"), RandomBytes((3 << 20) - 5000, 4));  // 3 pieces, 4 chunks
  QMimeData file;
  file.setUrls({QUrl::fromLocalFile(At("photo.001"))});
  FaultyFileSystem fs;
  form_.UseFileSystem(&fs);
  std::atomic<int> chunks{0};
  std::function<void()> atThirdChunk;
  fs.onChunk = [&](const std::string&) {  // on the worker
    if (++chunks == 3) atThirdChunk();
    QThread::msleep(150);
  };
  int pokes = 0;
  QTimer poke;
  QObject::connect(&poke, &QTimer::timeout, [&] {
    if (chunks < 2 || !form_.CommandRunning() || QApplication::activeModalWidget()) return;
    ++pokes;
    QTest::keyClicks(form_.SpinEdit1->editor(), QStringLiteral("5"));
    EXPECT_EQ(DragAndDrop(form_.Button1, file, Qt::CopyAction), Qt::IgnoreAction);
    for (QPushButton* b : {form_.Button3, form_.Button1}) QTest::mouseClick(b, Qt::LeftButton);
  });
  poke.start(20);
  for (const char answer : {'n', 'y', 's'}) {
    SCOPED_TRACE(answer);
    for (const char* name : {"p.001", "p.002", "p.003"}) QFile::remove(At(name));
    chunks = pokes = 0;
    form_.show();  // again, once closed
    form_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    std::atomic<bool> answered{answer == 's'};
    atThirdChunk = [&] {  // held until the question is answered
      QMetaObject::invokeMethod(
          &form_, [&] { answer == 's' ? form_.StopAndClose() : void(form_.close()); });
      for (int i = 0; i < 5000 && !answered; ++i) QThread::msleep(1);
    };
    ModalScript script;
    script.Then([&](QWidget* w) { ChooseFile(w, At("p.001")); });
    if (answer != 's') {
      script.Then([&](QWidget* w) {
        ExpectBox(w, StopQuestionBox(), QStringLiteral("ファイルの分割を中止して終了しますか？"));
        QTest::keyClick(w->focusWidget(), answer == 'y' ? Qt::Key_Y : Qt::Key_N);
        answered = true;
      });
    }
    EXPECT_EQ(DragAndDrop(form_.Button1, file, Qt::CopyAction | Qt::MoveAction), Qt::CopyAction);
    QCoreApplication::processEvents();
    EXPECT_GT(pokes, 0) << "the window took events during the run";
    EXPECT_EQ(form_.SpinEdit1->text(), QStringLiteral("1024"));
    EXPECT_EQ(form_.isVisible(), answer == 'n') << "the program ends";
    EXPECT_EQ(FileExists(Path("p.003")), answer == 'n') << "the run went to its end";
    EXPECT_EQ(form_.Label3->text() + QString::number(form_.Label3->Fill()), "0") << "run over";
  }
}
