// What a design session asks the user and tells them. The main window answers
// with its message boxes and file dialogs; tests script the answers; the
// command line asks nothing (NoQuestions).
#pragma once

#include "files/FileMessages.h"

#include <string>

enum class SaveChangesAnswer { Save, Discard, Cancel };
enum class RecoverAnswer { Recover, Discard, Later };

class SessionQuestions {
public:
    virtual ~SessionQuestions() = default;
    // "Save changes to "<name>"?": Save, Discard or Cancel the command.
    virtual SaveChangesAnswer SaveChanges(const std::string& question) = 0;
    // HugeValuesQuestion: open the file all the same?
    virtual bool OpenHugeValues(const std::string& question) = 0;
    // "Recover the unsaved design "<name>" from <when>?" about what a program
    // that no longer runs left; `writtenAt` in seconds since 1970. Later: not
    // answered, asked again at the next start.
    virtual RecoverAnswer Recover(const std::string& name, long long writtenAt) = 0;
    // The file to save the design as (the save dialog); empty: none chosen.
    virtual std::string SaveName() = 0;
    // A question answered yes or no ("… changed since. Replace it?").
    virtual bool Confirm(const std::string& question) = 0;
    // A design file that could not be opened or saved.
    virtual void FileFailed(const FileMessage& message) = 0;
    // Something the user is told without being asked (a recovery copy that
    // cannot be kept, a comparison of designs whose units are not both known).
    virtual void Notice(const std::string& text) = 0;
};

// Asks nothing: every question is declined (Cancel, no, Later, no name),
// nothing is told.
class NoQuestions : public SessionQuestions {
public:
    SaveChangesAnswer SaveChanges(const std::string&) override { return SaveChangesAnswer::Cancel; }
    bool OpenHugeValues(const std::string&) override { return false; }
    RecoverAnswer Recover(const std::string&, long long) override { return RecoverAnswer::Later; }
    std::string SaveName() override { return ""; }
    bool Confirm(const std::string&) override { return false; }
    void FileFailed(const FileMessage&) override {}
    void Notice(const std::string&) override {}
};
