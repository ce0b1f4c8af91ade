#include "model/NumberText.h"

#include "support/DecimalComma.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

// Every text the module writes or reads, the same whatever the locale.
void ExpectTheModuleTexts()
{
    struct Fixed {
        long double v;
        int width, decimals;
        const char* text;
    };
    const Fixed fixed[] = {
        {3.75L, 5, 3, "3.750"}, {8.625L, 8, 3, "   8.625"}, {-0.039L, 0, 3, "-0.039"}, {-0.0004L, 0, 3, "0.000"},
        {2.5L, 0, 0, "2"},      {0.125L, 0, 2, "0.12"},     {kNaN, 5, 3, "  NaN"},     {kInf, 0, 3, "+Inf"},
        {-kInf, 0, 1, "-Inf"},  {1e61L, 0, 3, "1.000e+61"}, {-12.5L, 7, 1, "  -12.5"}, {3.14159L, 0, -2, "3"},
    };
    for (const Fixed& c : fixed) EXPECT_EQ(FormatFixed(c.v, c.width, c.decimals), c.text) << c.text;
    EXPECT_EQ(FormatFixed10(-123456.789L, 5, 3), "-123456.78");
    EXPECT_EQ(FormatInt(-42, 5) + FormatShort1(0.04L) + " " + FormatShort1(1.96L) + " " + FormatShort1(-0.55L),
              "  -420 2 -0.6");
    EXPECT_EQ(DecimalText(0.125f, 2) + " " + DecimalText(-0.00001f, 4) + " " + DecimalText(1e61L, 1),
              "0.12 0.0000 1.0e+61");
    EXPECT_EQ(DecimalText(kNaN, 2) + DecimalText(-kInf, 2), "");
    EXPECT_EQ(ShortestText(0.1f) + " " + ShortestText(3.75f) + " " + ShortestText(-FLT_MAX) + " " + ShortestText(1e-7f),
              "0.1 3.75 -3.4028235e+38 1e-07");
    EXPECT_EQ(CompactText(FLT_MAX) + " " + CompactText(1e-7f) + " " + CompactText(1234567.0f),
              "3.4028235e38 1e-7 1234567");

    struct Parsed {
        const char* text;
        long double lenient; // ParseNumber
        bool strict;         // ReadNumber takes it, with the same value
    };
    const Parsed parsed[] = {
        {"3.750", 3.75L, true},
        {"-2.5e1", -25, true},
        {"+.5", 0.5L, true},
        {"7.", 7, true},
        {"1e-3", 0.001L, true},
        {" \t8.625", 8.625L, false},
        {"3,750", 3, false},
        {"1e", 1, false},
        {"12abc", 12, false},
        {"", 0, false},
        {"-", 0, false},
        {".", 0, false},
        {"nan", 0, false},
        {"inf", 0, false},
        {"0x10", 0, false},
        {"1e-99999", 0, true},
        {"0.1", 0.1L, true},
        {"2.5e-26", 2.5e-26L, true},
        {"1234567890123456789", 1234567890123456789.0L, true},
    };
    for (const Parsed& c : parsed) {
        EXPECT_EQ(ParseNumber(c.text), c.lenient) << '"' << c.text << '"';
        long double v = -1;
        EXPECT_EQ(ReadNumber(c.text, v), c.strict) << '"' << c.text << '"';
        if (c.strict) {
            EXPECT_EQ(v, c.lenient) << '"' << c.text << '"';
        }
    }
    // Beyond the range of a long double: the largest one of its sign, never an infinity; refused when strict.
    EXPECT_EQ(ParseNumber("1e99999"), std::numeric_limits<long double>::max());
    EXPECT_EQ(ParseNumber("-1e99999"), -std::numeric_limits<long double>::max());
    long double v = 0;
    EXPECT_FALSE(ReadNumber("1e99999", v));
}

} // namespace

TEST(NumberText, ModelFloatsFollowOneRule)
{
    struct Case {
        long double in;
        float out;
    };
    const Case cases[] = {
        {0.1L, 0.1f},       {-2.5L, -2.5f},   {1e39L, FLT_MAX},   {-1e300L, -FLT_MAX},
        {FLT_MAX, FLT_MAX}, {kInf, INFINITY}, {-kInf, -INFINITY}, {1e-50L, 0.0f},
    };
    for (const Case& c : cases) EXPECT_EQ(ToModelFloat(c.in), c.out) << static_cast<double>(c.in);
    EXPECT_TRUE(std::isnan(ToModelFloat(kNaN)));
}

TEST(NumberText, TextsAreTheSameInTheCAndInADecimalCommaLocale)
{
    ExpectTheModuleTexts();
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    char probe[32];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    ASSERT_STREQ(probe, "2,5"); // the C library now writes commas...
    ExpectTheModuleTexts();     // ...and the module does not
}

TEST(NumberText, ShortestTextReadsBackToTheSameFloat)
{
    std::mt19937 random(7);
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Active()) << german.Why();
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t bits = random();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f)) continue;
        long double back = 0;
        ASSERT_TRUE(ReadNumber(ShortestText(f), back)) << ShortestText(f);
        ASSERT_EQ(ToModelFloat(back), f) << ShortestText(f);
        ASSERT_EQ(ShortestText(f).find(','), std::string::npos);
    }
}

TEST(NumberText, WholeNumbersAreDigitsOnlyWithinSixtyFourBits)
{
    const std::pair<const char*, bool> cases[] = {
        {"0", true},
        {"500", true},
        {"18446744073709551615", true},
        {"18446744073709551616", false},
        {"", false},
        {"-1", false},
        {"+1", false},
        {"1.0", false},
        {" 1", false},
        {"1e3", false},
        {"12a", false},
    };
    for (const auto& [text, ok] : cases) {
        std::uint64_t v = 7;
        EXPECT_EQ(ReadWholeNumber(text, v), ok) << '"' << text << '"';
        EXPECT_EQ(v == 7u, !ok) << '"' << text << '"'; // untouched when refused
    }
    std::uint64_t v = 0;
    ASSERT_TRUE(ReadWholeNumber("18446744073709551615", v));
    EXPECT_EQ(v, UINT64_MAX);
}

// A time for people, rounded up to the unit shown.
TEST(NumberText, DurationTextRoundsUpToItsUnit)
{
    const std::pair<long double, const char*> cases[] = {
        {0, "1 s"},    {0.2L, "1 s"},    {40, "40 s"},        {59.5L, "60 s"},     {60, "1 min"},
        {61, "2 min"}, {3599, "60 min"}, {3600, "1 h 0 min"}, {7500, "2 h 5 min"}, {1e12L, "a very long time"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(DurationText(seconds), text) << static_cast<double>(seconds);
}
