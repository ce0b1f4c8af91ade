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
        "Equal &mean effective pressure, normal notch",
        "More po&wer, normal notch, its cut-off kept",
        "Less s&team per power, normal notch, its cut-off kept",
        "Equal mean effective pressure, f&orward, every notch",
        "Equal mean effective pressure, reverse, every notc&h",
    };
    return texts[k];
}

QLineEdit* NumberEdit(QWidget* parent, const QString& name)
{
    QLineEdit* e = NewNumberEdit(parent, name);
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

TOptimise::TOptimise(AppState& state, DesignSession* designSession, QWidget* parent)
    : TDesignSearch(CaptionHead(), state, designSession, parent)
{
    setObjectName(QStringLiteral("OptimiseDesign"));
    setModal(true);

    auto* targets = new QGridLayout;
    targets->addWidget(new QLabel(QStringLiteral("Targets"), this), 0, 0);
    targets->addWidget(new QLabel(QStringLiteral("Weight"), this), 0, 1);
    SpeedLabel = new QLabel(QStringLiteral("rpm"), this);
    SpeedLabel->setObjectName(QStringLiteral("SpeedLabel"));
    targets->addWidget(SpeedLabel, 0, 2);
    for (int k = 0; k < kDesignTargets; ++k) {
        const QString word = Text(DesignTargetWord(static_cast<DesignTarget>(k))).replace('-', '_');
        auto* box = new QCheckBox(QString::fromUtf8(TargetText(k)), this);
        box->setObjectName(QStringLiteral("Target_") + word);
        QLineEdit* w = NumberEdit(this, QStringLiteral("Weight_") + word);
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
        if (IsEngineTarget(static_cast<DesignTarget>(k))) {
            QLineEdit* rpm = NumberEdit(this, QStringLiteral("Speed_") + word);
            rpm->setText(QStringLiteral("120"));
            rpm->setMaximumWidth(60);
            rpm->setToolTip(QStringLiteral("The speed of the target, rpm"));
            connect(box, &QCheckBox::toggled, rpm, &QWidget::setEnabled);
            rpm->setEnabled(false);
            targets->addWidget(rpm, k + 1, 2);
            SpeedEdit[static_cast<size_t>(k)] = rpm;
        }
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
        LoEdit[at] = NumberEdit(this, QStringLiteral("Lo%1").arg(k + 1));
        HiEdit[at] = NumberEdit(this, QStringLiteral("Hi%1").arg(k + 1));
        dims->addWidget(label, k + 1, 0);
        dims->addWidget(box, k + 1, 1);
        dims->addWidget(LoEdit[at], k + 1, 2);
        dims->addWidget(HiEdit[at], k + 1, 3);
        connect(box, &QComboBox::currentIndexChanged, this, [this, k] { FillBounds(k); });
    }
    dims->setColumnStretch(1, 1);

    CutOffPlot = new QLabel(this);
    CutOffPlot->setObjectName(QStringLiteral("CutOffPlot"));
    CutOffPlot->setFixedSize(kPlotWidth, kPlotHeight);

    auto* choose = new QHBoxLayout;
    choose->addLayout(targets);
    choose->addSpacing(12);
    choose->addLayout(dims, 1);
    auto* results = new QHBoxLayout;
    results->addWidget(ResultGrid, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(CutOffPlot);
    right->addWidget(ResultText, 1);
    results->addLayout(right);
    auto* box = new QVBoxLayout(this);
    box->addLayout(choose);
    box->addLayout(ButtonRow());
    box->addLayout(results, 1);
    resize(1000, 720);

    // The keyboard's order: the targets, the dimensions, the buttons, the result.
    QWidget* previous = nullptr;
    const auto chain = [&previous, this](QWidget* w) {
        if (previous) setTabOrder(previous, w);
        previous = w;
    };
    for (int k = 0; k < kDesignTargets; ++k) {
        chain(TargetBox[static_cast<size_t>(k)]);
        chain(WeightEdit[static_cast<size_t>(k)]);
        if (SpeedEdit[static_cast<size_t>(k)]) chain(SpeedEdit[static_cast<size_t>(k)]);
    }
    for (int k = 0; k < kMaxOptimiseDimensions; ++k) {
        chain(DimensionBox[static_cast<size_t>(k)]);
        chain(LoEdit[static_cast<size_t>(k)]);
        chain(HiEdit[static_cast<size_t>(k)]);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{FindBut, StopBut, ApplyBut, CancelBut, ResultGrid}) chain(w);

    for (int k = 0; k < kMaxOptimiseDimensions; ++k) FillBounds(k);
    ShowEngineTargets();
    SetBusy(false);
}

void TOptimise::ShowEngineTargets()
{
    const bool engine = s_.gear.HasEngine;
    SpeedLabel->setVisible(engine);
    for (int k = 0; k < kDesignTargets; ++k) {
        const auto at = static_cast<size_t>(k);
        if (!SpeedEdit[at]) continue;
        if (!engine) TargetBox[at]->setChecked(false);
        TargetBox[at]->setVisible(engine);
        WeightEdit[at]->setVisible(engine);
        SpeedEdit[at]->setVisible(engine);
    }
}

QString TOptimise::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Optimise Design    "); }

void TOptimise::FormActivate()
{
    for (int k = 0; k < kMaxOptimiseDimensions; ++k) FillBounds(k);
    ShowEngineTargets();
    found_ = OptimiseReport{};
    goals_ = OptimiseGoals{};
    earlierBests_.clear();
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
    // Each field whole: a text that is no number is said so, never read in part.
    const auto read = [&error](QLineEdit* e, const std::string& what, float& v) {
        const bool ok = ReadFieldNumber(what, e->text().toStdString(), v, error);
        if (!ok) e->setFocus(Qt::OtherFocusReason);
        return ok;
    };
    for (int k = 0; k < kDesignTargets; ++k) {
        if (!TargetBox[static_cast<size_t>(k)]->isChecked()) continue;
        const auto target = static_cast<DesignTarget>(k);
        float weight = 0;
        if (!read(WeightEdit[static_cast<size_t>(k)], "The weight of " + DesignTargetCaption(target), weight))
            return false;
        float rpm = 0;
        if (SpeedEdit[static_cast<size_t>(k)] &&
            !read(SpeedEdit[static_cast<size_t>(k)], "The speed of " + DesignTargetCaption(target), rpm))
            return false;
        goals.targets.push_back({target, weight, rpm});
    }
    for (size_t k = 0; k < static_cast<size_t>(kMaxOptimiseDimensions); ++k) {
        const int code = DimensionBox[k]->currentData().toInt();
        if (code == 0) continue;
        OptimiseDimension d;
        d.code = code;
        if (!read(LoEdit[k], "The lower bound of " + BalanceDimensionLabel(code), d.lo) ||
            !read(HiEdit[k], "The upper bound of " + BalanceDimensionLabel(code), d.hi))
            return false;
        goals.dimensions.push_back(d);
    }
    error = CheckOptimiseGoals(goals);
    return error.empty();
}

QString TOptimise::BoundsNote(const Gear& design, const OptimiseGoals& goals)
{
    QString note;
    for (const OptimiseDimension& d : goals.dimensions) {
        const std::string t =
            BoundsLeaveOutText(BalanceDimensionLabel(d.code), GetDimension(design, d.code), d.lo, d.hi);
        if (!t.empty()) note += QLatin1Char(' ') + Text(t);
    }
    return note;
}

void TOptimise::FindButClick()
{
    if (Searching()) return;
    OptimiseGoals goals;
    std::string error;
    found_ = OptimiseReport{};
    ResultGrid->setRowCount(0);
    if (!ReadGoals(goals, error)) {
        ResultText->setText(Text(error));
        SetBusy(false);
        return;
    }
    goals.starts = earlierBests_;
    goals_ = goals;
    searched_ = s_.gear;
    boundsNote_ = BoundsNote(searched_, goals);
    StartSearch<OptimiseReport>(
        [design = searched_, goals](BalanceControl& control) {
            try {
                return OptimiseAndCheck(design, goals, &control);
            } catch (const std::exception& e) {
                OptimiseReport r;
                r.result.error = std::string("The search failed: ") + e.what();
                return r;
            }
        },
        [this](OptimiseReport&& r) {
            found_ = std::move(r);
            if (found_.result.HasValues()) earlierBests_.push_back(found_.result.values);
            ShowResult();
        });
    ResultText->setText(ResultText->text() + boundsNote_);
}

void TOptimise::ShowResult()
{
    const OptimiseResult& r = found_.result;
    std::vector<std::array<std::string, 3>> rows;
    const bool after = r.HasValues();
    for (size_t j = 0; j < goals_.dimensions.size(); ++j) {
        const int code = goals_.dimensions[j].code;
        rows.push_back({BalanceDimensionLabel(code) + " (" + DimensionUnit(searched_, code) + ")",
                        BalanceValueText(GetDimension(searched_, code)),
                        after ? BalanceValueText(r.values[j].value) : ""});
    }
    const bool measured = !r.before.targets.empty();
    if (measured) {
        rows.push_back(
            {"Objective", DecimalText(r.before.objective, 6), after ? DecimalText(r.after.objective, 6) : ""});
        for (size_t k = 0; k < goals_.targets.size(); ++k) {
            const DesignTarget t = goals_.targets[k].target;
            rows.push_back({DesignTargetCaption(t) + ": rms (" + DesignTargetUnit(t) + ")",
                            DecimalText(r.before.targets[k].Rms(), 4),
                            after ? DecimalText(r.after.targets[k].Rms(), 4) : ""});
        }
        // Every row of every target, before and after on the same rows.
        const auto cell = [](const Residual& x) {
            const std::string gap = ResidualGapText(x.gap);
            return DecimalText(x.value, 4) + (gap.empty() ? "" : " (" + gap + ")");
        };
        for (size_t k = 0; k < goals_.targets.size(); ++k) {
            const TargetResiduals& b = r.before.targets[k];
            for (size_t i = 0; i < b.rows.size(); ++i)
                rows.push_back({"   " + WeightedTargetText(b.target) + ", " + ResidualRowText(b.rows[i]),
                                cell(b.rows[i]), after ? cell(r.after.targets[k].rows[i]) : ""});
        }
    }
    const DesignCheckResult &checkBefore = found_.checkBefore, &checkAfter = found_.checkAfter;
    for (size_t k = 0; k < checkBefore.lines.size(); ++k) {
        const CheckLine& l = checkBefore.lines[k];
        rows.push_back({"Check: " + CheckRuleCaption(l.rule) + ", " + CheckDirectionWord(l.direction), CheckCell(l),
                        k < checkAfter.lines.size() ? CheckCell(checkAfter.lines[k]) : ""});
    }
    ShowRows(rows);
    ShowPlot();

    const QString before = Text(DecimalText(r.before.objective, 4));
    const QString afterText = after ? Text(DecimalText(r.after.objective, 4)) : QString();
    QString text;
    switch (r.outcome) {
    case OptimiseOutcome::Improved:
        text = QStringLiteral("Improved: the objective falls from %1 to %2 in %3 trials.")
                   .arg(before, afterText)
                   .arg(r.trials);
        if (Changes().empty()) text += QStringLiteral(" The design has these values already.");
        break;
    case OptimiseOutcome::NoImprovement:
        text = QStringLiteral("No design within the bounds that can be assembled is better than the design as it is.");
        break;
    case OptimiseOutcome::Stopped:
        text = after ? QStringLiteral("Stopped after %1 trials: the best design found so far lowers the objective "
                                      "from %2 to %3.")
                           .arg(r.trials)
                           .arg(before, afterText)
                     : QStringLiteral("Stopped before a better design was found.");
        break;
    case OptimiseOutcome::Infeasible:
    case OptimiseOutcome::Invalid: text = Text(r.error); break;
    }
    for (size_t j = 0; j < r.atBound.size(); ++j)
        if (r.atBound[j] != 0)
            text += QStringLiteral(" %1 ends at its %2 bound: wider bounds may find a better design.")
                        .arg(Text(BalanceDimensionLabel(r.values[j].code)),
                             r.atBound[j] < 0 ? QStringLiteral("lower") : QStringLiteral("upper"));
    if (r.clampsMet) text += QStringLiteral(" Some values tried could not be assembled; they were skipped.");
    ResultText->setText(text + ApplyNotes() + boundsNote_);
}

void TOptimise::ShowPlot()
{
    QImage image(kPlotWidth, kPlotHeight, QImage::Format_RGB32);
    {
        QtCanvas canvas(image);
        DrawCutOffPlot(canvas, kPlotWidth, kPlotHeight, found_.tableBefore, found_.tableAfter);
    }
    CutOffPlot->setPixmap(QPixmap::fromImage(image));
}

std::vector<DimensionValue> TOptimise::FoundValues() const { return found_.result.values; }

void TOptimise::EnableInputs(bool enabled)
{
    for (size_t k = 0; k < TargetBox.size(); ++k) {
        TargetBox[k]->setEnabled(enabled);
        WeightEdit[k]->setEnabled(enabled && TargetBox[k]->isChecked());
        if (SpeedEdit[k]) SpeedEdit[k]->setEnabled(enabled && TargetBox[k]->isChecked());
    }
    for (size_t k = 0; k < DimensionBox.size(); ++k) {
        DimensionBox[k]->setEnabled(enabled);
        const bool chosen = DimensionBox[k]->currentData().toInt() != 0;
        LoEdit[k]->setEnabled(enabled && chosen);
        HiEdit[k]->setEnabled(enabled && chosen);
    }
}
