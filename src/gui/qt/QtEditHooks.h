// Edit-box hooks shared by the windows: the key-press filter (one call per typed
// character, which may discard it), the entry rule of a field (judging typed,
// pasted, dropped and input-method text alike), and the exit event (the edit
// lost the focus to another control of its window).
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

// What a field takes: accepts(field, text) says whether `text` may replace
// the selection of `field`.
using EntryRule = std::function<bool(const FieldText& field, const std::string& text)>;

// The rule of the number field `edit`, whichever way text arrives: a
// validator judges every change of the text against the text before it
// (typed keys, input-method commits, pastes, drops, undo of the edit's own),
// and a filter keeps pasted (the paste shortcut, the context menu's Paste,
// the middle button) and dropped text that the rule refuses from being
// offered at all. A comma the rule takes (as the decimal point) goes in as ".".
void InstallEntryRule(QLineEdit* edit, EntryRule accepts);
// The rule of the usual number field (NumberEntryAccepted).
void InstallNumberRule(QLineEdit* edit, bool allowMinus);

// The usual numeric key filter: backspace always, other keys by
// NumberEntryAccepted against the edit's text with its selection replaced;
// clears `key` when it is dropped.
void NumericKeyFilter(QChar& key, const QLineEdit* edit, bool allowMinus);

// A new number field of a search window, which takes any text typed,
// pasted or dropped and drops none of it: the window reads it whole
// (ReadFieldNumber) and says so when it is no number. No context menu, no
// drops; `name` is its objectName.
QLineEdit* NewNumberEdit(QWidget* parent, const QString& name);
