// The pictures of the main window's tool buttons and of its error indicator,
// drawn at the size and device pixel ratio they are shown at.
#pragma once

#include <QIcon>

// The picture of tool button `kind` (its number: 1 open, 2 save, 3 undo, 4 frame
// dimensions, ... 23 lines and circles, 24 pivot data), on a 22 x 22 grid.
QIcon ToolIcon(int kind);
// The red warning triangle with "!" that blinks while the gear clamps.
QIcon ErrorIcon();
