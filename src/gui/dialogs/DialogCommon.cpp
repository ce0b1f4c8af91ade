#include "dialogs/DialogCommon.h"

#include "qt/QtFonts.h"

#include <QDialog>
#include <QKeyEvent>
#include <QWidget>

QFont DialogFont()
{
    // The dialogs are laid out in pixels for this font: 8 points at 96 dpi.
    // Where it is missing, a sans serif of the same metrics stands in.
    return LayoutFont(QStringLiteral("MS Sans Serif"), 11);
}

bool KeyPressChar(const QKeyEvent* event, char& key)
{
    switch (event->key()) {
    case Qt::Key_Backspace: key = '\b'; return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: key = '\r'; return true;
    case Qt::Key_Escape: key = 0x1B; return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return false;
    default: break;
    }
    // Shortcuts (Ctrl+A, Ctrl+C, Ctrl+V, ...) are the edit's own.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event->text();
    if (text.isEmpty()) return false;
    const char16_t c = text.at(0).unicode();
    if (c == 0x7F) return false; // Delete on some keyboards
    key = c < 0x80 ? static_cast<char>(c) : 0;
    if (key == 0) key = 0x01; // typed, but nothing a number field accepts
    return true;
}

void ShowBeside(QWidget* window)
{
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

void ShowModal(QDialog* dialog)
{
    if (dialog && !dialog->isVisible()) dialog->exec();
}
