// Helpers shared by the dimension and setting dialogs: their font, the typed
// character of a key event, and the few main-window controls the dialogs move
// (the reverse arm, driver angle and step angle bars and the run state).
// Every main-window function accepts a null main window and then does nothing,
// so the dialogs also work on their own (tests). They are defined with the
// main window's dialog handlers (TMainFormDialogs.cpp).
#pragma once

#include <QFont>

class QKeyEvent;
class TMainForm;

// "MS Sans Serif" at 8 points, or the system's stand-in for it.
QFont DialogFont();

// The character a key press types, as an edit's key filter sees it:
// backspace, Enter and the printable characters (0 for one outside ASCII).
// False for keys that type nothing (Tab, arrows, Delete, function keys) and
// for shortcuts with Ctrl, Alt or Meta (select all, copy, paste, undo), which
// the edit handles itself.
bool KeyPressChar(const QKeyEvent* event, char& key);

// SBRevArm range from RevArmMax: Max = round(1000 * RevArmMax), Min = -Max.
void MainSetRevArmRange(TMainForm* main);
// SBRevArm to position 0 (its change handler runs if the position changes).
void MainRevArmToCentre(TMainForm* main);
// SBRevArm to a position (its change handler runs if the position changes).
void MainSetRevArmPosition(TMainForm* main, int position);
// True while the gear runs (the Run button's caption is "Stop").
bool MainIsRunning(TMainForm* main);
// Set the Run caption, then run RunClick.
void MainRunClickWithCaption(TMainForm* main, const char* caption);
// SBDrvAng to a position (change handler runs if it changes), then enable it.
void MainSetDriverBar(TMainForm* main, int position);
// SBStepAng to a position; SBDrvAng's SmallChange and LargeChange.
void MainSetStepBars(TMainForm* main, int stepPosition, int smallChange, int largeChange);
