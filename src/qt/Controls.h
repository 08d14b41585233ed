// Controls as the window descriptions make them: named after their fields so
// tests find them by object name, placed in pixels.
#pragma once

#include <QRect>

#include "forms/FormDescriptions.h"
#include "forms/FormLayout.h"

class QLabel;
class QPainter;
class QPalette;
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
// A control that is no widget of its own is left to the caller.
FormLayout PlaceAll(QWidget* window, const FormDescription& form);

// A lowered box, drawn by the window that holds it: decoration, with no
// widget a screen reader would read out as an empty frame.
struct Bevel {
  QRect geometry;
  // One dark line top and left, one light line bottom and right.
  void Paint(QPainter& painter, const QPalette& palette) const;
};

// What a screen reader is told beyond Qt's own: the main window is a frame,
// the status line a progress bar. Once, before the first window is made.
void InstallAccessibility();

}  // namespace tolvanix
