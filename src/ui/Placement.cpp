#include "ui/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tolvanix {

QRect ScreenOf(const QWidget* widget) {
  const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 640, 480);
}

void CentreOnScreen(QWidget* window) {
  const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  const QRect screen = ScreenOf(owner ? owner : window);
  QSize outer = window->frameGeometry().size();
  if (outer == window->size() && owner) {
    // The frame is unknown before the first mapping; the owner's frame is of
    // the same kind and stands in for it.
    outer += owner->frameGeometry().size() - owner->size();
  }
  window->move(screen.x() + std::max(0, (screen.width() - outer.width()) / 2),
               screen.y() + std::max(0, (screen.height() - outer.height()) / 2));
}

}  // namespace tolvanix
