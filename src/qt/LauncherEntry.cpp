#include "qt/LauncherEntry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

namespace tolvanix {

void LauncherEntry::Show(double fraction) {
  Send(fraction, true);
  visible_ = true;
}

void LauncherEntry::Hide() {
  if (!visible_) return;
  Send(0, false);
  visible_ = false;
}

void LauncherEntry::Send(double fraction, bool visible) {
  const QString id = QGuiApplication::desktopFileName();
  if (id.isEmpty()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  // An object path of our own, from the reverse-DNS id.
  QString path = u'/' + id;
  path.replace(u'.', u'/').replace(u'-', u'_');
  QDBusMessage update = QDBusMessage::createSignal(
      path, QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
  update << QStringLiteral("application://") + id + QStringLiteral(".desktop")
         << QVariantMap{{QStringLiteral("progress"), fraction},
                        {QStringLiteral("progress-visible"), visible}};
  bus.send(update);
}

}  // namespace tolvanix
