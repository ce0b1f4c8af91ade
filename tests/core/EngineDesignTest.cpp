// Design for the engine: the design check's engine rules, the optimiser's
// engine targets and the sensitivity's engine figures, on the built-in design
// at full size with engine data.
#include "analysis/Balance.h"
#include "analysis/DesignCheck.h"
#include "analysis/Optimise.h"
#include "analysis/Sensitivity.h"
#include "analysis/SteamEngine.h"
#include "model/DesignScale.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using LD = long double;

// The built-in design seven times, in inches, with the default engine data,
// as a file opens it.
Gear FullSize()
{
    AppState s;
    StartupModel(s);
    ApplyScale(s, {7, LengthUnit::Inch, RoundGrid::None});
    RecomputeRevArmCentre(s.gear);
    s.gear.HasEngine = true;
    s.gear.Engine = DefaultEngineData(s.gear);
    return s.gear;
}

const CheckLine* Find(const DesignCheckResult& r, CheckRule rule)
{
    for (const CheckLine& l : r.lines)
        if (l.rule == rule) return &l;
    return nullptr;
}

} // namespace

// Without engine data the check is the valve rules alone; with them three more
// lines, each the figure of one point of the model (the working row's notch,
// forward, at the top speed: 1000 ft/min of piston speed) judged against its
// limit either way.
TEST(EngineDesign, TheCheckJudgesThePointAtTheWorkingNotchAndTheTopSpeed)
{
    Gear g = FullSize();
    const std::vector<ValveEventsRow> table = BuildValveEventsTable(g);
    const double top = CheckTopSpeedRpm(g);
    EXPECT_NEAR(top, 5.08 * 60 / (2 * g.Stroke * 0.0254), 1e-9); // 1000 ft/min over twice the stroke
    const DesignCheckResult with = CheckDesign(g, table, DefaultCheckLimits());
    ASSERT_EQ(with.lines.size(), 13u);
    Gear without = g;
    without.HasEngine = false;
    ASSERT_EQ(CheckDesign(without, table, DefaultCheckLimits()).lines.size(), 10u);
    for (size_t k = 0; k < 10; ++k)
        EXPECT_EQ(with.lines[k].value, CheckDesign(without, table, DefaultCheckLimits()).lines[k].value);

    // The working row: the one whose cut-off the valve rules name.
    const CheckLine* release = Find(with, CheckRule::Release);
    int notch = -1;
    for (const ValveEventsRow& r : table)
        if (r.events.running == Running::Forward &&
            release->where.rfind(NotchRowText(Running::Forward, r.notch) + " ", 0) == 0)
            notch = r.notch;
    ASSERT_GE(notch, 0);
    const EngineSetup engine = MakeEngineSetup(g, g.Engine);
    const PointResult p = RunEnginePoint(SolveEngineTurn(g, notch, Running::Forward), engine, top);
    ASSERT_TRUE(p.ok);
    const struct {
        CheckRule rule;
        LD value;
    } rows[] = {
        {CheckRule::CompressionPeak, p.compressionPeak / engine.chest.p * 100},
        {CheckRule::CutOffPressure, p.cutOffPressureRatio * 100},
        {CheckRule::MepBalance, std::fabs(p.mepFront - p.mepRear) / p.mep * 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CheckRuleWord(row.rule));
        const CheckLine* l = Find(with, row.rule);
        ASSERT_TRUE(l && l->measured);
        EXPECT_EQ(l->value, ToModelFloat(row.value));
        EXPECT_EQ(l->where, NotchRowText(Running::Forward, notch) + " at " + DecimalText(top, 0) + " rpm");
        // A limit just either side of the value turns the verdict.
        for (float shift : {-0.01f, 0.01f}) {
            CheckLimits limits = DefaultCheckLimits();
            limits[static_cast<size_t>(row.rule)] = l->value + shift;
            const bool pass = CheckRuleIsLeast(row.rule) ? shift < 0 : shift > 0;
            EXPECT_EQ(Find(CheckDesign(g, table, limits), row.rule)->pass, pass);
        }
    }
    // Engine data that cannot run fail the three, unmeasured.
    g.Engine.WheelDiameter = 0;
    const DesignCheckResult broken = CheckDesign(g, table, DefaultCheckLimits());
    for (const auto& row : rows) EXPECT_FALSE(Find(broken, row.rule)->measured || Find(broken, row.rule)->pass);
}

// The engine targets' words, and their residuals on the design itself: 100 %
// of its own power and steam rate, and the ends' difference of mean effective
// pressure in % of the chest pressure, at the normal notch forward or in
// every row of a direction (notches 0..18, then the normal notch).
TEST(EngineDesign, TargetsReadTheirSpeedAndMeasureTheDesignAgainstItself)
{
    const struct {
        const char* text;
        bool ok;
        DesignTarget target;
        float rpm;
    } texts[] = {
        {"power@120", true, DesignTarget::Power, 120},
        {"steamrate@60.5", true, DesignTarget::SteamRate, 60.5f},
        {"mep-balance@240", true, DesignTarget::MepBalance, 240},
        {"mep-balance-fwd-all@90", true, DesignTarget::MepBalanceForwardAll, 90},
        {"mep-balance-rev-all@120", true, DesignTarget::MepBalanceReverseAll, 120},
        {"mep-balance-rev-all", false, {}, 0},
        {"power", false, {}, 0},
        {"power@0", false, {}, 0},
        {"power@x", false, {}, 0},
        {"lead@120", false, {}, 0},
        {"lead", true, DesignTarget::Lead, 0},
    };
    for (const auto& t : texts) {
        WeightedTarget w;
        std::string why;
        EXPECT_EQ(WeightedTargetFromText(t.text, w, why), t.ok) << t.text;
        if (!t.ok) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        EXPECT_EQ(w.target, t.target);
        EXPECT_EQ(w.rpm, t.rpm);
        EXPECT_EQ(WeightedTargetText(w), t.text);
    }

    const Gear g = FullSize();
    const EngineFigures f = MeasureEngineFigures(g, 120);
    ASSERT_TRUE(f.ok);
    OptimiseGoals goals;
    goals.targets = {{DesignTarget::MepBalance, 1, 120},
                     {DesignTarget::Power, 1, 120},
                     {DesignTarget::SteamRate, 2, 120},
                     {DesignTarget::MepBalanceReverseAll, 3, 90}};
    const DesignMeasure m = MeasureDesign(g, goals);
    ASSERT_TRUE(m.Feasible());
    const auto balance = [](const EngineFigures& x) {
        return ToModelFloat((static_cast<LD>(x.mepFront) - x.mepRear) / x.chest * 100);
    };
    const float expected[] = {balance(f), 100, 100};
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(m.targets[k].rows.size(), 1u);
        EXPECT_EQ(m.targets[k].rows[0].value, expected[k]);
    }
    const std::vector<Residual>& all = m.targets[3].rows;
    ASSERT_EQ(all.size(), size_t(kGraphNotches + 1));
    LD sum = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const int notch = i < size_t(kGraphNotches) ? static_cast<int>(i) : kNormalNotch;
        const EngineFigures x = MeasureEngineFigures(g, 90, notch, Running::Reverse);
        EXPECT_TRUE(all[i].running == Running::Reverse && all[i].notch == notch && x.ran) << i;
        EXPECT_EQ(all[i].value, balance(x)) << i;
        sum += static_cast<LD>(all[i].value) * all[i].value;
    }
    EXPECT_EQ(m.objective, static_cast<LD>(expected[0]) * expected[0] + 10000 + 2 * 10000 + 3 * sum);
    // Engine data that cannot run, and a valve that never admits (the
    // eccentric rod 10 % short: both ends' pressure equal, and no balance):
    // every row kept, each with the penalty.
    Gear broken = g;
    broken.Engine.WheelDiameter = 0;
    const Gear shut = TrialDesign(g, {{10, ToModelFloat(0.9L * g.EccRodLength)}}); // code 10: the eccentric rod
    goals.targets = {{DesignTarget::MepBalanceForwardAll, 1, 90}};
    for (const auto& [design, gap] :
         {std::pair<const Gear*, ResidualGap>{&broken, ResidualGap::NoEngine}, {&shut, ResidualGap::NoCutOff}}) {
        const DesignMeasure none = MeasureDesign(*design, goals);
        ASSERT_EQ(none.targets[0].rows.size(), size_t(kGraphNotches + 1));
        EXPECT_FALSE(none.clamped);
        for (const Residual& r : none.targets[0].rows)
            EXPECT_TRUE(r.running == Running::Forward && r.value == kMissingEnginePenalty && r.gap == gap) << r.notch;
    }
}

// Optimising power@120 on the design at full size: more power, the normal
// notch's cut-off within 1 % of stroke of the design's, the gear assembled
// everywhere and the valve rules it passed still passed.
TEST(EngineDesign, MorePowerWithTheCutOffKept)
{
    const Gear g = FullSize();
    OptimiseGoals goals;
    goals.targets = {{DesignTarget::Power, 1, 120}};
    goals.dimensions = {DefaultOptimiseDimension(g, 15)}; // the rocker's lower arm
    const OptimiseReport r = OptimiseAndCheck(g, goals);
    ASSERT_TRUE(r.result.Improved()) << r.result.error;
    const Gear after = TrialDesign(g, r.result.values);
    const EngineFigures before = MeasureEngineFigures(g, 120), now = MeasureEngineFigures(after, 120);
    EXPECT_GT(now.power, before.power);
    EXPECT_LE(std::fabs(now.cutOff - before.cutOff), kEngineCutOffBand);
    EXPECT_EQ(r.result.after.targets[0].rows[0].value, ToModelFloat(static_cast<LD>(before.power) / now.power * 100));
    for (size_t k = 0; k < r.checkBefore.lines.size(); ++k)
        if (r.checkBefore.lines[k].pass && !IsEngineRule(r.checkBefore.lines[k].rule)) {
            EXPECT_TRUE(r.checkAfter.lines[k].pass) << CheckRuleWord(r.checkAfter.lines[k].rule);
        }
}

// With a speed the sensitivity adds the change of power and steam rate: two
// columns before the notes, and each figure the extrapolated difference of
// the model's figures over the trials (checked for one dimension against a
// plain central difference at twice the step).
TEST(EngineDesign, SensitivityGivesPowerAndSteamRatePerUnit)
{
    const Gear g = FullSize();
    const EventsRow row{Running::Forward, kNormalNotch};
    const SensitivityResult plain = MeasureSensitivity(g, row);
    const SensitivityResult engine = MeasureSensitivity(g, row, nullptr, ThreadPool::Shared(), 120);
    const std::vector<TextRow> a = SensitivityCsvRows(g, plain), b = SensitivityCsvRows(g, engine);
    ASSERT_EQ(b[0].size(), a[0].size() + 2);
    EXPECT_EQ(b[0][b[0].size() - 3], "Power (hp)");
    EXPECT_EQ(b[0][b[0].size() - 2], "Steam rate (lb/(hp h))");
    const int code = 20; // the valve rod
    const DimensionEffect* found = nullptr;
    for (const DimensionEffect& x : engine.effects)
        if (x.code == code) found = &x;
    ASSERT_TRUE(found);
    const DimensionEffect& e = *found;
    ASSERT_TRUE(e.engineKnown[0] && e.engineKnown[1]);
    const float h = 2 * SensitivityStep(g, code);
    const auto power = [&](float v) {
        return MeasureEngineFigures(TrialDesign(g, {{code, v}}), 120).power /
               EngineUnitToSI(EngineQuantity::Power, g.Unit);
    };
    const LD v = GetDimension(g, code);
    const LD central = (power(ToModelFloat(v + h)) - power(ToModelFloat(v - h))) / (2 * h);
    EXPECT_NEAR(e.engineDerivative[0], central, 0.05 * (std::fabs(central) + 1));
}
