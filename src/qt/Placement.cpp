#include "qt/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "forms/FormDescriptions.h"

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
  const Point at = CentredOn({screen.x(), screen.y(), screen.width(), screen.height()},
                             outer.width(), outer.height());
  window->move(at.x, at.y);
}

}  // namespace tolvanix
