// The DXF writer over dxflib: the unit in the header, and every number as
// the program writes numbers ("." whatever the locale, read back exactly).
// (The drawings are read back by an independent reader in tests/cli.)
#include "files/DxfFile.h"
#include "support/DecimalComma.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>

namespace {

// The value of the group after the first group of code `code` whose value is `name`.
std::string After(const std::string& text, const std::string& name)
{
    const size_t at = text.find("\n" + name + "\n");
    if (at == std::string::npos) return {};
    std::istringstream in(text.substr(at + name.size() + 2));
    std::string code, value;
    std::getline(in, code);
    std::getline(in, value);
    return value;
}

} // namespace

TEST(DxfFile, TheUnitIsInTheHeaderAndNumbersReadBackExactlyInAnyLocale)
{
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    const struct {
        LengthUnit unit;
        const char* insunits;
        const char* measurement;
    } units[] = {{LengthUnit::Unspecified, "0", "0"}, {LengthUnit::Inch, "1", "0"}, {LengthUnit::Millimetre, "4", "1"}};
    for (const auto& u : units) {
        DxfDrawing d;
        d.unit = u.unit;
        const int layer = d.Layer("ROCKER", dxf_colour::kCyan);
        EXPECT_EQ(d.Layer("ROCKER", dxf_colour::kRed), layer) << "a layer once";
        DxfEntity circle;
        circle.kind = DxfEntity::Kind::Circle;
        circle.layer = layer;
        circle.points = {{0.1, -1234.5678901234567}};
        circle.radius = 3.0999999046325684; // 3.1f
        d.entities.push_back(circle);
        const std::string text = DxfText(d);
        EXPECT_EQ(After(text, "$INSUNITS"), u.insunits);
        EXPECT_EQ(After(text, "$MEASUREMENT"), u.measurement);
        EXPECT_EQ(After(text, "CIRCLE").empty(), false);
        EXPECT_NE(text.find("\n  8\nROCKER\n"), std::string::npos);
        EXPECT_NE(text.find("\n 10\n0.1\n 20\n-1234.5678901234567\n"), std::string::npos);
        EXPECT_NE(text.find("\n 40\n3.0999999046325684\n"), std::string::npos);
        EXPECT_EQ(text.find(','), std::string::npos) << "no decimal comma anywhere";
        EXPECT_EQ(text.substr(text.size() - 8), "  0\nEOF\n");
        EXPECT_EQ(DxfText(d), text) << "the same drawing, the same bytes";
    }
}
