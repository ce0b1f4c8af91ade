#include "dialogs/TDimensionDialog.h"

#include "analysis/Assembly.h"
#include "dialogs/DialogCommon.h"
#include "drawing/DimensionEdit.h"
#include "qt/QtEditHooks.h"
#include "session/DesignSession.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

TDimensionDialog::TDimensionDialog(AppState& state, DesignSession* designSession, QWidget* parent)
    : QDialog(parent), s(state), session(designSession)
{
    setModal(true);
    setFont(DialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    AssemblyText = new QLabel(this);
    AssemblyText->setObjectName(QStringLiteral("AssemblyText"));
    AssemblyText->setWordWrap(true);
    QPalette red = AssemblyText->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    AssemblyText->setPalette(red);
    AssemblyText->setGeometry(0, 0, 0, 0); // no room until it has something to say
    AssemblyText->hide();
}

QPushButton* TDimensionDialog::MakeButton(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, h);
    return b;
}

void TDimensionDialog::PlaceField(int k, int editX, int editY, int buttonX, int buttonY, bool grey)
{
    auto* b = new QPushButton(this);
    b->setObjectName(QStringLiteral("Button%1").arg(k));
    b->setGeometry(buttonX, buttonY, 8, 13);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::ClickFocus); // Tab walks the fields only
    b->setToolTip(QString::fromLatin1(kCloseUpButtonText));
    Button[k] = b;
    connect(b, &QPushButton::clicked, this, [this, k] { DispatchButtonClick(k); });

    auto* e = new QLineEdit(this);
    e->setObjectName(QStringLiteral("Edit%1").arg(k));
    e->setToolTip(QString::fromStdString(DimensionWhereText(FieldCode(k))));
    e->setGeometry(editX, editY, 40, 13);
    e->setFrame(false);
    e->setTextMargins(0, 0, 0, 0);
    e->setContentsMargins(0, 0, 0, 0);
    // Typed text passes the key filter; every text that comes in (pasted,
    // from an input method) passes the number rule.
    e->setContextMenuPolicy(Qt::NoContextMenu);
    e->setAcceptDrops(false);
    InstallNumberRule(e, true);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, grey ? QColor(192, 192, 192) : QColor(Qt::white));
    pal.setColor(QPalette::Text, Qt::black);
    e->setPalette(pal);
    e->installEventFilter(this);
    Edit[k] = e;
}

void TDimensionDialog::FillFields()
{
    for (int k = 1; k <= kFields; ++k)
        if (Edit[k]) Edit[k]->setText(QString::fromStdString(DimensionFieldText(s.gear, FieldCode(k))));
    ShowAssemblyText();
}

void TDimensionDialog::ShowAssemblyText()
{
    if (baseHeight_ == 0) baseHeight_ = height();
    const QString text = QString::fromStdString(ExplainAssembly(s.gear));
    if (text == AssemblyText->text() && AssemblyText->isVisibleTo(this) == !text.isEmpty()) return;
    AssemblyText->setText(text);
    if (text.isEmpty()) {
        AssemblyText->hide();
        AssemblyText->setGeometry(0, 0, 0, 0);
        setFixedSize(kWidth, baseHeight_);
        return;
    }
    const int w = kWidth - 8;
    const int h = AssemblyText->heightForWidth(w);
    AssemblyText->setGeometry(4, baseHeight_, w, h);
    setFixedSize(kWidth, baseHeight_ + h + 4);
    AssemblyText->show();
}

int TDimensionDialog::FieldIndexOf(QObject* watched) const
{
    for (int k = 1; k <= kFields; ++k)
        if (Edit[k] == watched) return k;
    return 0;
}

bool TDimensionDialog::eventFilter(QObject* watched, QEvent* event)
{
    const int k = FieldIndexOf(watched);
    if (k == 0) {
        if (event->type() == QEvent::MouseButtonPress) WidgetMouseDown(watched);
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        char key = 0;
        if (!KeyPressChar(ke, key)) return false; // Tab, arrows, Delete ...: the edit's own
        DispatchKeyPress(k, key);
        return key == 0; // a dropped key never reaches the text
    }
    if (event->type() == QEvent::FocusOut) {
        auto* fe = static_cast<QFocusEvent*>(event);
        // Leaving the field inside the dialog commits it; switching to another
        // window or a popup does not.
        if (fe->reason() != Qt::ActiveWindowFocusReason && fe->reason() != Qt::PopupFocusReason) DispatchExit(k);
    }
    return QDialog::eventFilter(watched, event);
}

void TDimensionDialog::FieldKeyPress(int k, char& key)
{
    const DimensionKey r = FilterDimensionKey(FieldTextOf(Edit[k]), key);
    NoteDimensionKey(s, FieldCode(k), r);
    if (r.enter) Close1->setFocus(Qt::OtherFocusReason);
    if (!r.keep) key = 0;
}

void TDimensionDialog::FieldExit(int k)
{
    CommitDimensionField(s, FieldCode(k), Edit[k]->text().toStdString());
    AfterCommit(k);
    ShowAssemblyText();
}

void TDimensionDialog::SmallButtonClick(int k) { s.highlight.HighlightDim = FieldCode(k); }

void TDimensionDialog::CloseDialog()
{
    // Without an opening (never the case once shown) every dimension counts as
    // changed and no undo record as made here.
    const DimensionDialogOpening opened = opened_.value_or(DimensionDialogOpening{{}, s.dyn.UndoSerial});
    opened_.reset();
    if (CloseDimensionDialogModel(s, opened) && session) session->ArmToMidGear();
    accept();
}

void TDimensionDialog::reject()
{
    opened_.reset();
    QDialog::reject();
}

void TDimensionDialog::FormActivate()
{
    if (!opened_) opened_ = OpenDimensionDialogModel(s);
    FillFields();
    update(); // the labels and help lines
    Close1->setFocus(Qt::OtherFocusReason);
}

void TDimensionDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TDimensionDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setFont(font());
    p.setPen(Qt::black);
    const int ascent = p.fontMetrics().ascent();
    for (const PaintedText& t : PaintedTexts()) p.drawText(t.x, t.y + ascent, QString::fromStdString(t.text));
}

void TDimensionDialog::keyPressEvent(QKeyEvent* event)
{
    // The dimension dialogs have no cancel button: Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
