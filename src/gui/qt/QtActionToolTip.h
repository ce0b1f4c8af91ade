// A menu bar shows no tooltips of its own: this shows the tooltip of one of
// its actions (the main window's error picture, which tells why the gear
// cannot be assembled) over it.
#pragma once

class QAction;
class QMenuBar;

void ShowActionToolTip(QMenuBar* bar, QAction* action);
