#include "qt/QtEditHooks.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QValidator>

#include <algorithm>
#include <utility>

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

std::string Latin1(const QString& text) { return text.toLatin1().toStdString(); }

// The change from `before` to `after` as an insertion meets it: the field
// with the replaced part selected, and the text put in its place.
std::pair<FieldText, std::string> ChangeOf(const std::string& before, const std::string& after)
{
    const size_t shorter = std::min(before.size(), after.size());
    size_t head = 0;
    while (head < shorter && before[head] == after[head]) ++head;
    size_t tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) ++tail;
    return {FieldText(before, static_cast<int>(head), static_cast<int>(before.size() - head - tail)),
            after.substr(head, after.size() - head - tail)};
}

// Judges every change of the edit's text: the text before it is the last one
// the edit showed.
class EntryValidator : public QValidator {
public:
    EntryValidator(QLineEdit* edit, EntryRule accepts)
        : QValidator(edit), edit_(edit), accepts_(std::move(accepts)), shown_(edit->text())
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { shown_ = t; });
    }

    State validate(QString& input, int&) const override
    {
        // A text the program sets (which leaves the edit unmodified) is the
        // field's value, never judged.
        if (input == shown_ || !edit_->isModified()) return Acceptable;
        for (QChar ch : input)
            if (ch.unicode() > 0xFF) return Invalid; // outside what the rule can read
        const auto [field, text] = ChangeOf(Latin1(shown_), Latin1(input));
        if (!accepts_(field, text)) return Invalid;
        // A comma is the decimal point: the field shows it as one.
        input.replace(QLatin1Char(','), QLatin1Char('.'));
        return Acceptable;
    }

private:
    const QLineEdit* edit_;
    EntryRule accepts_;
    QString shown_;
};

class PasteFilter : public QObject {
public:
    PasteFilter(QLineEdit* edit, EntryRule accepts) : QObject(edit), edit_(edit), accepts_(std::move(accepts)) {}

protected:
    bool eventFilter(QObject*, QEvent* ev) override
    {
        switch (ev->type()) {
        case QEvent::KeyPress:
            // Refused: the shortcut goes no further. Accepted: the edit pastes.
            if (static_cast<QKeyEvent*>(ev)->matches(QKeySequence::Paste)) return !ClipboardFits();
            return false;
        case QEvent::MouseButtonRelease:
            // The X11 selection goes in at the click, the edit's selection dropped.
            if (static_cast<QMouseEvent*>(ev)->button() == Qt::MiddleButton &&
                QGuiApplication::clipboard()->supportsSelection())
                return !accepts_(FieldText(Latin1(edit_->text())),
                                 Latin1(QGuiApplication::clipboard()->text(QClipboard::Selection)));
            return false;
        case QEvent::ContextMenu: ShowContextMenu(static_cast<QContextMenuEvent*>(ev)->globalPos()); return true;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* de = static_cast<QDropEvent*>(ev);
            // A move inside the edit takes the dragged selection out; anything
            // else goes in beside the whole text.
            const bool moveWithin = de->source() == edit_ && de->dropAction() == Qt::MoveAction;
            const FieldText field = moveWithin ? FieldTextOf(edit_) : FieldText(Latin1(edit_->text()));
            if (de->mimeData()->hasText() && accepts_(field, Latin1(de->mimeData()->text()))) return false;
            de->ignore();
            return true;
        }
        default: return false;
        }
    }

private:
    bool ClipboardFits() const { return accepts_(FieldTextOf(edit_), Latin1(QGuiApplication::clipboard()->text())); }

    // The edit's own menu, its Paste only for a clipboard text that fits.
    void ShowContextMenu(const QPoint& at)
    {
        QMenu* menu = edit_->createStandardContextMenu();
        if (!menu) return;
        for (QAction* a : menu->actions()) {
            // Named from Qt 6.5 on; before, known by its (translated) text.
            if (a->objectName() != QLatin1String("edit-paste") && !a->text().startsWith(QLineEdit::tr("&Paste")))
                continue;
            a->setEnabled(a->isEnabled() && ClipboardFits());
            QObject::disconnect(a, &QAction::triggered, edit_, nullptr);
            QObject::connect(a, &QAction::triggered, edit_, [this] {
                if (ClipboardFits()) edit_->paste();
            });
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    }

    QLineEdit* edit_;
    EntryRule accepts_;
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

FieldText FieldTextOf(const QLineEdit* edit)
{
    std::string text = edit->text().toLatin1().toStdString();
    if (!edit->hasSelectedText()) return FieldText(std::move(text), edit->cursorPosition(), 0);
    return FieldText(std::move(text), edit->selectionStart(), static_cast<int>(edit->selectedText().size()));
}

void InstallEntryRule(QLineEdit* edit, EntryRule accepts)
{
    edit->setValidator(new EntryValidator(edit, accepts));
    edit->installEventFilter(new PasteFilter(edit, std::move(accepts)));
}

void InstallNumberRule(QLineEdit* edit, bool allowMinus)
{
    InstallEntryRule(edit, [allowMinus](const FieldText& field, const std::string& text) {
        return NumberEntryAccepted(field, text, allowMinus);
    });
}

void NumericKeyFilter(QChar& key, const QLineEdit* edit, bool allowMinus)
{
    if (key == QChar(8)) return;
    if (key.unicode() > 0x7F || !NumberEntryAccepted(FieldTextOf(edit), std::string(1, key.toLatin1()), allowMinus))
        key = QChar();
}

QLineEdit* NewNumberEdit(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setContextMenuPolicy(Qt::NoContextMenu);
    e->setAcceptDrops(false);
    return e;
}
