// Controls as the window descriptions make them: named after their fields so
// tests find them by object name, placed in pixels.
#pragma once

#include <QRect>

#include "forms/FormDescriptions.h"

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

// The same from a window description: named, with its text through Tr,
// placed and sized as described (a self-sizing label to its text).
QRect Geometry(const ControlDescription& control);
QPushButton* NewButton(QWidget* parent, const ControlDescription& control);
QLabel* NewLabel(QWidget* parent, const ControlDescription& control);

// The width a label or button needs to show its text whole.
int NeededWidth(const QWidget* control);
// Places every control of `window` (found by its name) and sizes the window
// as laid out for the language in use: as described for Japanese.
void PlaceAll(QWidget* window, const FormDescription& form);

}  // namespace tolvanix
