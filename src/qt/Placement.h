// Where the program's windows go on the screen.
#pragma once

#include <QRect>

class QWidget;

namespace tolvanix {

// Geometry of the screen a widget is on (the primary one before it is shown).
QRect ScreenOf(const QWidget* widget);

// Moves a top-level window so its frame is centred on its screen, never off
// its top or left edge.
void CentreOnScreen(QWidget* window);

}  // namespace tolvanix
