// One offscreen QApplication for every GUI test; Qt's settings in a temporary folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "qt/Fonts.h"
#include "qt/QtInteraction.h"
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(tolvanix::kApplicationTitle));
  QApplication::setQuitOnLastWindowClosed(false);  // closing a window under test ends nothing
  tolvanix::InstallFontSubstitutions();
  return config.isValid() ? RUN_ALL_TESTS() : 2;
}
