#include "graphs/TSetRevArm.h"

#include "qt/QtCanvas.h"
#include "qt/QtEditHooks.h"
#include "qt/QtFonts.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

TSetRevArm::TSetRevArm(AppState& s, QWidget* parent) : QDialog(parent), s_(s)
{
    setObjectName("TSetRevArm");
    setWindowTitle("Set Reverse Arm Positions");
    setFixedSize(409, 154);
    setFont(LayoutFont(QtCanvas::DefaultFamily(), 14));
    labels_ = QImage(409, 154, QImage::Format_ARGB32_Premultiplied);
    ClearLabels();

    for (int box = 1; box <= 10; ++box) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString("Edit%1").arg(box));
        e->setFrame(false);
        e->setGeometry(RevArmBox(box).left, RevArmBox(box).top, kRevArmBoxWidth, kRevArmBoxHeight);
        QPalette p = e->palette();
        p.setColor(QPalette::Base, QColor(192, 192, 192));
        e->setPalette(p);
        InstallNumberRule(e, true);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textEdited, this, [this, box] { typed_[static_cast<size_t>(box)] = true; });
        edits_[static_cast<size_t>(box)] = e;
    }
    close1_ = new QPushButton("Close", this);
    close1_->setObjectName("Close1");
    close1_->setGeometry(158, 114, 92, 31);
    connect(close1_, &QPushButton::clicked, this, &TSetRevArm::Close1Click);
}

void TSetRevArm::ClearLabels() { labels_.fill(palette().color(QPalette::Window)); }

void TSetRevArm::LayoutRevArmDialog()
{
    ClearLabels();
    RevArmLayout lay;
    {
        QtCanvas c(labels_);
        ::LayoutRevArmDialog(c, s_, lay);
    }
    for (int box = 1; box <= 10; ++box) {
        QLineEdit* e = edits_[static_cast<size_t>(box)];
        e->setVisible(lay.visible[static_cast<size_t>(box)]);
        e->setText(QString::fromStdString(lay.text[static_cast<size_t>(box)]));
    }
    close1_->setFocus();
    update();
}

void TSetRevArm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Lay the dialog out before it is seen, and once more from the event
    // loop once it is shown (the focus only sticks on a visible window).
    LayoutRevArmDialog();
    if (!activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            activationQueued_ = false;
            if (isVisible()) FormActivate();
        });
    }
}

void TSetRevArm::FormActivate()
{
    LayoutRevArmDialog();
    LayoutRevArmDialog();
    close1_->setFocus();
}

void TSetRevArm::Close1Click()
{
    // The box being edited is left when the button takes the focus; a box
    // typed into is taken here too in case the click came without that focus
    // change (the window not being the active one).
    for (int box = 1; box <= 10; ++box)
        if (typed_[static_cast<size_t>(box)]) EditExit(box);
    close();
    LayoutRevArmDialog();
}

void TSetRevArm::FormClose() { s_.graph.GraphRedrawPending = true; }

void TSetRevArm::done(int r)
{
    FormClose();
    QDialog::done(r);
}

bool TSetRevArm::EditKeyPress(int box, char key)
{
    QLineEdit* e = edits_[static_cast<size_t>(box)];
    const bool accepted = RevArmKeyAccepted(FieldTextOf(e), key);
    if (box <= 8) {
        {
            QtCanvas c(labels_);
            PaintRevArmLabel(c, s_, box + 1);
        }
        edits_[static_cast<size_t>(box + 1)]->setVisible(true);
        update();
    }
    return accepted;
}

void TSetRevArm::EditExit(int box)
{
    typed_[static_cast<size_t>(box)] = false;
    StoreRevArmEdit(s_, box, edits_[static_cast<size_t>(box)]->text().toStdString());
}

bool TSetRevArm::eventFilter(QObject* o, QEvent* e)
{
    for (int box = 1; box <= 10; ++box) {
        if (o != edits_[static_cast<size_t>(box)]) continue;
        if (e->type() == QEvent::FocusOut) {
            EditExit(box);
        } else if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            char key = 0;
            if (k->key() == Qt::Key_Delete) return false; // the box's own, as the arrows
            // Shortcuts (select all, copy, paste, undo) are the box's own too.
            if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
            if (k->key() == Qt::Key_Backspace)
                key = '\b';
            else if (k->text().size() == 1 && k->text()[0].unicode() >= 0x20 && k->text()[0].unicode() < 0x7F)
                key = static_cast<char>(k->text()[0].unicode());
            else if (k->text().size() == 1 && k->text()[0].unicode() >= 0x7F)
                key = 0x7F;             // any other character: never accepted
            if (key == 0) return false; // navigation and editing keys go on
            return !EditKeyPress(box, key);
        }
        break;
    }
    return QDialog::eventFilter(o, e);
}

void TSetRevArm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, labels_);
}
