#include "dialogs/TOptimise.h"

#include "analysis/BalanceText.h"
#include "dialogs/QtSearchRunner.h"
#include "drawing/CutOffPlot.h"
#include "drawing/DimensionEdit.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "qt/QtCanvas.h"
#include "qt/QtEditHooks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

namespace {

constexpr int kPlotWidth = 440, kPlotHeight = 190;

// The targets' check boxes, with their mnemonics.
const char* TargetText(int k)
{
    static const char* const texts[kDesignTargets] = {
        "Equal &leads, mid gear",
        "Equal cut-off, forward, &normal notch",
        "Equal cut-off, &reverse, normal notch",
        "Equal cut-off, forward, &every notch",
        "Equal cut-off, re&verse, every notch",
        "Full-&gear cut-off, forward, at least 75 %",
        "Full-gear cut-off, rever&se, at least 75 %",
    };
    return texts[k];
}

QLineEdit* NumberEdit(QWidget* parent, const QString& name, bool allowMinus)
{
    QLineEdit* e = NewNumberEdit(parent, name, allowMinus);
    e->setMaximumWidth(90);
    return e;
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

// A dimension's unit: degrees for the eccentric angle, else the design's.
std::string DimensionUnit(const Gear& g, int code) { return code == 6 ? "deg" : LengthUnitText(g.Unit); }

std::string CheckCell(const CheckLine& l)
{
    const std::string v = CheckValueText(l);
    return (v.empty() ? "" : v + " ") + (l.pass ? "PASS" : "FAIL");
}

} // namespace

TOptimise::TOptimise(AppState& state, TMainForm* mainForm, QWidget* parent)
    : TSearchWindow(CaptionHead(), parent), s_(state), main_(mainForm)
{
    setObjectName(QStringLiteral("OptimiseDesign"));
    setModal(true);

    auto* targets = new QGridLayout;
    targets->addWidget(new QLabel(QStringLiteral("Targets"), this), 0, 0);
    targets->addWidget(new QLabel(QStringLiteral("Weight"), this), 0, 1);
    for (int k = 0; k < kDesignTargets; ++k) {
        const QString word = Text(DesignTargetWord(static_cast<DesignTarget>(k))).replace('-', '_');
        auto* box = new QCheckBox(QString::fromUtf8(TargetText(k)), this);
        box->setObjectName(QStringLiteral("Target_") + word);
        QLineEdit* w = NumberEdit(this, QStringLiteral("Weight_") + word, false);
        w->setText(QStringLiteral("1"));
        w->setMaximumWidth(60);
        connect(box, &QCheckBox::toggled, w, &QWidget::setEnabled);
        box->setChecked(static_cast<DesignTarget>(k) == DesignTarget::CutOffForwardAll ||
                        static_cast<DesignTarget>(k) == DesignTarget::CutOffReverseAll);
        w->setEnabled(box->isChecked());
        targets->addWidget(box, k + 1, 0);
        targets->addWidget(w, k + 1, 1);
        TargetBox[static_cast<size_t>(k)] = box;
        WeightEdit[static_cast<size_t>(k)] = w;
    }

    auto* dims = new QGridLayout;
    dims->addWidget(new QLabel(QStringLiteral("Dimensions"), this), 0, 1);
    dims->addWidget(new QLabel(QStringLiteral("from"), this), 0, 2);
    dims->addWidget(new QLabel(QStringLiteral("to"), this), 0, 3);
    for (int k = 0; k < kMaxOptimiseDimensions; ++k) {
        const auto at = static_cast<size_t>(k);
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("Dimension%1").arg(k + 1));
        box->addItem(QStringLiteral("(none)"), 0);
        for (int code : BalanceDimensionCodes()) box->addItem(Text(BalanceDimensionLabel(code)), code);
        box->setMaxVisibleItems(23);
        box->setCurrentIndex(box->findData(k == 0 ? 20 : k == 1 ? 10 : 0));
        auto* label = new QLabel(QStringLiteral("&%1").arg(k + 1), this);
        label->setObjectName(QStringLiteral("DimensionLabel%1").arg(k + 1));
        label->setBuddy(box);
        DimensionBox[at] = box;
        LoEdit[at] = NumberEdit(this, QStringLiteral("Lo%1").arg(k + 1), true);
        HiEdit[at] = NumberEdit(this, QStringLiteral("Hi%1").arg(k + 1), true);
        dims->addWidget(label, k + 1, 0);
        dims->addWidget(box, k + 1, 1);
        dims->addWidget(LoEdit[at], k + 1, 2);
        dims->addWidget(HiEdit[at], k + 1, 3);
        connect(box, &QComboBox::currentIndexChanged, this, [this, k] { FillBounds(k); });
    }
    dims->setColumnStretch(1, 1);

    AddButton(FindBut, "FindBut", QStringLiteral("&Find"), &TOptimise::FindButClick);
    AddButton(StopBut, "StopBut", QStringLiteral("Sto&p"), &TOptimise::StopButClick);
    AddButton(ApplyBut, "ApplyBut", QStringLiteral("Appl&y"), &TOptimise::ApplyButClick);
    AddButton(CancelBut, "CancelBut", QStringLiteral("Cancel"), &TOptimise::CancelButClick);
    FindBut->setDefault(true);

    Progress = NewProgress();

    ResultGrid = new QTableWidget(this);
    ResultGrid->setObjectName(QStringLiteral("ResultGrid"));
    ResultGrid->setColumnCount(3);
    ResultGrid->setHorizontalHeaderLabels({QString(), QStringLiteral("Before"), QStringLiteral("After")});
    ResultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ResultGrid->verticalHeader()->hide();
    ResultGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ResultGrid->verticalHeader()->setDefaultSectionSize(ResultGrid->fontMetrics().height() + 6);
    ResultGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ResultGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ResultGrid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    ResultGrid->setWordWrap(false);

    CutOffPlot = new QLabel(this);
    CutOffPlot->setObjectName(QStringLiteral("CutOffPlot"));
    CutOffPlot->setFixedSize(kPlotWidth, kPlotHeight);

    ResultText = new QLabel(this);
    ResultText->setObjectName(QStringLiteral("ResultText"));
    ResultText->setWordWrap(true);
    ResultText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ResultText->setMinimumHeight(ResultText->fontMetrics().height() * 3);
    ResultText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* choose = new QHBoxLayout;
    choose->addLayout(targets);
    choose->addSpacing(12);
    choose->addLayout(dims, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FindBut);
    buttons->addWidget(StopBut);
    buttons->addWidget(Progress, 1);
    buttons->addWidget(ApplyBut);
    buttons->addWidget(CancelBut);
    auto* results = new QHBoxLayout;
    results->addWidget(ResultGrid, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(CutOffPlot);
    right->addWidget(ResultText, 1);
    results->addLayout(right);
    auto* box = new QVBoxLayout(this);
    box->addLayout(choose);
    box->addLayout(buttons);
    box->addLayout(results, 1);
    resize(1000, 720);

    for (int k = 0; k < kMaxOptimiseDimensions; ++k) FillBounds(k);
    SetBusy(false);
}

TOptimise::~TOptimise() { runner_->End(); }

QString TOptimise::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Optimise Design    "); }

bool TOptimise::Searching() const { return runner_->Running(); }

void TOptimise::FormActivate()
{
    runner_->End();
    for (int k = 0; k < kMaxOptimiseDimensions; ++k) FillBounds(k);
    result_ = OptimiseResult{};
    goals_ = OptimiseGoals{};
    tableBefore_.clear();
    tableAfter_.clear();
    checkBefore_ = checkAfter_ = DesignCheckResult{};
    ResultGrid->setRowCount(0);
    ResultText->clear();
    ShowPlot();
    Progress->setValue(0);
    SetBusy(false);
    TargetBox[0]->setFocus(Qt::OtherFocusReason);
}

void TOptimise::ChooseDimension(int code)
{
    for (size_t k = 1; k < DimensionBox.size(); ++k)
        if (DimensionBox[k]->currentData().toInt() == code) DimensionBox[k]->setCurrentIndex(0);
    DimensionBox[0]->setCurrentIndex(DimensionBox[0]->findData(code));
}

void TOptimise::FillBounds(int row)
{
    const auto at = static_cast<size_t>(row);
    const int code = DimensionBox[at]->currentData().toInt();
    if (code == 0) {
        LoEdit[at]->clear();
        HiEdit[at]->clear();
    } else {
        const OptimiseDimension d = DefaultOptimiseDimension(s_.gear, code);
        LoEdit[at]->setText(Text(BoundFieldText(d.lo)));
        HiEdit[at]->setText(Text(BoundFieldText(d.hi)));
    }
    SetBusy(Searching());
}

bool TOptimise::ReadGoals(OptimiseGoals& goals, std::string& error) const
{
    goals = OptimiseGoals{};
    for (int k = 0; k < kDesignTargets; ++k)
        if (TargetBox[static_cast<size_t>(k)]->isChecked())
            goals.targets.push_back(
                {static_cast<DesignTarget>(k), FieldValue(WeightEdit[static_cast<size_t>(k)]->text().toStdString())});
    for (size_t k = 0; k < static_cast<size_t>(kMaxOptimiseDimensions); ++k) {
        const int code = DimensionBox[k]->currentData().toInt();
        if (code == 0) continue;
        goals.dimensions.push_back(
            {code, FieldValue(LoEdit[k]->text().toStdString()), FieldValue(HiEdit[k]->text().toStdString())});
    }
    error = CheckOptimiseGoals(goals);
    return error.empty();
}

void TOptimise::FindButClick()
{
    if (Searching()) return;
    OptimiseGoals goals;
    std::string error;
    result_ = OptimiseResult{};
    ResultGrid->setRowCount(0);
    if (!ReadGoals(goals, error)) {
        ResultText->setText(Text(error));
        SetBusy(false);
        return;
    }
    goals_ = goals;
    searched_ = s_.gear;
    ResultText->setText(QStringLiteral("Searching…"));
    Progress->setValue(0);
    SetBusy(true);
    runner_->Start(
        [this, design = searched_, goals](BalanceControl& control) {
            Found f;
            try {
                f.result = OptimiseDesign(design, goals, &control);
                f.tableBefore = BuildValveEventsTable(design);
                f.checkBefore = CheckDesign(design, f.tableBefore, DefaultCheckLimits());
                if (f.result.Improved()) {
                    const Gear after = TrialDesign(design, f.result.values);
                    f.tableAfter = BuildValveEventsTable(after);
                    f.checkAfter = CheckDesign(after, f.tableAfter, DefaultCheckLimits());
                }
            } catch (const std::exception& e) {
                f = Found{};
                f.result.error = std::string("The search failed: ") + e.what();
            }
            pending_ = std::move(f);
        },
        [this](int progress) { Progress->setValue(progress); }, [this] { SearchDone(); });
}

void TOptimise::SearchDone()
{
    result_ = std::move(pending_.result);
    tableBefore_ = std::move(pending_.tableBefore);
    tableAfter_ = std::move(pending_.tableAfter);
    checkBefore_ = std::move(pending_.checkBefore);
    checkAfter_ = std::move(pending_.checkAfter);
    ShowResult();
    SetBusy(false);
    (ApplyBut->isEnabled() ? ApplyBut : FindBut)->setFocus(Qt::OtherFocusReason);
}

void TOptimise::StopButClick() { runner_->Stop(); }

void TOptimise::ShowResult()
{
    std::vector<std::array<std::string, 3>> rows;
    const bool after = result_.Improved();
    for (size_t j = 0; j < goals_.dimensions.size(); ++j) {
        const int code = goals_.dimensions[j].code;
        rows.push_back({BalanceDimensionLabel(code) + " (" + DimensionUnit(searched_, code) + ")",
                        BalanceValueText(GetDimension(searched_, code)),
                        after ? BalanceValueText(result_.values[j].value) : ""});
    }
    const bool measured = !result_.before.targets.empty();
    if (measured) {
        rows.push_back({"Objective", DecimalText(result_.before.objective, 6),
                        after ? DecimalText(result_.after.objective, 6) : ""});
        for (size_t k = 0; k < goals_.targets.size(); ++k) {
            const DesignTarget t = goals_.targets[k].target;
            rows.push_back({DesignTargetCaption(t) + ": rms (" + DesignTargetUnit(t) + ")",
                            DecimalText(result_.before.targets[k].Rms(), 4),
                            after ? DecimalText(result_.after.targets[k].Rms(), 4) : ""});
        }
        for (size_t k = 0; k < goals_.targets.size(); ++k) {
            const TargetResiduals& b = result_.before.targets[k];
            for (const Residual& r : b.rows) {
                std::string a;
                if (after)
                    for (const Residual& x : result_.after.targets[k].rows)
                        if (x.running == r.running && x.notch == r.notch && x.end == r.end) a = DecimalText(x.value, 4);
                rows.push_back({"   " + DesignTargetWord(b.target.target) + ", " + ResidualRowText(r),
                                DecimalText(r.value, 4), a});
            }
        }
    }
    for (size_t k = 0; k < checkBefore_.lines.size(); ++k) {
        const CheckLine& l = checkBefore_.lines[k];
        rows.push_back({"Check: " + CheckRuleCaption(l.rule) + ", " + CheckDirectionWord(l.direction), CheckCell(l),
                        k < checkAfter_.lines.size() ? CheckCell(checkAfter_.lines[k]) : ""});
    }
    ResultGrid->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 3; ++c) {
            const std::string& cell = rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
            auto* item = new QTableWidgetItem(Text(cell));
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c > 0 && cell.size() >= 4 && cell.compare(cell.size() - 4, 4, "FAIL") == 0)
                item->setForeground(QColor(160, 0, 0));
            if (c > 0 && cell.size() >= 4 && cell.compare(cell.size() - 4, 4, "PASS") == 0)
                item->setForeground(QColor(0, 110, 0));
            ResultGrid->setItem(r, c, item);
        }
    ShowPlot();

    QString text;
    switch (result_.outcome) {
    case OptimiseOutcome::Improved:
        text = QStringLiteral("Improved: the objective falls from %1 to %2 in %3 trials.")
                   .arg(Text(DecimalText(result_.before.objective, 4)), Text(DecimalText(result_.after.objective, 4)))
                   .arg(result_.trials);
        if (Changes().empty()) text += QStringLiteral(" The design has these values already.");
        break;
    case OptimiseOutcome::NoImprovement:
        text = QStringLiteral("No design within the bounds that can be assembled is better than the design as it is.");
        break;
    case OptimiseOutcome::Stopped: text = QStringLiteral("Stopped before a result was found."); break;
    case OptimiseOutcome::Infeasible:
    case OptimiseOutcome::Invalid: text = Text(result_.error); break;
    }
    if (result_.clampsMet)
        text += QStringLiteral(" Some values tried could not be assembled or lost a cut-off; they were skipped.");
    for (const DimensionValue& v : Changes())
        if (v.code == 21 || v.code == 22)
            text += QStringLiteral(" As in the dimension dialogs, \"UnDo\" does not take back %1.")
                        .arg(Text(BalanceDimensionLabel(v.code)));
    ResultText->setText(text);
}

void TOptimise::ShowPlot()
{
    QImage image(kPlotWidth, kPlotHeight, QImage::Format_RGB32);
    {
        QtCanvas canvas(image);
        DrawCutOffPlot(canvas, kPlotWidth, kPlotHeight, tableBefore_, tableAfter_);
    }
    CutOffPlot->setPixmap(QPixmap::fromImage(image));
}

std::vector<DimensionValue> TOptimise::Changes() const
{
    std::vector<DimensionValue> changes;
    if (!result_.Improved()) return changes;
    for (const DimensionValue& v : result_.values)
        if (GetDimension(s_.gear, v.code) != v.value) changes.push_back(v);
    return changes;
}

void TOptimise::SetBusy(bool busy)
{
    for (size_t k = 0; k < TargetBox.size(); ++k) {
        TargetBox[k]->setEnabled(!busy);
        WeightEdit[k]->setEnabled(!busy && TargetBox[k]->isChecked());
    }
    for (size_t k = 0; k < DimensionBox.size(); ++k) {
        DimensionBox[k]->setEnabled(!busy);
        const bool chosen = DimensionBox[k]->currentData().toInt() != 0;
        LoEdit[k]->setEnabled(!busy && chosen);
        HiEdit[k]->setEnabled(!busy && chosen);
    }
    FindBut->setEnabled(!busy);
    StopBut->setEnabled(busy);
    ApplyBut->setEnabled(!busy && !Changes().empty());
    if (busy) StopBut->setFocus(Qt::OtherFocusReason);
}

void TOptimise::ApplyButClick()
{
    if (Searching()) return;
    const std::vector<DimensionValue> changes = Changes();
    if (changes.empty()) return;
    ApplyFoundValues(s_, main_, changes);
    accept();
}

void TOptimise::CancelButClick() { reject(); }
