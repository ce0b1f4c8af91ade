#include "graphs/TValveEvents.h"

#include "analysis/ValveEventsTable.h"
#include "model/DesignScale.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Columns that hold words rather than numbers.
bool IsWordColumn(int column) { return column <= 1 || column == kValveEventsColumns - 1; }

} // namespace

TValveEvents::TValveEvents(AppState& state, QWidget* parent, FileSystem& files)
    : QDialog(parent), state_(state), files_(files)
{
    setObjectName(QStringLiteral("ValveEvents"));
    setWindowTitle(CaptionHead());
    resize(1100, 600);

    EventsGrid = new QTableWidget(this);
    EventsGrid->setObjectName(QStringLiteral("EventsGrid"));
    EventsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EventsGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    EventsGrid->verticalHeader()->hide();
    // Compact rows: more notches in view.
    EventsGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    EventsGrid->verticalHeader()->setDefaultSectionSize(EventsGrid->fontMetrics().height() + 6);
    EventsGrid->setWordWrap(false);
    EventsGrid->setColumnCount(kValveEventsColumns);

    ViewRow = new QWidget(this);
    ViewRow->setObjectName(QStringLiteral("ViewRow"));
    auto* views = new QHBoxLayout(ViewRow);
    views->setContentsMargins(0, 0, 0, 0);
    auto view = [this, views](QRadioButton*& r, const char* name, const QString& text) {
        r = new QRadioButton(text, ViewRow);
        r->setObjectName(QString::fromLatin1(name));
        views->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) ShowTable();
        });
    };
    view(ShowThis, "ShowThis", QStringLiteral("&This design"));
    view(ShowReference, "ShowReference", QStringLiteral("&Reference"));
    view(ShowDifference, "ShowDifference", QStringLiteral("&Difference (this − reference)"));
    views->addStretch(1);
    ShowThis->setChecked(true);
    ViewRow->hide();

    auto button = [this](QPushButton*& b, const char* name, const QString& text, void (TValveEvents::*slot)()) {
        b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, slot);
    };
    button(CopyBut, "CopyBut", QStringLiteral("Copy"), &TValveEvents::CopyButClick);
    button(SaveCsvBut, "SaveCsvBut", QStringLiteral("Save CSV…"), &TValveEvents::SaveCsvButClick);
    button(PrintBut, "PrintBut", QStringLiteral("Print…"), &TValveEvents::PrintButClick);
    auto* print = new QShortcut(QKeySequence::Print, this);
    print->setObjectName(QStringLiteral("PrintShortcut"));
    connect(print, &QShortcut::activated, this, &TValveEvents::PrintButClick);
    button(CloseBut, "CloseBut", QStringLiteral("Close"), &TValveEvents::CloseButClick);
    CloseBut->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CopyBut);
    buttons->addWidget(SaveCsvBut);
    buttons->addWidget(PrintBut);
    buttons->addWidget(CloseBut);
    auto* box = new QVBoxLayout(this);
    box->addWidget(ViewRow);
    box->addWidget(EventsGrid, 1);
    box->addLayout(buttons);
    setTabOrder(EventsGrid, CopyBut);
    setTabOrder(CopyBut, SaveCsvBut);
    setTabOrder(SaveCsvBut, PrintBut);
    setTabOrder(PrintBut, CloseBut);
}

QString TValveEvents::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Valve Events    "); }

void TValveEvents::SetCaptionTail(const QString& tail)
{
    tail_ = tail;
    QString t = CaptionHead() + tail;
    if (state_.compare.Reference)
        t = CaptionHead() + QStringLiteral("Reference: ") + QString::fromStdString(state_.compare.ReferenceName) +
            QStringLiteral("    ") + tail;
    if (windowTitle() != t) setWindowTitle(t);
}

void TValveEvents::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TValveEvents::FormActivate()
{
    // The events are measured on copies of the designs.
    rows_ = ValveEventsRowsOf(state_.gear);
    const std::optional<Gear> reference = ComparedReference(state_);
    referenceRows_ = reference ? ValveEventsRowsOf(*reference) : std::vector<ValveEventsRow>{};
    ViewRow->setVisible(reference.has_value());
    if (!reference) {
        const QSignalBlocker quiet(ShowThis);
        ShowThis->setChecked(true);
    }
    SetCaptionTail(tail_);
    ShowTable();
    CloseBut->setFocus();
}

void TValveEvents::ShowTable()
{
    const LengthUnit unit = state_.gear.Unit;
    if (referenceRows_.empty() || ShowThis->isChecked())
        text_ = ValveEventsText(rows_, unit);
    else if (ShowReference->isChecked())
        text_ = ValveEventsText(referenceRows_, unit);
    else
        text_ = ValveEventsDifferenceText(rows_, referenceRows_, unit);

    QStringList headers;
    // On screen the unit goes on a second header line.
    for (const std::string& h : text_[0])
        headers << QString::fromStdString(h).replace(QStringLiteral(" ("), QStringLiteral("\n("));
    EventsGrid->setHorizontalHeaderLabels(headers);
    EventsGrid->setUpdatesEnabled(false);
    EventsGrid->clearContents();
    EventsGrid->setRowCount(static_cast<int>(text_.size()) - 1);
    QFont bold = EventsGrid->font();
    bold.setBold(true);
    for (size_t r = 1; r < text_.size(); ++r) {
        const TextRow& row = text_[r];
        // The normal notch stands out.
        const bool normal = row[1] == kNormalNotchText;
        for (size_t c = 0; c < row.size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(row[c]));
            const int column = static_cast<int>(c);
            item->setTextAlignment(IsWordColumn(column) ? Qt::AlignLeft | Qt::AlignVCenter
                                                        : Qt::AlignRight | Qt::AlignVCenter);
            if (normal) item->setFont(bold);
            EventsGrid->setItem(static_cast<int>(r) - 1, column, item);
        }
    }
    EventsGrid->resizeColumnsToContents();
    EventsGrid->setUpdatesEnabled(true);
}

void TValveEvents::CopyButClick() { CopyTableToClipboard(TabSeparatedText(text_)); }

void TValveEvents::SaveCsvButClick() { SaveCsvWithDialog(this, FileDialogHook, CsvText(text_), files_); }

void TValveEvents::CloseButClick() { reject(); }

void TValveEvents::PrintButClick()
{
    QString title = QString::fromStdString(state_.display.DataSetName);
    if (!referenceRows_.empty() && ShowReference->isChecked())
        title = QString::fromStdString(state_.compare.ReferenceName);
    if (!referenceRows_.empty() && ShowDifference->isChecked())
        title += QStringLiteral(" − ") + QString::fromStdString(state_.compare.ReferenceName);
    PrintTextTable(this, CaptionHead().simplified() + QStringLiteral(" - ") + title,
                   QString::fromStdString(state_.display.DataSetName) + QStringLiteral("-valve-events"), text_,
                   {IsWordColumn, [this](size_t r) { return text_[r][1] == kNormalNotchText; }});
}
