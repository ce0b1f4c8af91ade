#include "drawing/DimensionEdit.h"

#include "model/Model.h"
#include "model/NumberText.h"

#include <cmath>
#include <limits>

using LD = long double;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

// ---------------------------------------------------------------- key filters
DimensionKey FilterDimensionKey(const FieldText& field, char key)
{
    DimensionKey r;
    r.accepted = key == kKeyBackspace || key == kKeyEnter || key == '-' || key == '.' || key == ',' || IsDigit(key);
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

std::string BoundFieldText(float v) { return BoundText(v); }

bool ReadFieldNumber(const std::string& what, const std::string& text, float& value, std::string& why)
{
    long double v = 0;
    if (ReadTypedNumber(text, v) && std::fabs(v) <= std::numeric_limits<float>::max()) {
        value = ToModelFloat(v);
        why.clear();
        return true;
    }
    why = what + " must be a number, not \"" + text + "\".";
    return false;
}

std::string BoundsLeaveOutText(const std::string& name, float value, float lo, float hi)
{
    if (value >= lo && value <= hi) return "";
    return "The bounds of " + name + ", " + BoundFieldText(lo) + " to " + BoundFieldText(hi) +
           ", leave out its value " + BoundFieldText(value) + ".";
}

std::string DimensionWhereText(int code)
{
    // Lengths are in the design's units; "front" is towards the cylinder's
    // far end, away from the driver, and heights are above the driver centre.
    static const struct {
        int code;
        const char* text;
    } kWhere[] = {
        {1, "Diameter of the crank disk, the wheel drawn round the driver centre."},
        {2, "Piston stroke: twice the distance from the driver centre to the crank pin."},
        {3, "Main rod, centre to centre from the crank pin to the crosshead pin."},
        {4, "Diameter of the eccentric sheave, the disc on the driver axle that the strap rides on."},
        {5, "Eccentric throw: the diameter of the circle the eccentric centre turns on round the driver centre."},
        {6, "Angle of the eccentric centre ahead of the crank pin, seen from the driver centre, in degrees."},
        {7, "Eccentric strap, along the strap from where the rod arm branches off up to its guide on the reverse "
            "head."},
        {8, "Eccentric strap, along the strap from the eccentric centre up to where the rod arm branches off."},
        {9, "Eccentric strap arm, at right angles to the strap from the strap to the eccentric rod's back pin."},
        {10, "Eccentric rod, centre to centre from its back pin on the strap arm to its pin on the rocker."},
        {11, "Reverse head above its pivot: from the pivot up to the head's top end."},
        {12, "Reverse head arm below its pivot: from the pivot down to the reverse arm end."},
        {13, "Height of the reverse head pivot above the driver centre."},
        {14, "Horizontal distance of the reverse head pivot from the driver centre, towards the cylinder."},
        {15, "Rocker lower arm, from the rocker pivot down to the valve rod pin."},
        {16, "Rocker upper arm along the rocker, from the pivot to its elbow (negative: upwards)."},
        {17, "Rocker upper arm across the rocker, from the elbow to the eccentric rod pin."},
        {18, "Height of the rocker pivot above the driver centre."},
        {19, "Horizontal distance of the rocker pivot from the driver centre, towards the cylinder."},
        {20, "Valve rod, centre to centre from the rocker's lower pin to the valve stem joint."},
        {21, "How far the reverse arm end moves from mid gear to the normal forward or reverse notch."},
        {22, "How far the reverse arm end can move from mid gear, to full forward or full reverse."},
        {101, "Horizontal distance from the driver centre to the middle of the cylinder."},
        {102, "Height of the cylinder centre line above the driver centre."},
        {103, "Diameter of the cylinder bore."},
        {104, "Length of the cylinder bore, from cover to cover."},
        {105, "Width of each steam passage where it opens into the bore at the cylinder end."},
        {106, "From the crosshead pin to the middle of the piston, along the piston rod."},
        {107, "Thickness of the piston, along the bore."},
        {108, "Height of the port face, where the valve slides, above the cylinder centre line."},
        {109, "Height of the valve stem centre line above the cylinder centre line."},
        {110, "Width of the exhaust port in the middle of the port face."},
        {111, "Width of the rear bridge, on the port face between the exhaust port and the rear steam port."},
        {112, "Width of the front bridge, on the port face between the exhaust port and the front steam port."},
        {113, "Width of the rear steam port on the port face."},
        {114, "Width of the front steam port on the port face."},
        {115, "Height of the valve chamber above the port face."},
        {116, "Inside length of the valve chamber, end to end."},
        {117, "Height of the slide valve above the port face."},
        {118, "Slide valve, from its middle to its rear edge."},
        {119, "Slide valve, from its middle to its front edge."},
        {120, "Slide valve, from its middle to the rear edge of its exhaust cavity."},
        {121, "Slide valve, from its middle to the front edge of its exhaust cavity."},
        {122, "Valve stem, from the joint where the valve rod pins on to the middle of the valve."},
    };
    for (const auto& w : kWhere)
        if (w.code == code) return w.text;
    return "";
}
