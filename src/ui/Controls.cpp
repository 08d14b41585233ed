#include "ui/Controls.h"

#include <qdrawutil.h>

#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>

#include "ui/StatusLine.h"

namespace tolvanix {

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text,
                       const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(geometry);
  button->setAutoDefault(true);
  return button;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

void PlaceSelfSized(QLabel* label, int left, int top) {
  label->adjustSize();
  label->move(left, top);
}

QRect Geometry(const ControlDescription& control) {
  const Rect& r = control.rect;
  return {r.left, r.top, r.width, r.height};
}

QPushButton* NewButton(QWidget* parent, const ControlDescription& control) {
  return NewButton(parent, control.name, QString::fromStdString(control.text), Geometry(control));
}

QLabel* NewLabel(QWidget* parent, const ControlDescription& control) {
  QLabel* label = NewLabel(parent, control.name, QString::fromStdString(control.text));
  if (control.autoSize) {
    PlaceSelfSized(label, control.rect.left, control.rect.top);
  } else {
    label->setGeometry(Geometry(control));
  }
  return label;
}

void Bevel::Paint(QPainter& painter, const QPalette& palette) const {
  qDrawShadePanel(&painter, geometry, palette, true, 1);
}

namespace {

QAccessibleInterface* MainWindowAccessible(const QString& className, QObject* object) {
  auto* window = qobject_cast<QWidget*>(object);
  return window && className == QLatin1String("TForm1")
             ? new QAccessibleWidget(window, QAccessible::Window)
             : nullptr;
}

}  // namespace

void InstallAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(MainWindowAccessible);
    QAccessible::installFactory(StatusLine::Accessible);
    return true;
  }();
  (void)installed;
}

}  // namespace tolvanix
