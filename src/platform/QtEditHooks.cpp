#include "platform/QtEditHooks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class KeyPressHook : public QObject {
public:
    KeyPressHook(QLineEdit* edit, std::function<void(QChar&)> h) : QObject(edit), handler_(std::move(h)) {}

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() != QEvent::KeyPress) return false;
        auto* ke = static_cast<QKeyEvent*>(ev);
        QChar key;
        if (ke->key() == Qt::Key_Backspace) {
            key = QChar(8);
        } else if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            key = QChar(13);
        } else if (!ke->text().isEmpty() && ke->text().at(0).isPrint() &&
                   !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            key = ke->text().at(0);
        } else {
            return false; // navigation and shortcut keys pass untouched
        }
        const QChar original = key;
        handler_(key);
        if (key.isNull()) return true; // discarded
        if (key != original) {
            QKeyEvent replaced(QEvent::KeyPress, 0, ke->modifiers(), QString(key));
            QCoreApplication::sendEvent(obj, &replaced);
            return true;
        }
        // Enter has no effect in a single-line edit beyond what the handler did.
        return original == QChar(13);
    }

private:
    std::function<void(QChar&)> handler_;
};

class ExitHook : public QObject {
public:
    ExitHook(QWidget* w, std::function<void()> h) : QObject(w), handler_(std::move(h)) {}

protected:
    bool eventFilter(QObject*, QEvent* ev) override
    {
        if (ev->type() == QEvent::FocusOut) {
            const Qt::FocusReason r = static_cast<QFocusEvent*>(ev)->reason();
            if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason && r != Qt::MenuBarFocusReason)
                handler_();
        }
        return false;
    }

private:
    std::function<void()> handler_;
};

} // namespace

void InstallKeyPress(QLineEdit* edit, std::function<void(QChar&)> handler)
{
    edit->installEventFilter(new KeyPressHook(edit, std::move(handler)));
}

void InstallExit(QWidget* edit, std::function<void()> handler)
{
    edit->installEventFilter(new ExitHook(edit, std::move(handler)));
}

bool NumericKeyAccepted(QChar key, const QString& text, bool allowMinus)
{
    if (key == QChar(8)) return true;
    if (key.isDigit() && key.unicode() < 128) return true;
    if (key == QLatin1Char('.')) return !text.contains(QLatin1Char('.'));
    if (key == QLatin1Char('-') && allowMinus) return !text.contains(QLatin1Char('-'));
    return false;
}

void NumericKeyFilter(QChar& key, const QString& text, bool allowMinus)
{
    if (!NumericKeyAccepted(key, text, allowMinus)) key = QChar();
}
