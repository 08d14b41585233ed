// The program icon, for the application, the main window and the About
// window: a speckled grey block with a slot in its front, 32 x 32, 16 colours.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tolvanix {

// The picture itself, 32 x 32.
QPixmap ProgramPixmap();
QIcon ProgramIcon();

}  // namespace tolvanix
