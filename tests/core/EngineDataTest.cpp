// The engine data kept with a design: value by value, in the native file
// (after record 71, where a reader of the 71 records never looks), in JSON,
// judged alike by both readers, scaled with the design and carried by the
// recovery file.
#include "model/EngineData.h"
#include "files/DesignValues.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "files/Recovery.h"
#include "model/DesignScale.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/RecordFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {

AppState WithEngine(LengthUnit unit = LengthUnit::Inch)
{
    AppState s;
    StartupModel(s);
    s.gear.Unit = unit;
    s.gear.HasEngine = true;
    s.gear.Engine = DefaultEngineData(s.gear);
    for (int k = 0; k < kEngineValueCount; ++k) // every value its own
        SetEngineValue(s.gear.Engine, k, GetEngineValue(s.gear.Engine, k) + 0.125f * (k + 1));
    return s;
}

std::vector<std::uint32_t> Bits(const EngineData& e)
{
    std::vector<std::uint32_t> b;
    for (int k = 0; k < kEngineValueCount; ++k) b.push_back(std::bit_cast<std::uint32_t>(GetEngineValue(e, k)));
    return b;
}

class EngineDataFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("quelf-engine-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string P(const char* name) const { return (dir / name).string(); }
    fs::path dir;
};

} // namespace

// Each value by its index: a name, a label, a unit of the design's system, a
// tooltip; the defaults of each unit system.
TEST(EngineData, EveryValueHasItsNameUnitAndDefault)
{
    std::set<std::string> names;
    const char* inchUnits[] = {"in", "in", "", "%", "%", "psi", "°F", "psi", "psi", "in", ""};
    const char* mmUnits[] = {"mm", "mm", "", "%", "%", "bar", "°C", "bar", "bar", "mm", ""};
    EngineData e;
    for (int k = 0; k < kEngineValueCount; ++k) {
        names.insert(EngineValueName(k));
        EXPECT_FALSE(EngineValueLabel(k).empty());
        EXPECT_EQ(EngineValueUnit(k, LengthUnit::Inch), inchUnits[k]) << k;
        EXPECT_EQ(EngineValueUnit(k, LengthUnit::Unspecified), inchUnits[k]) << k;
        EXPECT_EQ(EngineValueUnit(k, LengthUnit::Millimetre), mmUnits[k]) << k;
        const bool measured = inchUnits[k][0] != '\0' && std::string(inchUnits[k]) != "%";
        EXPECT_EQ(EngineValueTooltip(k, LengthUnit::Unspecified).find("inches are taken") != std::string::npos,
                  measured)
            << k;
        SetEngineValue(e, k, 1.5f + k);
        EXPECT_EQ(GetEngineValue(e, k), 1.5f + k);
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(kEngineValueCount));
    EXPECT_EQ(GetEngineValue(e, kEngineValueCount), 0.0f);
    EXPECT_EQ(EngineValueMessageName(evChestPressure), "Engine Data, steam-chest pressure");

    AppState s;
    StartupModel(s);
    for (const auto& [unit, chest, back, atmosphere] :
         {std::tuple{LengthUnit::Inch, 200.0f, 3.0f, 14.695949f}, {LengthUnit::Millimetre, 14.0f, 0.2f, 1.01325f}}) {
        s.gear.Unit = unit;
        const EngineData d = DefaultEngineData(s.gear);
        EXPECT_EQ(d.SteamPortLength, ToModelFloat(0.8L * 3.25f));
        EXPECT_EQ(d.WheelDiameter, s.gear.CrankDiskDia);
        EXPECT_FLOAT_EQ(d.DischargeCoefficient, 0.6110154f);
        EXPECT_EQ(d.ChestPressure, chest);
        EXPECT_EQ(d.BackPressure, back);
        EXPECT_FLOAT_EQ(d.AtmosphericPressure, atmosphere);
        EXPECT_EQ(d.Cylinders, 2.0f);
    }
    // The least clearance the section drawing implies: (bore length - piston
    // width - stroke) / 2 at each end here, in % of the stroke.
    EXPECT_NEAR(LeastClearancePercent(s.gear, 0), 100 * (5.0 - 1.0 - 3.5) / 2 / 3.5, 1e-5);
    EXPECT_NEAR(LeastClearancePercent(s.gear, 1), 100 * (5.0 - 1.0 - 3.5) / 2 / 3.5, 1e-5);
}

// A design without engine data writes its 71 records as before; one with them
// writes three more, which a reader of the 71 records passes over: what it
// reads is the design without them, bit for bit.
TEST_F(EngineDataFiles, TheNativeFileKeepsThemAfterTheRecordsOfTodaysLayout)
{
    const AppState with = WithEngine();
    AppState without = with;
    without.gear.HasEngine = false;
    const std::vector<NativeRecord> plain = BuildNativeRecords(without), full = BuildNativeRecords(with);
    ASSERT_EQ(plain.size(), 71u);
    ASSERT_EQ(full.size(), 74u);
    EXPECT_EQ(std::vector<NativeRecord>(full.begin(), full.begin() + 71), plain);
    EXPECT_EQ(full[71][0], 1.0f); // the block's layout
    EXPECT_EQ(full[71][1], 11.0f);
    EXPECT_EQ(full[73][3], 0.0f);
    EXPECT_EQ(full[73][4], 0.0f);

    // Today's reader: the leading 71 records, judged and stored.
    ASSERT_TRUE(SaveNativeFile(*std::make_unique<AppState>(with), P("e.vgw")).ok);
    EXPECT_EQ(fs::file_size(dir / "e.vgw"), 74u * 20u);
    RecordReader in;
    ASSERT_TRUE(in.Open(P("e.vgw")));
    std::vector<NativeRecord> leading;
    std::string error;
    ASSERT_TRUE(ReadLeadingRecords(in, kNativeRecordCount, leading, error));
    EXPECT_EQ(CheckDesignRecords(leading, RecordLayout::Native).verdict, ValueVerdict::Sound);
    AppState old;
    StartupModel(old);
    StoreNativeRecords(old, leading);
    EXPECT_EQ(DesignSnapshot(old), DesignSnapshot(without));
    EXPECT_FALSE(old.gear.HasEngine);

    // This reader: the engine data back, bit for bit; a block it does not know
    // is none, and values the block does not reach take their defaults.
    AppState back;
    StartupModel(back);
    ASSERT_TRUE(OpenNativeFile(back, P("e.vgw")).ok);
    EXPECT_TRUE(back.gear.HasEngine);
    EXPECT_EQ(Bits(back.gear.Engine), Bits(with.gear.Engine));
    EXPECT_EQ(DesignSnapshot(back), DesignSnapshot(with));
    std::vector<NativeRecord> other = full;
    other[71][0] = 2;
    StoreNativeRecords(back, other);
    EXPECT_FALSE(back.gear.HasEngine);
    std::vector<NativeRecord> part = full;
    part[71][1] = 4; // four values only
    StoreNativeRecords(back, part);
    EXPECT_EQ(back.gear.Engine.ClearanceFront, with.gear.Engine.ClearanceFront);
    EXPECT_EQ(back.gear.Engine.ClearanceRear, DefaultEngineData(back.gear).ClearanceRear);

    // The recovery file is a native file: it carries them.
    RecoveryStore store;
    ASSERT_TRUE(store.Start((dir / "state").string(), 7, 9));
    ASSERT_TRUE(store.Write(with, {"e", P("e.vgw")}, error)) << error;
    AppState recovered;
    StartupModel(recovered);
    ASSERT_TRUE(OpenNativeFile(recovered, store.DesignPath()).ok);
    EXPECT_EQ(Bits(recovered.gear.Engine), Bits(with.gear.Engine));
    store.Stop();
}

// JSON keeps them in an "engine" object (left out without them, a value left
// out taking its default), and both readers judge a value alike: not a number
// refused, beyond 1e6 asked about, named as the dialog names it.
TEST_F(EngineDataFiles, JsonKeepsThemAndBothReadersJudgeThemAlike)
{
    const AppState with = WithEngine(LengthUnit::Millimetre);
    AppState without = with;
    without.gear.HasEngine = false;
    EXPECT_EQ(DesignJsonText(without).find("\"engine\""), std::string::npos);
    const std::string text = DesignJsonText(with);
    AppState back;
    StartupModel(back);
    ASSERT_TRUE(LoadJsonDesignText(back, text).ok);
    EXPECT_TRUE(back.gear.HasEngine);
    EXPECT_EQ(Bits(back.gear.Engine), Bits(with.gear.Engine));
    EXPECT_EQ(DesignJsonText(back), text);

    // Only the chest pressure given: the rest its defaults for millimetres.
    const auto at = text.find("\"engine\": {");
    ASSERT_NE(at, std::string::npos);
    const auto close = text.find('}', at);
    const std::string partial = text.substr(0, at) + "\"engine\": {\"ChestPressure\": 12.5}" + text.substr(close + 1);
    ASSERT_TRUE(LoadJsonDesignText(back, partial).ok);
    EngineData expected = DefaultEngineData(back.gear);
    expected.ChestPressure = 12.5f;
    EXPECT_EQ(Bits(back.gear.Engine), Bits(expected));

    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    for (const auto& [value, json, verdict] : {std::tuple{kNaN, std::string("\"nan\""), ValueVerdict::NotFinite},
                                               {2e7f, std::string("2e7"), ValueVerdict::Huge},
                                               {-3e6f, std::string("-3e6"), ValueVerdict::Huge}}) {
        SCOPED_TRACE(json);
        std::vector<NativeRecord> records = BuildNativeRecords(with);
        records[72][4] = value; // the back pressure: value 8, the last field of record 73
        const ValueCheck native = CheckDesignRecords(records, RecordLayout::Native);
        EXPECT_EQ(native.verdict, verdict);
        EXPECT_EQ(native.name, "Engine Data, exhaust back pressure");
        const std::string given = "\"ChestPressure\": 12.5}";
        const std::string bad = partial.substr(0, partial.find(given)) +
                                "\"ChestPressure\": 12.5, \"BackPressure\": " + json + "}" +
                                partial.substr(partial.find(given) + given.size());
        AppState j;
        StartupModel(j);
        const DesignFileResult r = LoadJsonDesignText(j, bad);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.values.verdict, verdict);
        EXPECT_EQ(r.values.name, native.name);
        EXPECT_EQ(LoadJsonDesignText(j, bad, HugeValues::Accept).ok, verdict == ValueVerdict::Huge);
    }
}

// Scale Design multiplies the port lengths and the wheel with every other
// length; a change of unit converts the pressures and the superheat; "UnDo"
// takes it all back.
TEST(EngineData, ScalingTheDesignScalesItsEngine)
{
    AppState s = WithEngine(LengthUnit::Inch);
    const AppState before = s;
    ASSERT_TRUE(ScaleDesign(s, {25.4L, LengthUnit::Millimetre, RoundGrid::None}));
    const EngineData &a = before.gear.Engine, &b = s.gear.Engine;
    EXPECT_EQ(b.SteamPortLength, ToModelFloat(a.SteamPortLength * 25.4L));
    EXPECT_EQ(b.ExhaustPortLength, ToModelFloat(a.ExhaustPortLength * 25.4L));
    EXPECT_EQ(b.WheelDiameter, ToModelFloat(a.WheelDiameter * 25.4L));
    const long double psiInBar = 0.45359237L * 9.80665L / (0.0254L * 0.0254L) / 100000;
    EXPECT_EQ(b.ChestPressure, ToModelFloat(a.ChestPressure * psiInBar));
    EXPECT_EQ(b.AtmosphericPressure, ToModelFloat(a.AtmosphericPressure * psiInBar));
    EXPECT_EQ(b.Superheat, ToModelFloat(a.Superheat * 5.0L / 9));
    for (const int same : {evDischargeCoefficient, evClearanceFront, evClearanceRear, evCylinders})
        EXPECT_EQ(GetEngineValue(b, same), GetEngineValue(a, same));
    EXPECT_NE(DesignSnapshot(s), DesignSnapshot(before));
    ASSERT_TRUE(UndoButtonClick(s));
    EXPECT_EQ(Bits(s.gear.Engine), Bits(a));
    EXPECT_EQ(DesignSnapshot(s), DesignSnapshot(before));
    // The same system (inches to unspecified, which counts as inches): lengths only.
    AppState t = WithEngine(LengthUnit::Inch);
    ASSERT_TRUE(ApplyScale(t, {2, LengthUnit::Unspecified, RoundGrid::None}));
    EXPECT_EQ(t.gear.Engine.ChestPressure, before.gear.Engine.ChestPressure);
    EXPECT_EQ(t.gear.Engine.WheelDiameter, 2 * before.gear.Engine.WheelDiameter);
}
