#pragma once
// The program's own icon, which every window and message box carries.
#include <QIcon>

// The board icon at each size a desktop asks for (16 to 256 pixels), from the program's resources.
QIcon programIcon();
