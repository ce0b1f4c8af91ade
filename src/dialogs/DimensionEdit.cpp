#include "dialogs/DimensionEdit.h"

#include "model/Model.h"
#include "model/NumberText.h"

#include <cmath>

using LD = long double;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

// ---------------------------------------------------------------- key filters
DimensionKey FilterDimensionKey(const FieldText& field, char key)
{
    DimensionKey r;
    r.accepted = key == kKeyBackspace || key == kKeyEnter || key == '-' || key == '.' || IsDigit(key);
    if (!r.accepted) return r;
    if (key == kKeyEnter) {
        r.enter = true;
        return r;
    }
    r.keep = key == kKeyBackspace || NumberEntryAccepted(field, std::string(1, key), true);
    return r;
}

bool FilterSmallDialogKey(const FieldText& field, char key, bool allowMinus)
{
    return key == kKeyBackspace || NumberEntryAccepted(field, std::string(1, key), allowMinus);
}

// ---------------------------------------------------------------- dimension dialogs
std::string DimensionFieldText(const Gear& g, int code) { return FormatFixed(GetDimension(g, code), 5, 3); }

void NoteDimensionKey(AppState& s, int code, const DimensionKey& key)
{
    if (key.accepted) NoteDimensionTyped(s, code);
}

int RevArmBarLimit(const Gear& g) { return ToPixel(1000.0L * g.RevArmMax); }

// ---------------------------------------------------------------- small dialogs
std::string RevPosLabel(const std::string& prefix, LD value)
{
    std::string s = prefix + FormatFixed10(value, 5, 3);
    if (s.size() > 16) s.resize(16);
    return s;
}

float RevPosFromText(const Gear& g, const std::string& text)
{
    const LD c = g.RevArmCentre();
    const LD m = g.RevArmMax;
    float pos = FieldValue(text);
    if (c - m > pos) pos = ToModelFloat(c - m);
    if (pos > c + m) pos = ToModelFloat(c + m);
    return pos;
}

int RevArmBarPosition(const Gear& g, float pos) { return ToPixel(1000.0L * (static_cast<LD>(pos) - g.RevArmCentre())); }

float DriverAngleFromText(const std::string& text)
{
    float a = FieldValue(text);
    if (!(a >= 0)) a = 0;
    if (a > 360) a = 360;
    return a;
}

float StepAngleFromText(const std::string& text)
{
    float step = FieldValue(text);
    if (step > 45) step = 45;
    if (step < 0.01f) step = 0.01f;
    return step;
}

std::string BoundFieldText(float v)
{
    std::string t = DecimalText(v, std::fabs(v) >= 0.01f || v == 0 ? 4 : 8);
    if (t.find('.') != std::string::npos) {
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == '.') t.pop_back();
    }
    return t;
}
