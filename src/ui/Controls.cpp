#include "ui/Controls.h"

#include <QLabel>
#include <QPushButton>

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

}  // namespace tolvanix
