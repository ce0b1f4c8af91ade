#include "aids/TDrawLines.h"

#include "platform/Services.h"
#include "qt/QtEditHooks.h"
#include "qt/QtFonts.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kRowTop = 104;
constexpr int kRowPitch = 17;
// Cell positions inside a row panel: number, type, colour, reference, 4 edits.
constexpr int kNumberX = 2, kNumberW = 18;
constexpr int kTypeX = 22, kTypeW = 40;
constexpr int kColourX = 64, kColourW = 42;
constexpr int kRefX = 108, kRefW = 52;
constexpr int kEditX = 162, kEditW = 78, kEditPitch = 80;

const QColor kWhite(255, 255, 255);
const QColor kAqua(0, 255, 255);
const QColor kSilver(192, 192, 192);

// A radio group: a titled box of radio buttons laid out column by column.
QGroupBox* RadioGroup(QWidget* parent, const char* name, const char* title, const QStringList& items, int columns,
                      QButtonGroup*& group, const QRect& geometry)
{
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    box->setAutoFillBackground(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, kSilver);
    box->setPalette(pal);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setSpacing(0);
    group = new QButtonGroup(box);
    group->setObjectName(QString::fromLatin1(name) + QStringLiteral("Buttons"));
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        b->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item%1").arg(i));
        group->addButton(b, i);
        grid->addWidget(b, i % rows, i / rows);
    }
    return box;
}

void SetRowColour(QFrame* panel, const QColor& c)
{
    QPalette pal = panel->palette();
    if (pal.color(QPalette::Window) == c) return;
    pal.setColor(QPalette::Window, c);
    panel->setPalette(pal);
}

void SetTextIfChanged(QLabel* l, const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (l->text() != t) l->setText(t);
}

void SetTextIfChanged(QLineEdit* e, const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (e->text() != t) e->setText(t);
}

// Puts a radio group to `index`, -1 clearing every button.
void ShowChoice(QButtonGroup* group, int index)
{
    QAbstractButton* target = group->button(index);
    if (target && target->isChecked()) return;
    if (!target && !group->checkedButton()) return;
    const QSignalBlocker block(group);
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(b == target);
    group->setExclusive(true);
}

} // namespace

TDrawLines::TDrawLines(AppState& state, SoundPort* sound, QWidget* parent)
    : QDialog(parent), state_(state), sound_(sound), model_(state)
{
    setObjectName(QStringLiteral("DrawLines"));
    setWindowTitle(QStringLiteral("Draw Lines"));
    setFixedSize(592, 501);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWhite);
    setPalette(pal);
    setFont(LayoutFont(QStringLiteral("MS Sans Serif"), 11));

    RadioGroup1 = RadioGroup(this, "RadioGroup1", "  Type    ", {QStringLiteral("Line"), QStringLiteral("Circle")}, 1,
                             TypeGroup, QRect(8, 4, 76, 62));
    RadioGroup2 = RadioGroup(this, "RadioGroup2", "  Color  ",
                             {QStringLiteral("Black"), QStringLiteral("Red"), QStringLiteral("Green"),
                              QStringLiteral("Yellow"), QStringLiteral("Blue"), QStringLiteral("Gray")},
                             3, ColourGroup, QRect(90, 4, 186, 62));
    RadioGroup3 = RadioGroup(
        this, "RadioGroup3", "  Referenced to  ",
        {QStringLiteral("0,0"), QStringLiteral("Pivot1"), QStringLiteral("Piv1/0,0"), QStringLiteral("Piv1/Piv2")}, 2,
        ReferenceGroup, QRect(282, 4, 160, 62));
    connect(TypeGroup, &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup1Click);
    connect(ColourGroup, &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup2Click);
    connect(ReferenceGroup, &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup3Click);

    auto button = [this](QPushButton*& b, const char* name, const char* caption, const QRect& r,
                         void (TDrawLines::*slot)()) {
        b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
    };
    button(DrawBut, "DrawBut", "Draw Close", QRect(452, 6, 84, 20), &TDrawLines::DrawButClick);
    button(ClearLine, "ClearLine", "Clear Line", QRect(452, 27, 84, 20), &TDrawLines::ClearLineClick);
    button(CloseBut, "CloseBut", "Close", QRect(452, 48, 84, 20), &TDrawLines::CloseButClick);
    button(LinesData, "LinesData", "LinesData", QRect(540, 6, 40, 20), &TDrawLines::LinesDataClick);
    LinesData->hide();
    DrawBut->setEnabled(false);
    numberText_ = palette().color(QPalette::WindowText);
    KeepOut = new QAction(QStringLiteral("&Keep-out"), this);
    KeepOut->setObjectName(QStringLiteral("KeepOut"));
    KeepOut->setCheckable(true);
    // Not Ctrl+K: the number fields delete to the end with it.
    KeepOut->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    KeepOut->setShortcutContext(Qt::WindowShortcut);
    addAction(KeepOut);
    connect(KeepOut, &QAction::triggered, this, &TDrawLines::KeepOutClick);

    auto title = [this](const char* name, const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        l->adjustSize();
    };
    const int x0 = 8;
    title("TitleItem", "Item", x0, 72);
    title("TitleNo", "No.", x0, 86);
    title("TitleChoices", "Type     Color     Ref to", x0 + kTypeX, 86);
    title("TitleLines", "Line1Vert   Line1Horz     Line2Vert   Line2Horz", x0 + kEditX + 8, 72);
    title("TitleCircles", "CirCentV    CirCentH                        CirRadius", x0 + kEditX + 8, 86);

    for (int r = 1; r <= kOverlayItems; ++r) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(r));
        panel->setGeometry(x0, kRowTop + kRowPitch * (r - 1), 480, 16);
        panel->setAutoFillBackground(true);
        SetRowColour(panel, kWhite);
        Panel[static_cast<size_t>(r)] = panel;
        const int base = 4 * (r - 1);
        auto label = [&](int n, int x, int w, const QString& text) {
            auto* l = new QLabel(text, panel);
            l->setObjectName(QStringLiteral("Label%1").arg(n));
            l->setGeometry(x, 0, w, 16);
            Label[static_cast<size_t>(n)] = l;
            return l;
        };
        QLabel* number =
            label(base + 1, kNumberX, kNumberW, r < 10 ? QStringLiteral("%1  ").arg(r) : QString::number(r));
        number->setAutoFillBackground(true);
        QPalette np = number->palette();
        np.setColor(QPalette::Window, kWhite);
        number->setPalette(np);
        number->setCursor(Qt::PointingHandCursor);
        number->installEventFilter(this);
        label(base + 2, kTypeX, kTypeW, QString());
        label(base + 3, kColourX, kColourW, QString());
        label(base + 4, kRefX, kRefW, QString());
        for (int c = 0; c < 4; ++c) {
            const int n = base + 1 + c;
            auto* e = new QLineEdit(panel);
            e->setObjectName(QStringLiteral("Edit%1").arg(n));
            e->setGeometry(kEditX + kEditPitch * c, 0, kEditW, 16);
            e->setFrame(false);
            e->setAlignment(Qt::AlignRight);
            QPalette ep = e->palette();
            ep.setColor(QPalette::Base, kSilver);
            e->setPalette(ep);
            InstallKeyPress(e, [this, n](QChar& key) { EditKeyPress(n, key); });
            InstallEntryRule(e, [this, n](const FieldText& field, const std::string& text) {
                return model_.AcceptText((n - 1) / 4 + 1, (n - 1) % 4, field, text);
            });
            InstallExit(e, [this, n] { EditExit(n); });
            Edit[static_cast<size_t>(n)] = e;
        }
    }
    ShowModel();
}

void TDrawLines::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

bool TDrawLines::eventFilter(QObject* obj, QEvent* ev)
{
    const bool press = ev->type() == QEvent::MouseButtonPress;
    const Qt::MouseButton button = press ? static_cast<QMouseEvent*>(ev)->button() : Qt::NoButton;
    if (button == Qt::LeftButton || button == Qt::RightButton) {
        for (int r = 1; r <= kOverlayItems; ++r) {
            if (obj == Label[static_cast<size_t>(4 * (r - 1) + 1)]) {
                RowLabelClick(r);
                if (button == Qt::RightButton) {
                    // The row's own menu: its keep-out flag.
                    QMenu menu(this);
                    menu.setObjectName(QStringLiteral("RowMenu"));
                    menu.addAction(KeepOut);
                    menu.exec(static_cast<QMouseEvent*>(ev)->globalPosition().toPoint());
                }
                return true;
            }
        }
    }
    return QDialog::eventFilter(obj, ev);
}

void TDrawLines::Beep()
{
    if (sound_)
        sound_->Beep();
    else
        QApplication::beep();
}

void TDrawLines::Apply(const LineOp& op)
{
    if (op.beep) Beep();
    ShowModel();
    if (op.close) reject();
}

void TDrawLines::ShowModel()
{
    for (int r = 1; r <= kOverlayItems; ++r) {
        const LineDialogModel::Row& row = model_.RowAt(r);
        const int base = 4 * (r - 1);
        SetTextIfChanged(Label[static_cast<size_t>(base + 2)], row.type);
        SetTextIfChanged(Label[static_cast<size_t>(base + 3)], row.colour);
        SetTextIfChanged(Label[static_cast<size_t>(base + 4)], row.ref);
        for (int c = 0; c < 4; ++c)
            SetTextIfChanged(Edit[static_cast<size_t>(base + 1 + c)], row.edit[static_cast<size_t>(c)]);
    }
    HighlightCurrentRow();
    ShowChoice(TypeGroup, state_.overlay.TypeChoice);
    ShowChoice(ColourGroup, state_.overlay.ColourChoice);
    ShowChoice(ReferenceGroup, state_.overlay.ReferenceChoice);
    DrawBut->setEnabled(model_.DrawButEnabled());
}

void TDrawLines::HighlightCurrentRow()
{
    const int current = HighlightedRow(state_.overlay);
    for (int r = 1; r <= kOverlayItems; ++r) {
        SetRowColour(Panel[static_cast<size_t>(r)], r == current ? kAqua : kWhite);
        // A keep-out shape's number in red.
        QLabel* number = Label[static_cast<size_t>(4 * (r - 1) + 1)];
        const QColor text = state_.overlay.Item[static_cast<size_t>(r)].KeepOut ? QColor(Qt::red) : numberText_;
        if (number->palette().color(QPalette::WindowText) != text) {
            QPalette p = number->palette();
            p.setColor(QPalette::WindowText, text);
            number->setPalette(p);
        }
    }
    KeepOut->setChecked(state_.overlay.Item[static_cast<size_t>(ItemIndex(state_.overlay))].KeepOut);
}

void TDrawLines::RefreshLineRows()
{
    model_.RefreshLineRows();
    ShowModel();
}

void TDrawLines::ClearRowLabels()
{
    model_.ClearRowLabels();
    ShowModel();
}

void TDrawLines::FormActivate()
{
    model_.Activate();
    ShowModel();
}

void TDrawLines::RadioGroup1Click(int index) { Apply(model_.ChooseType(index)); }
void TDrawLines::RadioGroup2Click(int index) { Apply(model_.ChooseColour(index)); }
void TDrawLines::RadioGroup3Click(int index) { Apply(model_.ChooseReference(index)); }
void TDrawLines::DrawButClick() { Apply(model_.DrawClose()); }
void TDrawLines::ClearLineClick() { Apply(model_.ClearLine()); }
void TDrawLines::CloseButClick() { Apply(model_.CloseDialog()); }
void TDrawLines::LinesDataClick() { RefreshLineRows(); }
void TDrawLines::KeepOutClick() { Apply(model_.ToggleKeepOut()); }

void TDrawLines::RowLabelClick(int row)
{
    // The number label takes no focus: a field typed into is taken first, as
    // leaving it would, or showing the rows would put its old text back.
    for (int n = 1; n <= 4 * kOverlayItems; ++n)
        if (focusWidget() == Edit[static_cast<size_t>(n)]) EditExit(n);
    model_.SelectRow(row);
    ShowModel();
}

void TDrawLines::EditExit(int n)
{
    if (n < 1 || n > 4 * kOverlayItems) return;
    model_.EditExit((n - 1) / 4 + 1, (n - 1) % 4, Edit[static_cast<size_t>(n)]->text().toStdString());
}

void TDrawLines::EditKeyPress(int n, QChar& key)
{
    if (n < 1 || n > 4 * kOverlayItems) return;
    const char c = key == QChar(8) ? '\b' : key.toLatin1();
    if (key.unicode() > 0x7F ||
        !model_.AcceptKey((n - 1) / 4 + 1, (n - 1) % 4, FieldTextOf(Edit[static_cast<size_t>(n)]), c))
        key = QChar();
}
