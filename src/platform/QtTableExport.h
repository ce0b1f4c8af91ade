// Handing a table to other programs from a window: "Save CSV…" (a save dialog,
// then the file written in one piece) and the tab-separated clipboard copy.
#pragma once

#include "platform/QtFileDialog.h"

#include <QString>

#include <string>

class FileSystem;
class QWidget;

// Name of the save dialog, its default suffix and filters.
inline constexpr const char* kSaveCsvDialogName = "SaveCsvDialog";

// Asks for a file with the "Save CSV" dialog (or the hook), which starts in the
// folder every file dialog last used, and writes `csv` to it through a
// temporary file (through `files`). A failure shows the standard message in a
// message box named "FileErrorBox" and leaves no file behind. Returns true
// when the file was written, false on Cancel or failure.
bool SaveCsvWithDialog(QWidget* parent, const FileDialogHookFn& hook, const std::string& csv, FileSystem& files);

// Puts tab-separated text on the clipboard as plain text.
void CopyTableToClipboard(const std::string& tabSeparated);
