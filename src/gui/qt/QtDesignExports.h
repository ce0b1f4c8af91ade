// The design report and the animation of the main window's picture, each made
// as a file from a copy of the design taken when the command is chosen: the
// gear goes on running (or standing) in the window while the file is made.
#pragma once

#include "model/AppState.h"
#include "platform/Services.h"

class PictureCommands;
class QWidget;

// "File > Design Report…": the save dialog, then the report as a PDF.
void SaveDesignReport(QWidget* parent, PictureCommands& pictures, const AppState& design, ClockSource& clock);
// "File > Export Animation…": the save dialog, then one revolution of the
// picture (`width` x `height`) from the angle it shows as a GIF, with
// progress and "Stop".
void SaveMainAnimation(QWidget* parent, PictureCommands& pictures, const AppState& design, int width, int height);
