// Motion data: every pivot of the point table over one revolution, checked
// against the solver and against the geometry it must obey, and the CSV and
// JSON texts it is written as.
#include "analysis/MotionData.h"
#include "files/TextTable.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "support/DecimalComma.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

using LD = long double;

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

std::vector<std::string> Split(const std::string& line, char sep)
{
    std::vector<std::string> out;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, sep)) out.push_back(cell);
    if (!line.empty() && line.back() == sep) out.push_back("");
    return out;
}

std::vector<std::string> CsvLines(const std::string& csv)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(csv.substr(start, end - start));
    EXPECT_EQ(start, csv.size()) << "every line ends in CR LF";
    return lines;
}

LD Distance(const MotionRow& r, int a, int b) { return std::hypot<LD>(r.x[a] - r.x[b], r.y[a] - r.y[b]); }

} // namespace

TEST(MotionData, EveryRowIsTheSolvedGearAndObeysItsGeometry)
{
    struct Design {
        const char* name;
        std::function<void(Gear&)> change;
    };
    const Design designs[] = {
        {"built-in", [](Gear&) {}},
        {"long valve rod, advanced eccentric",
         [](Gear& g) {
             SetDimension(g, 20, 4.25f);
             SetDimension(g, 6, 12.5f);
         }},
        {"long stroke", [](Gear& g) { SetDimension(g, 2, 4.75f); }},
    };
    const struct {
        float step;
        long rows;
    } steps[] = {{1, 360}, {7, 52}, {0.25f, 1440}, {360, 1}, {0.01f, 36000}};
    for (const Design& d : designs) {
        AppState s = Started();
        d.change(s.gear);
        RecomputeRevArmCentre(s.gear);
        const Gear& g = s.gear;
        const float c = g.RevArmCentre();
        for (const float arm :
             {c, ToModelFloat(static_cast<LD>(c) + g.RevArmNormal), ToModelFloat(static_cast<LD>(c) - g.RevArmMax)}) {
            for (const auto& st : steps) {
                SCOPED_TRACE(std::string(d.name) + ", arm " + ShortestText(arm) + ", step " + ShortestText(st.step));
                const Gear before = g;
                const MotionTable t = SweepMotion(g, arm, st.step);
                EXPECT_EQ(std::memcmp(&before.PointX, &g.PointX, sizeof g.PointX), 0) << "the design was touched";
                ASSERT_EQ(MotionRowCount(st.step), st.rows);
                ASSERT_EQ(static_cast<long>(t.rows.size()), st.rows);
                EXPECT_EQ(t.clampedRows, 0);
                for (long i = 0; i<st.rows; i += st.rows> 400 ? 37 : 1) {
                    const MotionRow& r = t.rows[static_cast<std::size_t>(i)];
                    // The solver on a copy at the same angle, as the main window's tick solves.
                    Gear solved = g;
                    solved.RevArmPos = arm;
                    solved.DriverAngle = ToModelFloat(static_cast<LD>(i) * st.step);
                    SolveLinkage(solved);
                    ComputePistonAndOpenings(solved);
                    ASSERT_EQ(r.driverAngle, solved.DriverAngle);
                    for (int p = 0; p < kMotionPoints; ++p) {
                        ASSERT_EQ(r.x[p], solved.PointX[p]) << "P" << p;
                        ASSERT_EQ(r.y[p], solved.PointY[p]) << "P" << p;
                    }
                    EXPECT_EQ(r.valveCen, solved.ValveCen);
                    EXPECT_EQ(r.pistonPercent, ToModelFloat(static_cast<LD>(solved.PistonPx) / 6.4L));
                    // The linkage's own geometry: the crank, the main rod, the
                    // eccentric, the arm and the fixed pivots.
                    const LD theta = static_cast<LD>(r.driverAngle) * kPi / 180;
                    EXPECT_NEAR(r.x[2], std::cos(theta) * g.Stroke / 2, 1e-5);
                    EXPECT_NEAR(r.y[2], -std::sin(theta) * g.Stroke / 2, 1e-5);
                    EXPECT_NEAR(Distance(r, 2, 3), g.MainRodLength, 1e-5);
                    EXPECT_EQ(r.y[3], 0.0f);
                    EXPECT_NEAR(Distance(r, 1, 5), g.EccCircleDiam / 2.0L, 1e-5);
                    EXPECT_NEAR(Distance(r, 4, 17), g.ValveRodLength, 1e-5);
                    EXPECT_NEAR(Distance(r, 14, 16), g.EccRodLength, 1e-4);
                    EXPECT_NEAR(Distance(r, 15, 17), g.RockerLower, 1e-5);
                    EXPECT_NEAR(Distance(r, 9, 18), g.RevHeadArmLower, 1e-5);
                    EXPECT_EQ(r.x[18], arm);
                    EXPECT_EQ(r.x[13], r.x[4]);
                    for (int fixed : {0, 1, 8, 15}) {
                        EXPECT_EQ(r.x[fixed], g.PointX[fixed]);
                        EXPECT_EQ(r.y[fixed], g.PointY[fixed]);
                    }
                    EXPECT_GE(r.pistonPercent, -1e-4f);
                    EXPECT_LE(r.pistonPercent, 100.0001f);
                    if (r.driverAngle == 0) {
                        EXPECT_NEAR(r.pistonPercent, 0, 1e-4);
                    }
                    if (r.driverAngle == 180) {
                        EXPECT_NEAR(r.pistonPercent, 100, 1e-4);
                    }
                }
            }
        }
    }
    // A main rod too short for the crank is still swept, each angle where it
    // cannot reach noted: |sin θ| · Stroke / 2 > MainRodLength, 40° to 140°
    // and 220° to 320°.
    AppState s = Started();
    s.gear.MainRodLength = 1.0f;
    const MotionTable t = SweepMotion(s.gear, s.gear.RevArmPos, 10);
    EXPECT_EQ(t.clampedRows, 22);
    for (const MotionRow& r : t.rows)
        EXPECT_EQ(r.clamped, std::fabs(std::sin(r.driverAngle * kPi / 180)) * 1.75L > 1) << r.driverAngle;
    EXPECT_EQ(MotionRowCount(0.005f) + MotionRowCount(400) + MotionRowCount(std::numeric_limits<float>::quiet_NaN()),
              0);
}

TEST(MotionData, TheCsvHasTheNamedColumnsAndEveryNumberReadsBackExactly)
{
    AppState s = Started();
    const MotionTable t = SweepMotion(s.gear, s.gear.RevArmPos, 5);
    const std::string csv = MotionCsvText(t);
    const std::vector<std::string> lines = CsvLines(csv);
    ASSERT_EQ(lines.size(), 73u);
    std::string header = "DriverAngle";
    for (int p = 0; p <= 18; ++p) header += ",P" + std::to_string(p) + ".x,P" + std::to_string(p) + ".y";
    EXPECT_EQ(lines[0], header + ",Piston %,ValveCen");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> cells = Split(lines[i], ',');
        ASSERT_EQ(cells.size(), 41u);
        const MotionRow& r = t.rows[i - 1];
        std::vector<float> want = {r.driverAngle};
        for (int p = 0; p < kMotionPoints; ++p) {
            want.push_back(r.x[p]);
            want.push_back(r.y[p]);
        }
        want.push_back(r.pistonPercent);
        want.push_back(r.valveCen);
        for (std::size_t k = 0; k < cells.size(); ++k) {
            float v = 0;
            ASSERT_TRUE(ReadFloat(cells[k], v)) << cells[k];
            EXPECT_EQ(v, want[k]) << "line " << i << " cell " << k << ": " << cells[k];
            EXPECT_GE(cells[k].size() - cells[k].find('.') - 1, 6u) << cells[k];
        }
    }
    EXPECT_EQ(lines[1].substr(0, 9), "0.000000,");
    EXPECT_EQ(lines[2].substr(0, 9), "5.000000,");
    // The same text on a desktop that writes a decimal comma.
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    EXPECT_EQ(MotionCsvText(t), csv);
    // A value that is not a number leaves its cell empty.
    MotionTable broken = t;
    broken.rows.resize(1);
    broken.rows[0].x[2] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(Split(CsvLines(MotionCsvText(broken))[1], ',')[5], "");
}

TEST(MotionData, TheJsonHoldsTheSameValuesWithThePointNames)
{
    AppState s = Started();
    s.gear.Unit = LengthUnit::Inch;
    const float arm = ToModelFloat(static_cast<LD>(s.gear.RevArmCentre()) + s.gear.RevArmNormal);
    const MotionTable t = SweepMotion(s.gear, arm, 2.5f);
    const nlohmann::json j = nlohmann::json::parse(MotionJsonText(t, "Club \"4-4-0\" gear", s.gear.Unit));
    EXPECT_EQ(j["format"], "QUELF motion");
    EXPECT_EQ(j["version"], 1);
    EXPECT_EQ(j["design"], "Club \"4-4-0\" gear");
    EXPECT_EQ(j["units"], "in");
    EXPECT_EQ(j["step"].get<double>(), 2.5);
    EXPECT_NEAR(j["revArm"].get<double>(), arm, 1e-6);
    ASSERT_EQ(j["points"].size(), 19u);
    for (int p = 0; p < kMotionPoints; ++p) {
        EXPECT_EQ(j["points"][p]["index"], p);
        EXPECT_EQ(j["points"][p]["id"], "P" + std::to_string(p));
        EXPECT_EQ(j["points"][p]["name"], MotionPointName(p));
        EXPECT_FALSE(std::string(MotionPointName(p)).empty());
    }
    EXPECT_EQ(j["points"][2]["name"], "crank pin");
    EXPECT_EQ(j["points"][3]["name"], "crosshead");
    ASSERT_EQ(j["rows"].size(), 144u);
    for (std::size_t i = 0; i < t.rows.size(); ++i) {
        const auto& row = j["rows"][i];
        const MotionRow& r = t.rows[i];
        ASSERT_EQ(row.size(), 22u);
        auto near = [](const nlohmann::json& v, float f) {
            return std::fabs(v.get<double>() - f) <= 5e-7 * std::max(1.0, std::fabs(static_cast<double>(f)));
        };
        EXPECT_TRUE(near(row["DriverAngle"], r.driverAngle));
        for (int p = 0; p < kMotionPoints; ++p) {
            const auto& xy = row["P" + std::to_string(p)];
            ASSERT_EQ(xy.size(), 2u);
            EXPECT_TRUE(near(xy[0], r.x[p]) && near(xy[1], r.y[p])) << i << " P" << p;
        }
        EXPECT_TRUE(near(row["Piston %"], r.pistonPercent));
        EXPECT_TRUE(near(row["ValveCen"], r.valveCen));
    }
    MotionTable broken = t;
    broken.rows.resize(1);
    broken.rows[0].valveCen = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(
        nlohmann::json::parse(MotionJsonText(broken, "x", LengthUnit::Unspecified))["rows"][0]["ValveCen"].is_null());
}
