// The real program, ended by a signal: it dies of it and leaves no files.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

namespace {

TEST(Signals, EndTheProgramLikeACloseAndLeaveNothingBehind) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    QTemporaryDir tmp, runtime;  // a desktop session has a runtime folder
    ASSERT_TRUE(tmp.isValid() && runtime.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp.path());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(TOLVANIX_BINARY, {});
    ASSERT_TRUE(program.waitForStarted());
    // The program's throwaway settings folder shows that it is up.
    const QDir dir(tmp.path());
    for (int i = 0; i < 1000 && dir.isEmpty(); ++i) QThread::msleep(10);
    EXPECT_FALSE(dir.isEmpty());
    QThread::msleep(200);
    ::kill(program.processId(), signal);
    ASSERT_TRUE(program.waitForFinished());
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(program.exitCode(), signal) << "the signal it died of";
    EXPECT_TRUE(dir.isEmpty())
        << dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u' ').toStdString();
  }
}

}  // namespace
