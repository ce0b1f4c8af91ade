// Loading the text files of the two instruction windows.
#pragma once

#include <QString>

class QLabel;
class QPlainTextEdit;
class QWidget;

// The property of the memo that names its text file (the memo's hint).
inline constexpr const char* kFileNameProperty = "hint";
// objectName of the message box that reports a file that could not be loaded.
inline constexpr const char* kLoadErrorBoxName = "LoadErrorBox";

// Loads the memo's text from the file named by its hint, looked up in the
// working directory, then in the program's data folders (DataFilePath). On success `label` shows the file name and true is
// returned. On failure the memo keeps its text and a message box reading
// "Error Loading " + name + ": " + the error text is shown without waiting
// for it (application modal, deleted when closed), parented to `owner`.
bool LoadInstructionFile(QPlainTextEdit* memo, QLabel* label, QWidget* owner);

// Reads a whole text file: UTF-8, or Latin-1 when it is not valid UTF-8.
// Returns false with the reason in `error`.
bool ReadTextFile(const QString& name, QString& text, QString& error);
