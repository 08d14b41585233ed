#include "qt/Controls.h"

#include <qdrawutil.h>

#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "forms/FormLayout.h"
#include "i18n/Catalogue.h"
#include "qt/StatusLine.h"

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
  return NewButton(parent, control.name, QString::fromUtf8(Tr(control.text)), Geometry(control));
}

QLabel* NewLabel(QWidget* parent, const ControlDescription& control) {
  QLabel* label = NewLabel(parent, control.name, QString::fromUtf8(Tr(control.text)));
  if (control.autoSize) {
    PlaceSelfSized(label, control.rect.left, control.rect.top);
  } else {
    label->setGeometry(Geometry(control));
  }
  return label;
}

int NeededWidth(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->sizeHint().width();
  const auto* button = qobject_cast<const QPushButton*>(control);
  if (!button) return control->width();
  // The text and the frame around it, as the style draws a push button,
  // without the style's smallest width (which would grow a short text too).
  const QStyle* style = button->style();
  return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() +
         style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
         2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button) +
         2 * style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, nullptr, button);
}

FormLayout PlaceAll(QWidget* window, const FormDescription& form) {
  const FormLayout layout = LayOut(form, [window](const ControlDescription& c) {
    return NeededWidth(window->findChild<QWidget*>(QLatin1String(c.name)));
  });
  for (size_t i = 0; i < form.controls.size(); ++i) {
    const ControlDescription& c = form.controls[i];
    const Rect& r = layout.rects[i];
    auto* control = window->findChild<QWidget*>(QLatin1String(c.name));
    if (auto* label = qobject_cast<QLabel*>(control); label && c.autoSize) {
      PlaceSelfSized(label, r.left, r.top);
    } else if (control) {
      control->setGeometry(r.left, r.top, r.width, r.height);
    }
  }
  window->setFixedSize(layout.clientWidth, layout.clientHeight);
  return layout;
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
