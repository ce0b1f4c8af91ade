// What the program tells the user about a design file that cannot be opened
// or saved, in plain words: the file by name and the reason; the system's
// standard message follows only where it tells more (the number of a failure
// the program has no words for).
#pragma once

#include "files/NativeFile.h"

#include <string>

struct FileMessage {
    std::string text;   // e.g. Cannot open "x.vgw": it is too short to be a design (0 bytes).
    std::string detail; // the standard message ("I/O error 5"), or empty
    // Text and detail on one line, for a terminal.
    std::string OneLine() const;
};

// `shownName` is the file as the user knows it: its name in a window, the
// path as typed on a command line. `r` is a failed open or import.
FileMessage OpenFailureMessage(const std::string& shownName, const DesignFileResult& r);

// `r` is a failed save: its reason in plain words where it has one (a name of
// no known format), else the input/output failure.
FileMessage SaveFailureMessage(const std::string& shownName, const DesignFileResult& r);

// The question before a file with huge values is loaded all the same:
// "x.vgw" holds values no gear can have (Stroke Length = 3.4e38). Open it anyway?
std::string HugeValuesQuestion(const std::string& shownName, const ValueCheck& c);
