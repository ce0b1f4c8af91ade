// Edit-box hooks shared by the windows: the key-press filter (one call per typed
// character, which may discard it), the paste and drop filter, and the exit
// event (the edit lost the focus to another control of its window).
#pragma once

#include <QChar>
#include <QObject>
#include <QString>

#include "platform/NumberEntry.h"

#include <functional>
#include <string>

class QLineEdit;
class QWidget;

// handler(key) runs for every character key typed into `edit` (backspace
// included as QChar(8), Enter as QChar(13)); setting key to QChar() (null)
// discards the key. Keys without a character (arrows, Delete, Tab) pass.
void InstallKeyPress(QLineEdit* edit, std::function<void(QChar& key)> handler);

// handler() runs when `edit` loses the focus to another control of the same
// window (Tab, click, programmatic focus move). Switching to another window or
// opening a menu is not an exit.
void InstallExit(QWidget* edit, std::function<void()> handler);

// The text and selection of `edit` as a typed key or a paste meets them (one
// byte per character; a character outside Latin-1 reads as "?").
FieldText FieldTextOf(const QLineEdit* edit);

// Text that reaches `edit` other than by a typed key - pasted (the paste
// shortcut, the context menu's Paste, the middle button) or dropped - goes in
// only when accepts(field, text) holds for the field as the insertion meets it.
void InstallPasteFilter(QLineEdit* edit, std::function<bool(const FieldText& field, const std::string& text)> accepts);
// The paste filter of the usual number field (NumberEntryAccepted).
void InstallNumberPasteFilter(QLineEdit* edit, bool allowMinus);

// The usual numeric key filter: backspace always, other keys by
// NumberEntryAccepted against the edit's text with its selection replaced;
// clears `key` when it is dropped.
void NumericKeyFilter(QChar& key, const QLineEdit* edit, bool allowMinus);

// A new number field of a window: the numeric key and paste filters, no
// context menu, no drops; `name` is its objectName.
QLineEdit* NewNumberEdit(QWidget* parent, const QString& name, bool allowMinus);
