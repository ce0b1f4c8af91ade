// Helpers shared by the dimension and setting dialogs: their font and the
// typed character of a key event. (What the dialogs change on the main window
// — the reverse arm, driver angle and step angle bars, the run state — they
// ask of the design session, session/DesignSession.)
#pragma once

#include <QFont>

class QDialog;
class QKeyEvent;
class QWidget;

// "MS Sans Serif" at 8 points, or the system's stand-in for it.
QFont DialogFont();

// The character a key press types, as an edit's key filter sees it:
// backspace, Enter and the printable characters (0 for one outside ASCII).
// False for keys that type nothing (Tab, arrows, Delete, function keys) and
// for shortcuts with Ctrl, Alt or Meta (select all, copy, paste, undo), which
// the edit handles itself.
bool KeyPressChar(const QKeyEvent* event, char& key);

// A window that stays beside the main window (not modal) shown, raised and
// made active; nothing for a window that is not there.
void ShowBeside(QWidget* window);
// A dialog shown modally unless it is already up (a reopen may meet a dialog
// the user opened meanwhile); nothing for a dialog that is not there.
void ShowModal(QDialog* dialog);
