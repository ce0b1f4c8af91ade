// Handing a table to other programs from a window: "Save CSV…" (a save dialog,
// then the file written in one piece), the tab-separated clipboard copy and
// "Print…" (the table as a document through the print dialog).
#pragma once

#include "files/TextTable.h"
#include "qt/QtFileDialog.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

class QTableWidget;

// A grid of a window that shows a table of text cells: read-only, compact
// rows, no row header, no word wrap; `name` is its objectName.
QTableWidget* NewTextGrid(QWidget* parent, const QString& name);

// How a printed table looks: which columns hold words (left-aligned; numbers
// are right-aligned) and which rows are bold (row 0 is the header).
struct PrintedTableLook {
    std::function<bool(int column)> wordColumn;
    std::function<bool(size_t row)> boldRow;
};

// Prints `rows` (the header first; its units go below the names) under a
// heading through the print dialog (PictureCommands::ChoosePrinter), in
// landscape, laid out as wide as the table wants and scaled to the page's
// width. False on Cancel.
bool PrintTextTable(QWidget* parent, const QString& heading, const QString& docName, const std::vector<TextRow>& rows,
                    const PrintedTableLook& look);
