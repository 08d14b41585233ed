// Controls as the window descriptions make them: named after their fields so
// tests find them by object name, placed in pixels.
#pragma once

#include <QRect>

class QLabel;
class QPushButton;
class QString;
class QWidget;

namespace tolvanix {

// Enter clicks the focused button, as Space does.
QPushButton* NewButton(QWidget* parent, const char* name, const QString& text,
                       const QRect& geometry);
QLabel* NewLabel(QWidget* parent, const char* name, const QString& text);
// A label that sizes itself to its text in its own font.
void PlaceSelfSized(QLabel* label, int left, int top);

}  // namespace tolvanix
