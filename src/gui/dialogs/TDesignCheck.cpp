#include "dialogs/TDesignCheck.h"

#include "dialogs/QtSearchRunner.h"
#include "drawing/DimensionEdit.h"
#include "model/DesignEdit.h"
#include "model/EngineData.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// How often the window compares the design with the one it measured (ms).
constexpr int kWatchMs = 100;

enum Column : int { colRule, colDirection, colValue, colLimit, colResult, colWhere, kColumns };

} // namespace

TDesignCheck::TDesignCheck(AppState& state, DesignSession* designSession, QWidget* parent)
    : TSearchWindow(CaptionHead(), parent), s_(state)
{
    (void)designSession;
    setObjectName(QStringLiteral("DesignCheck"));
    setModal(false);

    auto* limits = new QGridLayout;
    const CheckLimits defaults = DefaultCheckLimits();
    for (int k = 1; k < kCheckRules; ++k) {
        const auto rule = static_cast<CheckRule>(k);
        auto* e = new QLineEdit(QString::fromStdString(BoundFieldText(defaults[static_cast<size_t>(k)])), this);
        e->setObjectName(QStringLiteral("Limit_") + QString::fromStdString(CheckRuleWord(rule)).replace('-', '_'));
        e->setContextMenuPolicy(Qt::NoContextMenu);
        e->setAcceptDrops(false);
        e->setMaximumWidth(70);
        connect(e, &QLineEdit::textChanged, this, &TDesignCheck::LimitsChanged);
        auto* l = new QLabel(QString::fromStdString(CheckRuleLimitLabel(rule)), this);
        l->setObjectName(QStringLiteral("LimitLabel_") + e->objectName().mid(6));
        l->setBuddy(e);
        const int row = (k - 1) / 2, col = (k - 1) % 2 * 2;
        limits->addWidget(l, row, col);
        limits->addWidget(e, row, col + 1);
        LimitEdit[static_cast<size_t>(k)] = e;
    }
    limits->setColumnStretch(0, 1);
    limits->setColumnStretch(2, 1);

    CheckGrid = new QTableWidget(this);
    CheckGrid->setObjectName(QStringLiteral("CheckGrid"));
    CheckGrid->setColumnCount(kColumns);
    CheckGrid->setHorizontalHeaderLabels({QStringLiteral("Rule"), QStringLiteral("Direction"), QStringLiteral("Value"),
                                          QStringLiteral("Limit"), QStringLiteral("Result"),
                                          QStringLiteral("Worst at")});
    CheckGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CheckGrid->verticalHeader()->hide();
    CheckGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    CheckGrid->verticalHeader()->setDefaultSectionSize(CheckGrid->fontMetrics().height() + 6);
    // Every column as wide as its texts; "Worst at" also takes what is left.
    CheckGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    CheckGrid->horizontalHeader()->setStretchLastSection(true);
    CheckGrid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    CheckGrid->setWordWrap(false);

    CheckText = new QLabel(this);
    CheckText->setObjectName(QStringLiteral("CheckText"));
    CloseBut = new QPushButton(QStringLiteral("&Close"), this);
    CloseBut->setObjectName(QStringLiteral("CloseBut"));
    CloseBut->setAutoDefault(false);
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CheckText, 1);
    bottom->addWidget(CloseBut);
    auto* box = new QVBoxLayout(this);
    box->addLayout(limits);
    box->addWidget(CheckGrid, 1);
    box->addLayout(bottom);
    resize(820, 470);

    watch_ = new QTimer(this);
    watch_->setInterval(kWatchMs);
    connect(watch_, &QTimer::timeout, this, &TDesignCheck::WatchDesign);
}

QString TDesignCheck::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Design Check    "); }

std::vector<float> TDesignCheck::DesignSnapshot(const Gear& g)
{
    std::vector<float> v = DimensionValues(g);
    v.insert(v.end(), g.RevArm.begin(), g.RevArm.end());
    v.push_back(g.RevArmPos);
    v.push_back(static_cast<float>(g.Unit));
    // The engine rules follow the engine data.
    v.push_back(g.HasEngine ? 1.0f : 0.0f);
    for (int k = 0; g.HasEngine && k < kEngineValueCount; ++k) v.push_back(GetEngineValue(g.Engine, k));
    return v;
}

bool TDesignCheck::Measuring() const { return runner_->Running() || measured_ != DesignSnapshot(s_.gear); }

void TDesignCheck::hideEvent(QHideEvent* e)
{
    watch_->stop();
    measured_.clear();
    TSearchWindow::hideEvent(e);
}

void TDesignCheck::FormActivate()
{
    measured_.clear();
    WatchDesign();
    watch_->start();
}

void TDesignCheck::WatchDesign()
{
    if (runner_->Running() || measured_ == DesignSnapshot(s_.gear)) return;
    StartMeasure();
}

void TDesignCheck::StartMeasure()
{
    measured_ = DesignSnapshot(s_.gear);
    const Gear design = s_.gear;
    CheckText->setText(QStringLiteral("Measuring the valve events…"));
    runner_->Run<Measured>(
        [design](BalanceControl&) {
            Measured m;
            m.table = BuildValveEventsTable(design);
            m.engine = MeasureEngineCheck(design, m.table);
            return m;
        },
        {}, [this, design](Measured&& measured) { MeasureDone(design, std::move(measured)); });
}

void TDesignCheck::MeasureDone(const Gear& design, Measured&& measured)
{
    checked_ = design;
    table_ = std::move(measured.table);
    engine_ = std::move(measured.engine);
    ShowResult();
    // The design changed while it was measured: again.
    WatchDesign();
}

bool TDesignCheck::ReadLimits(CheckLimits& limits, std::string& why) const
{
    // Each field whole: a text that is no number is said so, never read in part.
    limits = DefaultCheckLimits();
    for (int k = 1; k < kCheckRules; ++k)
        if (!ReadFieldNumber("The limit of " + CheckRuleCaption(static_cast<CheckRule>(k)),
                             LimitEdit[static_cast<size_t>(k)]->text().toStdString(), limits[static_cast<size_t>(k)],
                             why))
            return false;
    return true;
}

void TDesignCheck::LimitsChanged()
{
    if (!table_.empty()) ShowResult();
}

void TDesignCheck::ShowResult()
{
    CheckLimits limits;
    std::string why;
    const bool read = ReadLimits(limits, why);
    CheckText->setStyleSheet(read ? QString() : QStringLiteral("color: #b00000;"));
    if (!read) {
        // No verdicts against limits that are not shown.
        result_ = DesignCheckResult{};
        CheckGrid->setRowCount(0);
        CheckText->setText(QString::fromStdString(why));
        return;
    }
    result_ = CheckDesign(checked_, table_, limits, engine_);
    CheckGrid->setRowCount(static_cast<int>(result_.lines.size()));
    int failed = 0;
    for (int r = 0; r < static_cast<int>(result_.lines.size()); ++r) {
        const CheckLine& l = result_.lines[static_cast<size_t>(r)];
        failed += l.pass ? 0 : 1;
        const QString rule = QString::fromStdString(CheckRuleCaption(l.rule) + " (" + CheckRuleUnit(l.rule) + ")");
        const QString limit =
            QString::fromUtf8(CheckRuleIsLeast(l.rule) ? "≥ " : "≤ ") + QString::fromStdString(CheckLimitText(l));
        const QString cells[kColumns] = {
            rule,  QString::fromStdString(CheckDirectionWord(l.direction)),  QString::fromStdString(CheckValueText(l)),
            limit, l.pass ? QStringLiteral("PASS") : QStringLiteral("FAIL"), QString::fromStdString(l.where)};
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == colValue || c == colLimit) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == colResult) {
                item->setTextAlignment(Qt::AlignCenter);
                item->setBackground(l.pass ? QColor(200, 240, 200) : QColor(250, 190, 190));
                item->setForeground(l.pass ? QColor(0, 100, 0) : QColor(160, 0, 0));
            }
            CheckGrid->setItem(r, c, item);
        }
    }
    CheckText->setText(failed == 0 ? QStringLiteral("Every rule passes.")
                                   : QStringLiteral("%1 of %2 lines fail.").arg(failed).arg(result_.lines.size()));
    FitColumns();
}

void TDesignCheck::FitColumns()
{
    // The columns' widths for their texts; the window grows (within the
    // screen) when the grid cannot show them all, so no text is cut.
    QHeaderView* header = CheckGrid->horizontalHeader();
    header->setStretchLastSection(false); // every column at the width of its texts
    const int wanted = header->length();
    header->setStretchLastSection(true);
    const int missing = wanted - CheckGrid->viewport()->width();
    if (missing <= 0) return;
    int room = missing;
    if (const QScreen* screen = this->screen()) room = std::min(room, screen->availableGeometry().width() - width());
    if (room > 0) resize(width() + room, height());
}
