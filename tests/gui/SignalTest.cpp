// The real program, ended by a signal from outside: it dies of that signal,
// as a program does, and leaves nothing in the temporary folder.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

extern char** environ;

namespace {

TEST(Signals, EndTheProgramLikeACloseAndLeaveNothingBehind) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    QTemporaryDir tmp, runtime;  // a desktop session has a runtime folder
    ASSERT_TRUE(tmp.isValid() && runtime.isValid());
    const QByteArray tmpdir = "TMPDIR=" + QFile::encodeName(tmp.path());
    const QByteArray xdg = "XDG_RUNTIME_DIR=" + QFile::encodeName(runtime.path());
    std::vector<char*> env{const_cast<char*>(tmpdir.data()), const_cast<char*>(xdg.data()),
                           const_cast<char*>("QT_QPA_PLATFORM=offscreen")};
    for (char** e = environ; *e; ++e) {
      const std::string name = std::string(*e).substr(0, std::string(*e).find('='));
      if (name != "TMPDIR" && name != "QT_QPA_PLATFORM" && name != "XDG_RUNTIME_DIR")
        env.push_back(*e);
    }
    env.push_back(nullptr);
    char* argv[] = {const_cast<char*>(TOLVANIX_BINARY), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, TOLVANIX_BINARY, nullptr, nullptr, argv, env.data()), 0);
    // The program's throwaway settings folder shows that it is up.
    const QDir dir(tmp.path());
    for (int i = 0; i < 1000 && dir.isEmpty(); ++i) QThread::msleep(10);
    EXPECT_FALSE(dir.isEmpty());
    QThread::msleep(200);
    ::kill(pid, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_TRUE(dir.isEmpty())
        << dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u' ').toStdString();
  }
}

}  // namespace
