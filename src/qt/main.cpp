// Start-up: the toolkit in the user's language, the application title, the
// font stand-ins and the icon, then the main window until it is closed.
// Nothing is read at start but the command line (one file to open, or --help
// and --version), and nothing is written at the end. SIGTERM, SIGINT and
// SIGHUP end the program as a close does, a run in work stopped first; the
// program then dies of the signal as usual, with nothing left behind.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "i18n/Catalogue.h"
#include "qt/Fonts.h"
#include "qt/ProgramIcon.h"
#include "qt/QtHandover.h"
#include "qt/QtInteraction.h"
#include "qt/SignalWatch.h"
#include "qt/Unit1.h"

namespace {

int Run(int argc, char** argv, int& caught) {
  // The program's texts in the user's language, chosen once: Japanese in
  // the C and POSIX locales, English where no catalogue fits.
  tolvanix::UseLanguage(
      tolvanix::ChooseLanguage(tolvanix::UsersLanguages(), tolvanix::EmbeddedLanguages()));
  QApplication app(argc, argv);
  // Before anything that must be cleaned up: a signal from here on is acted on.
  tolvanix::SignalWatch watch;
  QApplication::setApplicationName(QString::fromUtf8(tolvanix::kApplicationTitle));
  // Lets the desktop match the window to the installed entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(TOLVANIX_APP_ID));
  QApplication::setApplicationVersion(QStringLiteral(TOLVANIX_VERSION));

  // Read before Qt's translations: --help is all the program's own text.
  const tolvanix::Handover handover = tolvanix::ReadArguments(
      tolvanix::ArgumentsOf(QApplication::arguments()), tolvanix::QtFileFacts(),
      tolvanix::OptionStyle::Posix, TOLVANIX_VERSION);
  if (handover.action == tolvanix::Handover::Action::Help ||
      handover.action == tolvanix::Handover::Action::Version) {
    std::fputs(handover.text.c_str(), stdout);
    return 0;
  }
  if (!handover.error.empty()) std::fprintf(stderr, "tolvanix: %s\n", handover.error.c_str());

  // Qt's own texts (file dialog buttons and titles) in the desktop's language.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  // Qt's file dialog keeps its own view state (last folder, history) in the
  // user's settings; a throwaway folder keeps this run from remembering
  // anything for the next.
  QTemporaryDir forgetful;
  if (forgetful.isValid()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, forgetful.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, forgetful.path());
  }

  tolvanix::InstallFontSubstitutions();
  QApplication::setWindowIcon(tolvanix::ProgramIcon());

  TForm1 Form1;
  QObject::connect(&watch, &tolvanix::SignalWatch::caught, &Form1, &TForm1::StopAndClose);
  Form1.show();
  Form1.StartWith(handover);
  const int status = app.exec();
  caught = watch.Caught();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  int caught = 0;
  const int status = Run(argc, argv, caught);
  if (caught != 0) {
    std::signal(caught, SIG_DFL);
    std::raise(caught);
  }
  return status;
}
