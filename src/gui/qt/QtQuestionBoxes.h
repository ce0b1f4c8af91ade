// The message boxes in which the main window answers its design session's
// questions (session/SessionQuestions) and tells what it has to tell, each
// with an objectName the tests find it by.
#pragma once

#include "files/FileMessages.h"
#include "session/SessionQuestions.h"

#include <QString>

#include <string>

class QMessageBox;
class QWidget;

// The question about a design a program that no longer runs left behind
// (`RecoverBox`, "Recover the unsaved design "<name>" from <when>?", with
// `Recover`, the default, and `Discard`); the caller owns it.
QMessageBox* NewRecoverBox(QWidget* parent, const QString& name, const QString& when);
// The same asked: `writtenAt` in seconds since 1970, shown as "yyyy-MM-dd hh:mm".
RecoverAnswer AskRecover(QWidget* parent, const std::string& name, long long writtenAt);
// `SaveChangesBox`: Save (the default), Discard or Cancel (Escape).
SaveChangesAnswer AskSaveChanges(QWidget* parent, const std::string& question);
// A warning answered Yes or Cancel (the default), in a box named `name`
// ("HugeValuesBox", "ConfirmBox"); the caller owns the box.
QMessageBox* NewYesOrCancelBox(QWidget* parent, const char* name, const std::string& question);
bool AskYesOrCancel(QWidget* parent, const char* name, const std::string& question);
// `FileErrorBox`: the message, its detail under it.
void ShowFileMessage(QWidget* parent, const FileMessage& message);
// `NoticeBox`, not modal: told while the gear and the user go on (the box
// deletes itself when closed).
QMessageBox* NewNoticeBox(QWidget* parent, const std::string& text);
void ShowNotice(QWidget* parent, const std::string& text);
