// Edit-box hooks shared by the windows: the key-press filter (one call per typed
// character, which may discard it) and the exit event (the edit lost the focus
// to another control of its window).
#pragma once

#include <QChar>
#include <QObject>
#include <QString>

#include <functional>

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

// The usual numeric filter: backspace, digits, "." and (when allowMinus) "-";
// a "." or "-" already present in `text` is dropped. Returns whether the key stays.
bool NumericKeyAccepted(QChar key, const QString& text, bool allowMinus);

// Apply NumericKeyAccepted to key, clearing it when it is dropped.
void NumericKeyFilter(QChar& key, const QString& text, bool allowMinus);
