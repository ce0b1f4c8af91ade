#include "dialogs/TSensitivity.h"

#include "analysis/DesignCheck.h"
#include "analysis/ValveEventsTable.h"
#include "dialogs/QtSearchRunner.h"
#include "dialogs/TBalance.h"
#include "dialogs/TOptimise.h"
#include "drawing/EffectBar.h"
#include "model/DesignEdit.h"
#include "model/NumberText.h"
#include "qt/QtCanvas.h"
#include "qt/QtEditHooks.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The bar's part of a figure's cell (pixels), and the role of its share.
constexpr int kBarWidth = 48;
constexpr int kShareRole = Qt::UserRole + 1;

// Of a table of `columns` columns (the notes last).
bool IsFigureColumn(int column, int columns) { return column >= kSensitivityDifferenceColumn && column < columns - 1; }
bool IsWordColumn(int column, int columns) { return column == 0 || column == columns - 1; }

// Paints the bar of a figure's share in the left part of its cell.
class EffectBarDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant share = index.data(kShareRole);
        if (!share.isValid()) return;
        painter->save();
        painter->translate(option.rect.topLeft());
        {
            QtCanvas c(*painter, 1, kBarWidth, option.rect.height());
            DrawEffectBar(c, kBarWidth, option.rect.height(), share.toFloat());
        }
        painter->restore();
    }
};

QString Text(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TSensitivity::TSensitivity(AppState& state, DesignSession* designSession, QWidget* parent, FileSystem& files)
    : TSearchWindow(CaptionHead(), parent), s_(state), files_(files)
{
    setObjectName(QStringLiteral("Sensitivity"));
    setModal(true);

    NotchBox = new QComboBox(this);
    NotchBox->setObjectName(QStringLiteral("NotchBox"));
    NotchBox->addItem(QString::fromLatin1(kNormalNotchText), kNormalNotch);
    for (int n = 0; n < kGraphNotches; ++n) NotchBox->addItem(QString::number(n), n);
    NotchBox->setMaxVisibleItems(kGraphNotches + 1);
    DirectionBox = new QComboBox(this);
    DirectionBox->setObjectName(QStringLiteral("DirectionBox"));
    DirectionBox->addItem(QStringLiteral("Forward"), static_cast<int>(Running::Forward));
    DirectionBox->addItem(QStringLiteral("Reverse"), static_cast<int>(Running::Reverse));
    auto label = [this](const char* name, const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        return l;
    };
    connect(NotchBox, &QComboBox::currentIndexChanged, this, &TSensitivity::RowChanged);
    connect(DirectionBox, &QComboBox::currentIndexChanged, this, &TSensitivity::RowChanged);
    // The engine's speed: shown for a design with engine data; power and
    // steam rate are measured at it (an empty field: none).
    SpeedEdit = NewNumberEdit(this, QStringLiteral("SpeedEdit"));
    SpeedEdit->setText(QStringLiteral("120"));
    SpeedEdit->setMaximumWidth(60);
    SpeedEdit->setToolTip(QStringLiteral("Power and steam rate at this speed, rpm (empty: none)"));
    connect(SpeedEdit, &QLineEdit::editingFinished, this, &TSensitivity::RowChanged);

    EffectGrid = NewTextGrid(this, QStringLiteral("EffectGrid"));
    EffectGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    EffectGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    EffectGrid->setColumnCount(kSensitivityColumns);
    EffectGrid->setItemDelegate(new EffectBarDelegate(EffectGrid));
    EffectGrid->horizontalHeader()->setSectionsClickable(true);
    EffectGrid->horizontalHeader()->setSortIndicatorShown(true);
    connect(EffectGrid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TSensitivity::SortBy);
    connect(EffectGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        EffectGrid->selectRow(row);
        OpenSelected(true);
    });

    SummaryText = new QLabel(this);
    SummaryText->setObjectName(QStringLiteral("SummaryText"));
    SummaryText->setWordWrap(true);
    SummaryText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    AddButton(BalanceBut, "BalanceBut", QStringLiteral("&Balance…"), &TSensitivity::BalanceButClick);
    AddButton(OptimiseBut, "OptimiseBut", QStringLiteral("&Optimise…"), &TSensitivity::OptimiseButClick);
    AddButton(CopyBut, "CopyBut", QStringLiteral("&Copy"), &TSensitivity::CopyButClick);
    AddButton(SaveCsvBut, "SaveCsvBut", QStringLiteral("&Save CSV…"), &TSensitivity::SaveCsvButClick);
    AddButton(PrintBut, "PrintBut", QStringLiteral("&Print…"), &TSensitivity::PrintButClick);
    AddButton(CloseBut, "CloseBut", QStringLiteral("Close"), &TSensitivity::CloseButClick);
    auto* print = new QShortcut(QKeySequence::Print, this);
    print->setObjectName(QStringLiteral("PrintShortcut"));
    connect(print, &QShortcut::activated, this, &TSensitivity::PrintButClick);

    auto* row = new QHBoxLayout;
    row->addWidget(label("NotchLabel", QStringLiteral("&Notch"), NotchBox));
    row->addWidget(NotchBox);
    row->addSpacing(12);
    row->addWidget(label("DirectionLabel", QStringLiteral("&Direction"), DirectionBox));
    row->addWidget(DirectionBox);
    SpeedLabel = label("SpeedLabel", QStringLiteral("&Engine at, rpm"), SpeedEdit);
    SpeedSpace = new QWidget(this);
    SpeedSpace->setFixedWidth(12);
    row->addWidget(SpeedSpace);
    row->addWidget(SpeedLabel);
    row->addWidget(SpeedEdit);
    for (QWidget* w : {SpeedSpace, static_cast<QWidget*>(SpeedLabel), static_cast<QWidget*>(SpeedEdit)}) w->hide();
    row->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BalanceBut);
    buttons->addWidget(OptimiseBut);
    buttons->addStretch(1);
    buttons->addWidget(CopyBut);
    buttons->addWidget(SaveCsvBut);
    buttons->addWidget(PrintBut);
    buttons->addWidget(CloseBut);
    auto* box = new QVBoxLayout(this);
    box->addLayout(row);
    box->addWidget(EffectGrid, 1);
    box->addWidget(SummaryText);
    box->addLayout(buttons);
    resize(1180, 720);
}

QString TSensitivity::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Sensitivity    "); }

bool TSensitivity::Measuring() const { return runner_->Running(); }

int TSensitivity::DimensionAt(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < order_.size() ? result_.effects[order_[static_cast<size_t>(row)]].code
                                                                : 0;
}

void TSensitivity::FormActivate()
{
    const bool engine = s_.gear.HasEngine;
    for (QWidget* w : {SpeedSpace, static_cast<QWidget*>(SpeedLabel), static_cast<QWidget*>(SpeedEdit)})
        w->setVisible(engine);
    StartMeasure();
    EffectGrid->setFocus(Qt::OtherFocusReason);
}

void TSensitivity::RowChanged()
{
    if (isVisible()) StartMeasure();
}

void TSensitivity::StartMeasure()
{
    measured_ = s_.gear;
    EventsRow row;
    row.notch = NotchBox->currentData().toInt();
    row.running = static_cast<Running>(DirectionBox->currentData().toInt());
    long double rpm = 0;
    if (!measured_.HasEngine || !ReadTypedNumber(SpeedEdit->text().toStdString(), rpm) || !(rpm > 0)) rpm = 0;
    SummaryText->setText(QStringLiteral("Measuring…"));
    runner_->Run<SensitivityResult>(
        [design = measured_, row, rpm](BalanceControl& control) {
            return MeasureSensitivity(design, row, &control, ThreadPool::Shared(), static_cast<double>(rpm));
        },
        {},
        [this](SensitivityResult&& r) {
            result_ = std::move(r);
            ShowResult();
        });
}

void TSensitivity::SortBy(int column)
{
    descending_ = column == sortColumn_ ? !descending_ : column >= kSensitivityDifferenceColumn;
    sortColumn_ = column;
    ShowResult();
}

void TSensitivity::ShowResult()
{
    const int columns = SensitivityColumns(result_);
    const bool engine = columns > kSensitivityColumns;
    if (sortColumn_ >= columns) sortColumn_ = kSensitivityDifferenceColumn;
    order_ = SensitivityOrder(result_, sortColumn_, descending_);
    text_ = {SensitivityTableHeader(measured_, engine)};
    for (size_t k : order_) text_.push_back(SensitivityTableCells(result_.effects[k], engine));

    QStringList headers;
    for (const std::string& h : text_[0]) headers << Text(h).replace(QStringLiteral(" ("), QStringLiteral("\n("));
    EffectGrid->setUpdatesEnabled(false);
    EffectGrid->clearContents();
    EffectGrid->setColumnCount(columns);
    EffectGrid->setHorizontalHeaderLabels(headers);
    EffectGrid->setRowCount(static_cast<int>(order_.size()));
    std::vector<float> largest(static_cast<size_t>(columns), 0);
    for (int c = 0; c < columns; ++c) largest[static_cast<size_t>(c)] = LargestEffect(result_, c);
    for (size_t r = 0; r < order_.size(); ++r) {
        const DimensionEffect& e = result_.effects[order_[r]];
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem(Text(text_[r + 1][static_cast<size_t>(c)]));
            item->setTextAlignment(IsWordColumn(c, columns) ? Qt::AlignLeft | Qt::AlignVCenter
                                                            : Qt::AlignRight | Qt::AlignVCenter);
            float v = 0;
            if (IsFigureColumn(c, columns) && EffectInColumn(e, c, v) && largest[static_cast<size_t>(c)] > 0)
                item->setData(kShareRole, static_cast<double>(v) / largest[static_cast<size_t>(c)]);
            EffectGrid->setItem(static_cast<int>(r), c, item);
        }
    }
    EffectGrid->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c)
        if (IsFigureColumn(c, columns))
            EffectGrid->horizontalHeader()->resizeSection(c,
                                                          EffectGrid->horizontalHeader()->sectionSize(c) + kBarWidth);
    EffectGrid->horizontalHeader()->setSortIndicator(sortColumn_,
                                                     descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    EffectGrid->setUpdatesEnabled(true);

    const std::string unit = LengthUnitText(measured_.Unit);
    QString text;
    if (result_.stopped) {
        text = QStringLiteral("Stopped.");
    } else if (result_.nominalClamped) {
        text = QStringLiteral("The gear cannot be assembled at the %1: no figures.")
                   .arg(Text(NotchRowText(result_.row.running, result_.row.notch)));
    } else {
        text = QStringLiteral("The %1 (reverse arm at %2 %3): the change of each figure per unit of each dimension "
                              "(%3 for the lengths, degrees for the eccentric angle), from trials %4 %3 and %5 degree "
                              "apart (twice that for the extrapolation).")
                   .arg(Text(NotchRowText(result_.row.running, result_.row.notch)),
                        Text(DecimalText(RowPosition(measured_, result_.row), 4)), Text(unit),
                        Text(ShortestText(SensitivityStep(measured_, 1))), Text(ShortestText(kAngleStep)));
        int marked = 0;
        for (const DimensionEffect& e : result_.effects) marked += !EffectNotes(e).empty();
        if (result_.engineRpm > 0)
            text += QStringLiteral(" Power and steam rate at %1 rpm, the steam performance model on the design's "
                                   "engine data.")
                        .arg(Text(DecimalText(result_.engineRpm, 1)));
        if (marked > 0) text += QStringLiteral(" Dimensions with figures missing: %1 (see Notes).").arg(marked);
    }
    SummaryText->setText(text);
    const bool rows = !order_.empty();
    for (QPushButton* b : {BalanceBut, OptimiseBut, CopyBut, SaveCsvBut, PrintBut}) b->setEnabled(rows);
    if (rows && EffectGrid->currentRow() < 0) EffectGrid->selectRow(0);
}

void TSensitivity::CopyButClick() { CopyTableToClipboard(TabSeparatedText(text_)); }

// The command line's CSV (--sensitivity): one format for a row's effects.
void TSensitivity::SaveCsvButClick()
{
    if (!order_.empty())
        SaveCsvWithDialog(this, FileDialogHook, CsvText(SensitivityCsvRows(measured_, result_)), files_);
}

void TSensitivity::PrintButClick()
{
    if (text_.size() < 2) return;
    const QString name = Text(s_.display.DataSetName);
    PrintTextTable(this,
                   CaptionHead().simplified() + QStringLiteral(" - ") + name + QStringLiteral(" - ") +
                       Text(NotchRowText(result_.row.running, result_.row.notch)),
                   name + QStringLiteral("-sensitivity"), text_,
                   {[columns = SensitivityColumns(result_)](int c) { return IsWordColumn(c, columns); }, {}});
}

void TSensitivity::SetPartners(TBalance* balance, TOptimise* optimise)
{
    balance_ = balance;
    optimise_ = optimise;
}

void TSensitivity::BalanceButClick() { OpenSelected(true); }

void TSensitivity::OptimiseButClick() { OpenSelected(false); }

void TSensitivity::OpenSelected(bool balance)
{
    const int code = DimensionAt(EffectGrid->currentRow());
    if (code == 0) return;
    // A lead column asks for equal leads, any other for equal cut-off in the
    // row's direction.
    const int q = sortColumn_ - kSensitivityFirstFigureColumn;
    const BalanceTarget target = q == eqLeadFront || q == eqLeadRear       ? BalanceTarget::Lead
                                 : result_.row.running == Running::Forward ? BalanceTarget::CutOffForward
                                                                           : BalanceTarget::CutOffReverse;
    QTimer::singleShot(0, this, [this, balance, code, target] {
        QDialog* d = nullptr;
        if (balance && balance_) {
            balance_->ChooseDimension(code, target);
            d = balance_;
        } else if (!balance && optimise_) {
            optimise_->ChooseDimension(code);
            d = optimise_;
        }
        if (!d || d->isVisible()) return;
        d->exec();
        if (isVisible()) StartMeasure(); // the design may have changed
    });
}

void TSensitivity::CloseButClick() { reject(); }
