// Answers a design session's questions as a test says, and keeps what was
// asked and told, in order. A question with no script goes to `otherwise`
// (the main window's dialogs, in a window test) or is declined.
#pragma once

#include "session/SessionQuestions.h"

#include <functional>
#include <string>
#include <vector>

struct ScriptedQuestions : SessionQuestions {
    std::function<SaveChangesAnswer(const std::string&)> saveChanges;
    std::function<bool(const std::string&)> openHugeValues;
    std::function<RecoverAnswer(const std::string&, long long)> recover;
    std::function<std::string()> saveName;
    std::function<bool(const std::string&)> confirm;
    SessionQuestions* otherwise = nullptr;
    // "kind: text" of every question asked and every message told.
    std::vector<std::string> asked;

    SaveChangesAnswer SaveChanges(const std::string& q) override
    {
        asked.push_back("save: " + q);
        return saveChanges ? saveChanges(q) : otherwise ? otherwise->SaveChanges(q) : SaveChangesAnswer::Cancel;
    }
    bool OpenHugeValues(const std::string& q) override
    {
        asked.push_back("huge: " + q);
        return openHugeValues ? openHugeValues(q) : otherwise && otherwise->OpenHugeValues(q);
    }
    RecoverAnswer Recover(const std::string& name, long long at) override
    {
        asked.push_back("recover: " + name);
        return recover ? recover(name, at) : otherwise ? otherwise->Recover(name, at) : RecoverAnswer::Later;
    }
    std::string SaveName() override
    {
        asked.push_back("name");
        return saveName ? saveName() : otherwise ? otherwise->SaveName() : std::string();
    }
    bool Confirm(const std::string& q) override
    {
        asked.push_back("confirm: " + q);
        return confirm ? confirm(q) : otherwise && otherwise->Confirm(q);
    }
    void FileFailed(const FileMessage& m) override
    {
        asked.push_back("failed: " + m.text + (m.detail.empty() ? "" : " | " + m.detail));
        if (otherwise) otherwise->FileFailed(m);
    }
    void Notice(const std::string& text) override
    {
        asked.push_back("notice: " + text);
        if (otherwise) otherwise->Notice(text);
    }
};
