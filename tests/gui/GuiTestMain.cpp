// One QApplication for every GUI test, on the offscreen platform. Qt's file
// dialog keeps its view state in the user's configuration folder, so the
// tests point that folder at a temporary one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "ui/Fonts.h"
#include "ui/QtInteraction.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QTemporaryDir config;
  if (!config.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(tolvanix::kApplicationTitle));
  // Closing a main window under test must not end anything.
  QApplication::setQuitOnLastWindowClosed(false);
  tolvanix::InstallFontSubstitutions();
  return RUN_ALL_TESTS();
}
