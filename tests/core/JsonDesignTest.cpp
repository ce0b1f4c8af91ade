// The design as JSON: numbers that read back bit for bit, round trips over
// many designs (.vgw -> .json -> .vgw byte for byte), and the texts refused
// with their messages.
#include "files/JsonDesign.h"
#include "files/DesignValues.h"
#include "files/FileMessages.h"
#include "files/JsonText.h"
#include "files/NativeFile.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "support/DecimalComma.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <bit>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using ordered_json = nlohmann::ordered_json;

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

std::string ReadText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

// What a load may change, as bit patterns.
std::vector<std::uint32_t> Image(const AppState& s)
{
    std::vector<std::uint32_t> v;
    for (const NativeRecord& r : BuildNativeRecords(s))
        for (float f : r) v.push_back(Bits(f));
    v.push_back(static_cast<std::uint32_t>(s.gear.Unit));
    for (char c : s.display.DataSetName) v.push_back(static_cast<unsigned char>(c));
    return v;
}

// A design of random values everywhere a file keeps one: dimensions, the
// arm, view and presets, graph settings and positions, lines and circles,
// the unit; now and then the values a JSON text keeps only when unusual.
AppState RandomDesign(std::mt19937& rng)
{
    AppState s = Started();
    std::uniform_real_distribution<float> any(-40.0f, 40.0f), positive(0.2f, 30.0f);
    std::uniform_int_distribution<int> coin(0, 3), kind(-1, 1), ref(-1, 3), pivot(0, 26), item(1, 20), unit(0, 2);
    Gear& g = s.gear;
    for (int code = 1; code <= 22; ++code) SetDimension(g, code, positive(rng));
    for (int code = 101; code <= 122; ++code) SetDimension(g, code, positive(rng));
    SetDimension(g, 6, any(rng));
    SetDimension(g, 16, any(rng));
    SetDimension(g, 102, coin(rng) ? 0.0f : -0.0f);
    if (coin(rng) == 0) g.PointX[9] = any(rng); // the pivot's solver copy apart from the dimension
    if (coin(rng) == 0) g.Cyl(ciCylSpare) = any(rng);
    for (int k = 4; k <= 9; ++k) g.RevArm[k] = coin(rng) ? any(rng) : 0.0f;
    g.RevArmPos = any(rng);
    g.Unit = static_cast<LengthUnit>(unit(rng));
    View& v = s.view;
    v.ViewScale = positive(rng);
    v.ViewOffsetX = any(rng) * 10;
    v.ViewOffsetY = any(rng) * 10;
    v.GraphicZoom = positive(rng);
    for (float& p : v.PresetTable) p = any(rng) * 20;
    s.graph.GraphRevArmPos = coin(rng) ? any(rng) : std::numeric_limits<float>::quiet_NaN();
    s.graph.GraphVerticalScale = positive(rng);
    const float colours[] = {0, 255, 32768, 65535, 16711680, 8421504};
    for (int k = 1; k <= kOverlayItems; ++k) {
        OverlayItem& it = s.overlay.Item[k];
        for (float* f : {&it.X1, &it.Y1, &it.X2, &it.Y2, &it.Pivot1X0, &it.Pivot1Y0, &it.Pivot2X0, &it.Pivot2Y0})
            *f = any(rng);
        it.Kind = static_cast<float>(kind(rng));
        it.Colour = it.Kind < 0 ? -1.0f : colours[static_cast<std::size_t>(pivot(rng)) % 6];
        it.Reference = it.Kind < 0 ? -1.0f : static_cast<float>(ref(rng));
        it.Pivot1Index = static_cast<float>(pivot(rng));
        it.Pivot2Index = static_cast<float>(pivot(rng));
    }
    s.overlay.CurrentItem = item(rng);
    return s;
}

class JsonDesign : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("quelf-json-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    // `design` saved as a .vgw and opened (as the program has it), then
    // exported as JSON, opened again and saved: both saves give the same
    // bytes, the JSON of the reopened design is the same text, and so are
    // the unit and the design snapshot.
    void ExpectRoundTrip(const AppState& design, HugeValues huge)
    {
        AppState direct = design;
        ASSERT_TRUE(SaveNativeFile(direct, P("a.vgw")).ok);
        AppState opened = Started();
        ASSERT_TRUE(OpenNativeFile(opened, P("a.vgw"), huge).ok);
        opened.gear.Unit = design.gear.Unit; // the unit as a .vgw keeping it would give it
        ASSERT_TRUE(SaveNativeFile(opened, P("direct.vgw")).ok);
        ASSERT_TRUE(ExportJsonDesign(opened, P("design.json")).ok);
        EXPECT_EQ(opened.display.DataSetName, "direct"); // an export does not rename

        AppState fromJson = Started();
        const DesignFileResult r = OpenJsonDesign(fromJson, P("design.json"), huge);
        ASSERT_TRUE(r.ok) << OpenFailureMessage("design.json", r).OneLine();
        EXPECT_TRUE(r.overlayRead);
        EXPECT_EQ(r.revArmPosition, 0);
        EXPECT_EQ(fromJson.display.DataSetName, "design");
        EXPECT_EQ(fromJson.gear.Unit, design.gear.Unit);
        EXPECT_EQ(DesignSnapshot(fromJson), DesignSnapshot(opened));
        EXPECT_EQ(DesignJsonText(fromJson), ReadText(dir / "design.json"));
        ASSERT_TRUE(SaveNativeFile(fromJson, P("via-json.vgw")).ok);
        EXPECT_EQ(ReadText(dir / "via-json.vgw"), ReadText(dir / "direct.vgw"));
    }

    fs::path dir;
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A float back from the text JsonFloat writes.
bool ReadJsonFloat(const std::string& text, float& v)
{
    if (text.size() >= 2 && text.front() == '"') return FloatFromJsonString(text.substr(1, text.size() - 2), v);
    return ReadFloat(text, v);
}

} // namespace

// ---------------------------------------------------------------- numbers

TEST(JsonNumbers, EveryFloatIsWrittenShortestAndReadsBackBitForBit)
{
    std::vector<float> values = {0.0f,
                                 -0.0f,
                                 0.1f,
                                 3.75f,
                                 -1.0f,
                                 1e-7f,
                                 FLT_MAX,
                                 -FLT_MAX,
                                 FLT_MIN,
                                 FLT_TRUE_MIN,
                                 -FLT_TRUE_MIN,
                                 16777216.0f,
                                 1e38f,
                                 123456.79f,
                                 kInf,
                                 -kInf,
                                 kNaN,
                                 -kNaN,
                                 1e-40f,
                                 0.3f,
                                 2.5e-39f,
                                 std::bit_cast<float>(0x7fa00001u),
                                 std::bit_cast<float>(0xffffffffu)};
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 200000; ++i) values.push_back(std::bit_cast<float>(bits(rng)));
    for (float f : values) {
        const std::string t = JsonFloat(f);
        if (std::isfinite(f) && !(f == 0 && std::signbit(f))) {
            EXPECT_EQ(t, ShortestText(f));
        }
        float back = 0;
        ASSERT_TRUE(ReadJsonFloat(t, back)) << t;
        ASSERT_EQ(Bits(back), Bits(f)) << t;
    }
    EXPECT_EQ(JsonFloat(-0.0f) + " " + JsonFloat(kNaN) + " " + JsonFloat(-kInf) + " " +
                  JsonFloat(std::bit_cast<float>(0x7fa00001u)),
              "-0.0 \"nan\" \"-inf\" \"nan:7fa00001\"");
    float v = 0;
    for (const char* refused : {"nan:7f800000", "nan:7FA00001", "nan:", "NaN", "infinity", "nan:7fa000011"})
        EXPECT_FALSE(FloatFromJsonString(refused, v)) << refused;
}

TEST(JsonNumbers, StrictFloatReadingAndTableDecimals)
{
    const struct {
        const char* text;
        bool ok;
        float value;
    } reads[] = {
        {"3.75", true, 3.75f},     {"+2", true, 2.0f},    {"-0", true, -0.0f},     {"1e39", true, FLT_MAX},
        {"-1e39", true, -FLT_MAX}, {"1e-50", true, 0.0f}, {"-1e-50", true, -0.0f}, {"1.5e-45", true, FLT_TRUE_MIN},
        {"0.1", true, 0.1f},       {".5", true, 0.5f},    {"", false, 0},          {"1,5", false, 0},
        {"nan", false, 0},         {" 1", false, 0},      {"1e99999", false, 0},   {"3.4028236e38", true, FLT_MAX},
    };
    for (const auto& c : reads) {
        float v = 12345;
        EXPECT_EQ(ReadFloat(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(Bits(v), Bits(c.value)) << c.text;
        }
    }
    const struct {
        float v;
        const char* text;
    } cells[] = {{0.1f, "0.100000"},
                 {-0.0f, "0.000000"},
                 {10.125f, "10.125000"},
                 {1.2345678e-7f, "0.00000012345679"},
                 {-2.5f, "-2.500000"},
                 {16777216.0f, "16777216.000000"},
                 {kNaN, ""},
                 {-kInf, ""}};
    for (const auto& c : cells) EXPECT_EQ(DecimalTextAtLeast(c.v, 6), c.text);
}

// ---------------------------------------------------------------- round trips

TEST_F(JsonDesign, ManyDesignsGoVgwToJsonToVgwByteForByte)
{
    ExpectRoundTrip(Started(), HugeValues::Refuse);
    std::mt19937 rng(2024);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        ExpectRoundTrip(RandomDesign(rng), HugeValues::Refuse);
    }
}

TEST_F(JsonDesign, HugeButAcceptedDesignsGoRoundTooAndAreAskedFirst)
{
    std::mt19937 rng(5);
    struct Huge {
        std::function<void(AppState&)> set;
        const char* name;
    };
    const Huge cases[] = {
        {[](AppState& s) { s.gear.Stroke = 3.4e38f; }, "Stroke Length"},
        {[](AppState& s) { s.view.PresetTable[10] = -2e9f; }, "view preset 3, x offset"},
        {[](AppState& s) { s.overlay.Item[7].Colour = 16777216; }, "Draw Lines item 7, color"},
        {[](AppState& s) { s.gear.PointX[9] = 5e6f; }, "Reverse Head Pivot Horz (second copy)"},
        {[](AppState& s) { SetDimension(s.gear, 122, -1e30f); }, "Valve ctr to Joint"},
    };
    for (const Huge& h : cases) {
        SCOPED_TRACE(h.name);
        AppState design = RandomDesign(rng);
        h.set(design);
        ExpectRoundTrip(design, HugeValues::Accept);
        // Refused unless accepted, with the native reader's verdict and words.
        AppState s = Started();
        const auto before = Image(s);
        const DesignFileResult json = OpenJsonDesign(s, P("design.json"), HugeValues::Refuse);
        const DesignFileResult native = OpenNativeFile(s, P("a.vgw"), HugeValues::Refuse);
        EXPECT_FALSE(json.ok);
        EXPECT_EQ(json.values.verdict, ValueVerdict::Huge);
        EXPECT_EQ(json.values.name, h.name);
        EXPECT_EQ(HugeValuesQuestion("x", json.values), HugeValuesQuestion("x", native.values));
        EXPECT_EQ(Image(s), before);
    }
}

TEST_F(JsonDesign, ValuesNoGearHasAreRefusedWithTheNativeMessages)
{
    const struct {
        std::function<void(AppState&)> set;
        const char* message;
    } cases[] = {
        {[](AppState& s) { s.gear.Stroke = kNaN; }, "it is not a design (Stroke Length is not a number)."},
        {[](AppState& s) { s.view.PresetTable[7] = kInf; },
         "it is not a design (view preset 2, x offset is infinite)."},
        {[](AppState& s) { s.overlay.Item[13].Pivot1Y0 = -kInf; },
         "it is not a design (Draw Lines item 13, first pivot's vert is infinite)."},
        {[](AppState& s) { s.gear.PointY[9] = std::bit_cast<float>(0xffc00123u); },
         "it is not a design (Reverse Head Pivot Vert (second copy) is not a number)."},
        {[](AppState& s) { s.gear.CrankDiskDia = 1e38f; },
         "it holds values no gear can have (Crank Disk Diameter = 1e38)."},
    };
    for (const auto& c : cases) {
        AppState design = Started();
        c.set(design);
        WriteText(dir / "bad.json", DesignJsonText(design));
        ASSERT_TRUE(SaveNativeFile(design, P("bad.vgw")).ok);
        AppState s = Started();
        const auto before = Image(s);
        const DesignFileResult json = OpenJsonDesign(s, P("bad.json"), HugeValues::Refuse);
        const DesignFileResult native = OpenNativeFile(s, P("bad.vgw"), HugeValues::Refuse);
        EXPECT_EQ(OpenFailureMessage("bad", json).OneLine(), std::string("Cannot open \"bad\": ") + c.message);
        EXPECT_EQ(OpenFailureMessage("bad", json).OneLine(), OpenFailureMessage("bad", native).OneLine());
        EXPECT_EQ(Image(s), before);
    }
}

// A text that gives mid gear keeps it and reverse arm positions 1 to 3 as
// written (a .vgw has them found afresh), so they are judged too. A stroke of
// 0 or -3.5 is a value a file can hold: both readers open it alike.
TEST_F(JsonDesign, WhatATextKeepsIsJudgedAndBothReadersAgreeOnTheRest)
{
    using V = ValueVerdict;
    const struct {
        float* (*at)(AppState&);
        float value;
        V json;
        const char* name;
    } cases[] = {
        {[](AppState& s) { return &s.gear.RevArm[0]; }, kNaN, V::NotFinite, "mid-gear centre"},
        {[](AppState& s) { return &s.gear.RevArm[1]; }, kInf, V::NotFinite, "reverse arm position 1"},
        {[](AppState& s) { return &s.gear.RevArm[2]; }, -kInf, V::NotFinite, "reverse arm position 2"},
        {[](AppState& s) { return &s.gear.RevArm[3]; }, 1e30f, V::Huge, "reverse arm position 3"},
        {[](AppState& s) { return &s.gear.Stroke; }, 0, V::Sound, ""},
        {[](AppState& s) { return &s.gear.Stroke; }, -3.5f, V::Sound, ""},
    };
    for (const auto& c : cases) {
        AppState design = Started(), fromJson = Started(), fromVgw = Started();
        *c.at(design) = c.value;
        WriteText(dir / "d.json", DesignJsonText(design));
        ASSERT_TRUE(SaveNativeFile(design, P("d.vgw")).ok);
        const DesignFileResult json = OpenJsonDesign(fromJson, P("d.json"));
        SCOPED_TRACE(OpenFailureMessage("d.json", json).OneLine());
        EXPECT_EQ(json.values.verdict, c.json);
        EXPECT_EQ(json.values.name, c.name);
        ASSERT_TRUE(OpenNativeFile(fromVgw, P("d.vgw")).ok);
        EXPECT_EQ(json.ok, c.json == V::Sound);
        EXPECT_TRUE(!json.ok || DesignSnapshot(fromJson) == DesignSnapshot(fromVgw));
    }
}

TEST_F(JsonDesign, ADecimalCommaDesktopWritesAndReadsTheSameText)
{
    std::mt19937 rng(3);
    const AppState design = RandomDesign(rng);
    const std::string text = DesignJsonText(design);
    AppState plain = Started();
    ASSERT_TRUE(LoadJsonDesignText(plain, text).ok);
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    EXPECT_EQ(DesignJsonText(design), text);
    AppState s = Started();
    ASSERT_TRUE(LoadJsonDesignText(s, text).ok);
    EXPECT_EQ(Image(s), Image(plain));
}

// ---------------------------------------------------------------- texts people write

TEST_F(JsonDesign, WhatAPersonMayLeaveOutOrAddIsTakenAsTheSchemaSays)
{
    const AppState design = Started();
    const ordered_json base = ordered_json::parse(DesignJsonText(design));
    auto load = [&](const std::function<void(ordered_json&)>& edit, AppState& s) {
        ordered_json j = base;
        edit(j);
        s = Started();
        return LoadJsonDesignText(s, j.dump(2));
    };
    AppState s;
    // Unknown keys anywhere are ignored; the last of a repeated key counts.
    ASSERT_TRUE(load(
                    [](ordered_json& j) {
                        j["comment"] = "from the club";
                        j["dimensions"]["Colour"] = "green";
                        j["view"]["presets"]["7"] = {1, 2};
                        j["linesAndCircles"]["items"][0]["note"] = nullptr;
                    },
                    s)
                    .ok);
    EXPECT_EQ(Image(s), Image(design));
    ASSERT_TRUE(LoadJsonDesignText(s, "{\"format\": \"other\", \"version\": 7, \"units\": 3, " +
                                          DesignJsonText(design).substr(1, std::string::npos))
                    .ok);
    EXPECT_EQ(Image(s), Image(design));
    // Fewer lines and circles: the rest unused. No "kept" section, no centre:
    // the usual values. A current item is rounded into 1..20.
    ASSERT_TRUE(load(
                    [](ordered_json& j) {
                        j["linesAndCircles"]["items"] = ordered_json::array();
                        j["linesAndCircles"]["items"].push_back({{"Kind", 1},
                                                                 {"Colour", 255},
                                                                 {"Reference", 0},
                                                                 {"Pivot1Index", 2},
                                                                 {"Pivot2Index", 0},
                                                                 {"X1", 1.5},
                                                                 {"Y1", 0},
                                                                 {"X2", 3},
                                                                 {"Y2", 0},
                                                                 {"Pivot1X0", 0},
                                                                 {"Pivot1Y0", 0},
                                                                 {"Pivot2X0", 0},
                                                                 {"Pivot2Y0", 0}});
                        j["linesAndCircles"]["current"] = 2.6;
                        j.erase("kept");
                        j["reverseArm"].erase("RevArmCentre");
                        j["dimensions"]["RevHeadPivotHorz"] = 0.5;
                        j["units"] = "mm";
                    },
                    s)
                    .ok);
    EXPECT_EQ(s.overlay.Item[1].Kind, 1.0f);
    EXPECT_EQ(s.overlay.Item[1].X1, 1.5f);
    EXPECT_EQ(s.overlay.Item[2].Kind, -1.0f);
    EXPECT_EQ(s.overlay.Item[20].Colour, -1.0f);
    EXPECT_EQ(s.overlay.CurrentItem, 3);
    EXPECT_EQ(s.gear.PointX[9], 0.5f); // the solver's copy follows the dimension
    EXPECT_EQ(s.gear.Unit, LengthUnit::Millimetre);
    EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
}

TEST_F(JsonDesign, TextsThatAreNoDesignAreRefusedNamingTheKeyAndChangeNothing)
{
    const std::string good = DesignJsonText(Started());
    const ordered_json base = ordered_json::parse(good);
    using Edit = std::function<void(ordered_json&)>;
    const struct {
        std::string text; // used when there is no edit
        Edit edit;
        const char* message;
    } cases[] = {
        {"", {}, "it is empty"},
        {"{\"format\": ", {}, "it is not valid JSON (line 1, column 11)"},
        {good.substr(0, 200) + "\n,}", {}, "it is not valid JSON"},
        {"[1, 2]", {}, "it is not a design (the text is a list, not an object)"},
        {std::string(40, '[') + std::string(40, ']'),
         {},
         "it is not a design (its text nests more than 32 levels deep)"},
        {"{\"a\": 1e400}", {}, "it holds a number too large for any value (line 1, column 11)"},
        {{}, [](ordered_json& j) { j.erase("format"); }, "it is not a design (the key \"format\" is missing)"},
        {{},
         [](ordered_json& j) { j["format"] = "QUELF motion"; },
         "it is not a design (\"format\" must be \"QUELF design\", not \"QUELF motion\")"},
        {{},
         [](ordered_json& j) { j["version"] = 2; },
         "it is a design of version 2, which this program cannot read (it reads version 1)"},
        {{},
         [](ordered_json& j) { j["version"] = "1"; },
         "it is not a design (\"version\" must be a number, not a text)"},
        {{},
         [](ordered_json& j) { j["units"] = "cm"; },
         "it is not a design (\"units\" must be \"unspecified\", \"in\" or \"mm\", not \"cm\")"},
        {{},
         [](ordered_json& j) { j["dimensions"].erase("Stroke"); },
         "it is not a design (the key \"dimensions.Stroke\" is missing)"},
        {{},
         [](ordered_json& j) { j["dimensions"]["Stroke"] = "3.5"; },
         "it is not a design (\"dimensions.Stroke\" must be a number, not the text \"3.5\")"},
        {{},
         [](ordered_json& j) { j["dimensions"] = ordered_json::array(); },
         "it is not a design (\"dimensions\" must be an object, not a list)"},
        {{},
         [](ordered_json& j) { j["view"]["presets"]["4"]["y"] = nullptr; },
         "it is not a design (\"view.presets.4.y\" must be a number, not null)"},
        {{},
         [](ordered_json& j) { j["graphs"]["RevArmPositions"].erase(0); },
         "it is not a design (\"graphs.RevArmPositions\" must be a list of 9 numbers, not 8)"},
        {{},
         [](ordered_json& j) { j["graphs"]["RevArmPositions"][4] = true; },
         "it is not a design (\"graphs.RevArmPositions[5]\" must be a number, not true or false)"},
        {{},
         [](ordered_json& j) { j["linesAndCircles"]["items"].push_back(j["linesAndCircles"]["items"][0]); },
         "it is not a design (\"linesAndCircles.items\" holds 21 items; a design has at most 20)"},
        {{},
         [](ordered_json& j) { j["linesAndCircles"]["items"][2] = 5; },
         "it is not a design (\"linesAndCircles.items[3]\" must be an object, not a number)"},
        {{},
         [](ordered_json& j) { j["linesAndCircles"]["items"][1].erase("Kind"); },
         "it is not a design (the key \"linesAndCircles.items[2].Kind\" is missing)"},
        {{}, [](ordered_json& j) { j["kept"] = 3; }, "it is not a design (\"kept\" must be an object, not a number)"},
        {{},
         [](ordered_json& j) { j["dimensions"]["Stroke"] = "nan"; },
         "it is not a design (Stroke Length is not a number)"},
        {{},
         [](ordered_json& j) { j["dimensions"]["Stroke"] = 1e39; },
         "it holds values no gear can have (Stroke Length = 3.4028235e38)"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        if (c.edit) {
            ordered_json j = base;
            c.edit(j);
            text = j.dump(2);
        }
        WriteText(dir / "bad.json", text);
        AppState s = Started();
        const auto before = Image(s);
        const DesignFileResult r = OpenJsonDesign(s, P("bad.json"));
        EXPECT_FALSE(r.ok) << c.message;
        const std::string line = OpenFailureMessage("bad.json", r).OneLine();
        EXPECT_EQ(line.rfind(std::string("Cannot open \"bad.json\": ") + c.message, 0), 0u) << line;
        EXPECT_EQ(Image(s), before) << c.message;
    }
    // The file itself: missing, a folder, far too large.
    WriteText(dir / "large.json", std::string(5 << 20, ' '));
    const struct {
        std::string path;
        const char* line;
    } files[] = {
        {P("none.json"), "Cannot open \"f\": the file does not exist."},
        {dir.string(), "Cannot open \"f\": it is a folder."},
        {P("large.json"), "Cannot open \"f\": it is too large to be a design (5242880 bytes)."},
    };
    for (const auto& f : files) {
        AppState s = Started();
        EXPECT_EQ(OpenFailureMessage("f", OpenJsonDesign(s, f.path)).OneLine(), f.line);
    }
}

TEST_F(JsonDesign, AnExportThatCannotBeWrittenLeavesTheOldFile)
{
    WriteText(dir / "old.json", "old");
    AppState s = Started();
    FaultyFileSystem files;
    files.faults.write = {FileErrorKind::DiskFull};
    const DesignFileResult r = ExportJsonDesign(s, P("old.json"), files);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(SaveFailureMessage("old.json", r).OneLine(), "Cannot save \"old.json\": the disk is full.");
    EXPECT_EQ(ReadText(dir / "old.json"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_EQ(JsonDataSetName("/a/b/My Gear.JSON") + "|" + JsonDataSetName("c\\d.json"), "My Gear|d");
    EXPECT_TRUE(IsJsonDesignPath("x.Json"));
    EXPECT_FALSE(IsJsonDesignPath("x.vgw"));
}
