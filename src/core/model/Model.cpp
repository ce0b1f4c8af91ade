#include "model/Model.h"

#include "model/NumberText.h"

#include <cmath>
#include <limits>

using LD = long double;

// ---------------------------------------------------------------- pixels
int ToPixel(long double v)
{
    if (std::isnan(v)) return 0;
    if (v >= kPixelLimit) return kPixelLimit;
    if (v <= -kPixelLimit) return -kPixelLimit;
    return static_cast<int>(std::lround(v));
}

int WorldToScreenX(const View& v, long double x) { return ToPixel(x * v.ViewScale + v.ViewOffsetX); }

int WorldToScreenY(const View& v, long double y) { return ToPixel(-y * v.ViewScale + v.ViewOffsetY); }

// ---------------------------------------------------------------- dimension identity
namespace {

struct DimInfo {
    int code;
    const char* name;
    const char* dialogLabel;
    const char* shortLabel;
    float defaultValue;
    int cylIndex;
};

const DimInfo kDims[] = {
#include "model/DimensionTable.inc"
};

const DimInfo* FindDim(int code)
{
    for (const DimInfo& d : kDims)
        if (d.code == code) return &d;
    return nullptr;
}

float* FrameSlot(Gear& g, int code)
{
    switch (code) {
    case 1: return &g.CrankDiskDia;
    case 2: return &g.Stroke;
    case 3: return &g.MainRodLength;
    case 4: return &g.EccentricDiam;
    case 5: return &g.EccCircleDiam;
    case 6: return &g.EccAngleDeg;
    case 7: return &g.EccStrapUpper;
    case 8: return &g.EccStrapLower;
    case 9: return &g.EccStrapHorz;
    case 10: return &g.EccRodLength;
    case 11: return &g.RevHeadUpper;
    case 12: return &g.RevHeadArmLower;
    case 13: return &g.PointY[8];
    case 14: return &g.PointX[8];
    case 15: return &g.RockerLower;
    case 16: return &g.RockerUpperVert;
    case 17: return &g.RockerUpperHorz;
    case 18: return &g.PointY[15];
    case 19: return &g.PointX[15];
    case 20: return &g.ValveRodLength;
    case 21: return &g.RevArmNormal;
    case 22: return &g.RevArmMax;
    default: return nullptr;
    }
}

float* DimSlot(Gear& g, int code)
{
    if (IsFrameCode(code)) return FrameSlot(g, code);
    if (code == 102) return &g.PointY[3];
    const int idx = CylStorageIndex(code);
    return idx >= 0 ? &g.CylDims[idx] : nullptr;
}

inline LD Sq(LD v) { return v * v; }

} // namespace

bool IsFrameCode(int code) { return code >= 1 && code <= 22; }
bool IsCylinderCode(int code) { return code >= 101 && code <= 122; }

std::string DimensionName(int code)
{
    const DimInfo* d = FindDim(code);
    return d ? d->name : "";
}

std::string DimensionDialogLabel(int code)
{
    const DimInfo* d = FindDim(code);
    return d ? d->dialogLabel : "";
}

std::string DimensionShortLabel(int code)
{
    const DimInfo* d = FindDim(code);
    return d ? d->shortLabel : "";
}

int CylStorageIndex(int code)
{
    const DimInfo* d = FindDim(code);
    return (d && IsCylinderCode(code)) ? d->cylIndex : -1;
}

const float* DimensionField(const Gear& g, int code) { return DimSlot(const_cast<Gear&>(g), code); }

float GetDimension(const Gear& g, int code)
{
    float* p = DimSlot(const_cast<Gear&>(g), code);
    return p ? *p : 0.0f;
}

void SetDimension(Gear& g, int code, float value)
{
    float* p = DimSlot(g, code);
    if (!p) return;
    *p = value;
    if (code == 13) g.PointY[9] = value;
    if (code == 14) g.PointX[9] = value;
    if (code == 102 || code == 109)
        g.PointY[13] = ToModelFloat(static_cast<LD>(g.Cyl(ciValveStemClToCylCl)) + g.PointY[3]);
}

// ---------------------------------------------------------------- start-up and resets
void ApplyStartupState(AppState& s)
{
    Gear& g = s.gear;
    g.DriverAngle = 0;
    s.anim.ActiveStep = 10;
    s.anim.Direction = RunDirection::Fwd;
    for (int i : {0, 1, 8, 9, 19, 20}) {
        g.PointX[i] = 0;
        g.PointY[i] = 0;
    }
    g.PointY[3] = 0;
    g.RevArm.fill(0);
    s.dyn.BarIncrement = 0.001f;
    for (DynSlot& slot : s.dyn.Slot) slot = DynSlot{};
    g.ErrorBeepOn = true;
    s.display.SteamDisplayOn = false;
    s.highlight.HighlightDim = 0;
    s.display.DataSetName = "Nominal";
    s.view.FontScaleX = 1;
    s.view.FontScaleY = 1;
    const float presets[21] = {0,   0,  0,     62,  315, 237,   62,  315, 410,   55, -250,
                               300, 80, -1350, 435, 200, -3650, 800, 200, -4100, 800};
    for (int i = 0; i < 21; ++i) s.view.PresetTable[i] = presets[i];
    s.graph.GraphVerticalScale = 1.5f;
    s.view.GraphicZoom = 7.5f;
    s.graph.GraphRedrawPending = false;
    s.steam.FrontSteamDensity = 20;
    s.steam.RearSteamDensity = 20;
    g.PrevFrontSteamOpen = 0;
    g.PrevRearSteamOpen = 0;
    s.steam.FrontCutOffText.clear();
    s.steam.RearCutOffText.clear();
    s.overlay.CurrentItem = 1;
    for (OverlayItem& it : s.overlay.Item) {
        it.Kind = -1;
        it.Colour = -1;
        it.Reference = -1;
    }
}

void ApplyViewDefaults(View& v)
{
    v.SavedScale = 22;
    v.SavedOffsetX = 100;
    v.SavedOffsetY = 260;
    v.ViewScale = v.HomeScale = v.PrevScale = v.SavedScale;
    v.ViewOffsetX = v.HomeOffsetX = v.PrevOffsetX = v.SavedOffsetX;
    v.ViewOffsetY = v.HomeOffsetY = v.PrevOffsetY = v.SavedOffsetY;
}

void StoreFrameDefaults(Gear& g)
{
    for (int code = 1; code <= 22; ++code) g.FrameDefaults[code - 1] = FindDim(code)->defaultValue;
    g.FrameDefaults[22] = 0; // CylClAboveDriver
    g.FrameDefaults[23] = 0; // centre
    g.PointX[9] = g.PointX[8];
    g.PointY[9] = g.PointY[8];
}

void StoreCylinderDefaults(Gear& g)
{
    g.CylDefaults.fill(0);
    for (const DimInfo& d : kDims)
        if (IsCylinderCode(d.code) && d.cylIndex >= 0) g.CylDefaults[d.cylIndex] = d.defaultValue;
    g.PointY[13] = ToModelFloat(static_cast<LD>(g.PointY[3]) + g.Cyl(ciValveStemClToCylCl));
}

void ResetFrameDimensions(Gear& g)
{
    for (int code = 1; code <= 22; ++code) *FrameSlot(g, code) = g.FrameDefaults[code - 1];
    g.PointX[9] = g.PointX[8];
    g.PointY[9] = g.PointY[8];
    g.RevArmCentre() = 0;
}

void ResetCylinderDimensions(Gear& g)
{
    g.CylDims = g.CylDefaults;
    g.PointY[3] = 0;
    g.PointY[13] = ToModelFloat(static_cast<LD>(g.PointY[3]) + g.Cyl(ciValveStemClToCylCl));
}

void RecomputeRevArmCentre(Gear& g)
{
    const float savedAngle = g.DriverAngle;
    g.DriverAngle = 0;
    SolveLinkage(g);
    if (g.EccRodLength == 0) g.EccRodLength = 0.00001f;
    const LD centre = static_cast<LD>(g.PointX[8]) - (static_cast<LD>(g.RevHeadArmLower) / g.EccRodLength / 1.4L) *
                                                         (static_cast<LD>(g.PointY[14]) - g.PointY[16]);
    g.RevArmCentre() = ToModelFloat(centre);
    const LD c = g.RevArmCentre();
    g.RevArmPos = g.RevArmCentre();
    g.RevArm[1] = g.RevArmCentre();
    g.RevArm[2] = ToModelFloat(c - g.RevArmNormal);
    g.RevArm[3] = ToModelFloat(c + g.RevArmNormal);
    g.DriverAngle = savedAngle;
}

void StartupModel(AppState& s)
{
    ApplyStartupState(s);
    ApplyViewDefaults(s.view);
    StoreFrameDefaults(s.gear);
    StoreCylinderDefaults(s.gear);
    ResetFrameDimensions(s.gear);
    ResetCylinderDimensions(s.gear);
    RecomputeRevArmCentre(s.gear);
}

// ---------------------------------------------------------------- solver
void FlagSolveError(Gear& g)
{
    if (g.ErrorBeepOn) g.SolveError = true;
}

namespace {
void NoteClamp(Gear& g, SolveGuard guard)
{
    FlagSolveError(g);
    g.SolveClamps |= SolveGuardBit(guard);
}
} // namespace

void ClampDenominator(Gear& g, long double& d, SolveGuard guard)
{
    const LD limit = 0.00001f;
    if (d >= 0 && d < limit) {
        d = limit;
        NoteClamp(g, guard);
    } else if (d > -limit && d < 0) {
        d = -limit;
        NoteClamp(g, guard);
    }
}

void ClampUnit(Gear& g, long double& u, SolveGuard guard)
{
    const LD limit = 0.999999f;
    if (!(u <= limit)) {
        u = limit;
        NoteClamp(g, guard);
    } else if (u < -limit) {
        u = -limit;
        NoteClamp(g, guard);
    }
}

void AbsRadicand(Gear& g, long double& v, SolveGuard guard)
{
    if (v < 0) {
        v = -v;
        NoteClamp(g, guard);
    }
}

namespace {
// arcsin as arctan(u / sqrt(1 - u^2)); u is always clamped into the open unit range first.
inline LD ArcSin(LD u) { return std::atan(u / std::sqrt(1.0L - u * u)); }
} // namespace

void SolveLinkage(Gear& g)
{
    auto& X = g.PointX;
    auto& Y = g.PointY;
    const LD theta = static_cast<LD>(g.DriverAngle) * kPi / 180.0L;
    g.SolveClamps = 0;

    // 1. Reverse arm end.
    X[18] = g.RevArmPos;
    // 2. Crank pin.
    X[2] = ToModelFloat(X[1] + std::cos(theta) * static_cast<LD>(g.Stroke) / 2);
    Y[2] = ToModelFloat(Y[1] - std::sin(theta) * static_cast<LD>(g.Stroke) / 2);
    // 3. Crosshead, forward solution.
    LD v = Sq(g.MainRodLength) - Sq(static_cast<LD>(Y[2]) - Y[3]);
    AbsRadicand(g, v, SolveGuard::MainRodReach);
    X[3] = ToModelFloat(X[2] + std::sqrt(v));
    // 4. Eccentric centre.
    const LD eps = (static_cast<LD>(g.DriverAngle) + g.EccAngleDeg) * kPi / 180.0L;
    X[5] = ToModelFloat(X[1] + std::cos(eps) * static_cast<LD>(g.EccCircleDiam) / 2);
    Y[5] = ToModelFloat(Y[1] - std::sin(eps) * static_cast<LD>(g.EccCircleDiam) / 2);
    // 5. Reverse arm end height, lower solution.
    v = Sq(g.RevHeadArmLower) - Sq(static_cast<LD>(X[18]) - X[9]);
    AbsRadicand(g, v, SolveGuard::RevHeadArmReach);
    Y[18] = ToModelFloat(Y[9] - std::sqrt(v));
    // 6. Upper end of the reverse head.
    LD L = g.RevHeadArmLower;
    ClampDenominator(g, L, SolveGuard::RevHeadArmZero);
    X[10] = ToModelFloat(X[9] + (static_cast<LD>(X[9]) - X[18]) * g.RevHeadUpper / L);
    Y[10] = ToModelFloat(Y[9] + static_cast<LD>(g.RevHeadUpper) * (static_cast<LD>(Y[9]) - Y[18]) / L);
    // 7. Inclination of the reverse head.
    LD D = static_cast<LD>(Y[10]) - Y[18];
    ClampDenominator(g, D, SolveGuard::RevHeadLevel);
    g.RevHeadAngle = ToModelFloat(std::atan((static_cast<LD>(X[18]) - X[10]) / D));
    // 8. Triangle eccentric centre - reverse arm end - strap guide point.
    D = static_cast<LD>(Y[18]) - Y[5];
    ClampDenominator(g, D, SolveGuard::EccCentreLevelArmEnd);
    const LD A = kPi - g.RevHeadAngle - std::atan((static_cast<LD>(X[18]) - X[5]) / D);
    LD S = static_cast<LD>(g.EccStrapLower) + g.EccStrapUpper;
    ClampDenominator(g, S, SolveGuard::StrapZero);
    LD u = std::sqrt(Sq(static_cast<LD>(X[18]) - X[5]) + Sq(static_cast<LD>(Y[18]) - Y[5])) * std::sin(A) / S;
    ClampUnit(g, u, SolveGuard::StrapReach);
    const LD B = kPi - A - ArcSin(u);
    const LD r = std::sin(B) * (static_cast<LD>(g.EccStrapLower) + g.EccStrapUpper) / std::sin(A);
    // 9. Strap guide point.
    X[7] = ToModelFloat(X[18] - std::sin(static_cast<LD>(g.RevHeadAngle)) * r);
    Y[7] = ToModelFloat(Y[18] + std::cos(static_cast<LD>(g.RevHeadAngle)) * r);
    // 10. Strap inclination.
    D = static_cast<LD>(Y[7]) - Y[5];
    ClampDenominator(g, D, SolveGuard::StrapLevel);
    g.StrapAngle = ToModelFloat(std::atan((static_cast<LD>(X[7]) - X[5]) / D));
    // 11. Strap points.
    const LD ss = std::sin(static_cast<LD>(g.StrapAngle));
    const LD cs = std::cos(static_cast<LD>(g.StrapAngle));
    X[6] = ToModelFloat(X[5] + ss * g.EccStrapLower);
    Y[6] = ToModelFloat(Y[5] + cs * g.EccStrapLower);
    X[12] = ToModelFloat(X[5] + ss * static_cast<LD>(g.EccentricDiam) / 2);
    Y[12] = ToModelFloat(Y[5] + cs * static_cast<LD>(g.EccentricDiam) / 2);
    X[14] = ToModelFloat(X[6] + cs * g.EccStrapHorz);
    Y[14] = ToModelFloat(Y[6] - ss * g.EccStrapHorz);
    // 12. Eccentric rod and rocker upper arm.
    D = static_cast<LD>(X[15]) - X[14];
    ClampDenominator(g, D, SolveGuard::EccRodUnderRocker);
    const LD phi = std::atan((static_cast<LD>(Y[15]) - Y[14]) / D);
    const LD d = std::sqrt(Sq(static_cast<LD>(X[15]) - X[14]) + Sq(static_cast<LD>(Y[15]) - Y[14]));
    LD E = g.EccRodLength;
    ClampDenominator(g, E, SolveGuard::EccRodZero);
    u = (Sq(d) + Sq(g.EccRodLength) - Sq(g.RockerUpperVert) - Sq(g.RockerUpperHorz)) / 2 / d / E;
    ClampUnit(g, u, SolveGuard::EccRodReach);
    // 13. Front pin of the eccentric rod, branch by the sign of RockerUpperVert.
    if (g.RockerUpperVert >= 0) {
        const LD alpha = kPiHalf - ArcSin(u) - phi;
        X[16] = ToModelFloat(X[14] + std::cos(alpha) * g.EccRodLength);
        Y[16] = ToModelFloat(Y[14] - std::sin(alpha) * g.EccRodLength);
    } else {
        const LD alpha = kPiHalf - ArcSin(u) + phi;
        X[16] = ToModelFloat(X[14] + std::cos(alpha) * g.EccRodLength);
        Y[16] = ToModelFloat(Y[14] + std::sin(alpha) * g.EccRodLength);
    }
    // 14. Rocker angle.
    LD V = g.RockerUpperVert;
    ClampDenominator(g, V, SolveGuard::RockerUpperVertZero);
    LD beta = std::atan(static_cast<LD>(g.RockerUpperHorz) / V);
    D = static_cast<LD>(Y[15]) - Y[16];
    ClampDenominator(g, D, SolveGuard::RockerUpperLevel);
    beta -= std::atan((static_cast<LD>(X[16]) - X[15]) / D);
    // 15. Rocker lower end and elbow.
    X[17] = ToModelFloat(X[15] - std::sin(beta) * g.RockerLower);
    Y[17] = ToModelFloat(Y[15] - std::cos(beta) * g.RockerLower);
    X[11] = ToModelFloat(X[15] - std::sin(beta) * g.RockerUpperVert);
    Y[11] = ToModelFloat(Y[15] - std::cos(beta) * g.RockerUpperVert);
    // 16. Valve joint, forward solution.
    v = Sq(g.ValveRodLength) - Sq(static_cast<LD>(Y[4]) - Y[17]);
    AbsRadicand(g, v, SolveGuard::ValveRodReach);
    X[4] = ToModelFloat(X[17] + std::sqrt(v));
    X[13] = X[4];
    // 17. Centre line heights.
    Y[3] = 0;
    Y[4] = 0;
    Y[13] = g.Cyl(ciValveStemClToCylCl);
    // 18. Static laps and valve offset.
    ComputeEndOfSolveValues(g);
}

// ---------------------------------------------------------------- port geometry
void ComputeEndOfSolveValues(Gear& g)
{
    const LD e = g.Cyl(ciCylCtrToDriverCtr);
    const LD h = static_cast<LD>(g.Cyl(ciExhaustPortWidth)) / 2;
    const LD bwf = g.Cyl(ciBridgeWidthFront), bwr = g.Cyl(ciBridgeWidthRear);
    const LD spf = g.Cyl(ciSteamPortWidthFront), spr = g.Cyl(ciSteamPortWidthRear);
    const LD vlf = g.Cyl(ciValveLengthFrontHalf), vlr = g.Cyl(ciValveLengthRearHalf);
    const LD vcf = g.Cyl(ciValveExhCavityFrontHalf), vcr = g.Cyl(ciValveExhCavityRearHalf);
    const LD vcj = g.Cyl(ciValveCtrToJoint);

    g.FrontSteamOpenLine = ToModelFloat(h + bwf + spf - vlf);
    g.FrontSteamMaxLine = ToModelFloat(h + bwf - vlf);
    g.FrontExhOpenLine = ToModelFloat(h + bwf - vcf);
    g.RearSteamOpenLine = ToModelFloat(h + bwr + spr - vlr);
    g.RearSteamMaxLine = ToModelFloat(h + bwr - vlr);
    g.RearExhOpenLine = ToModelFloat(h + bwr - vcr);
    g.ValveCen = ToModelFloat(vcj + g.PointX[4] - e);
    g.RearLeadBase = ToModelFloat(g.RearSteamOpenLine + vcj - e);
    g.FrontLeadBase = ToModelFloat(g.FrontSteamOpenLine + e - vcj);
    g.FrontSteamLap = -g.FrontSteamOpenLine;
    g.RearSteamLap = -g.RearSteamOpenLine;
    g.FrontExhClear = -g.FrontExhOpenLine;
    g.RearExhClear = -g.RearExhOpenLine;
}

void ComputePistonAndOpenings(Gear& g)
{
    LD S = g.Stroke;
    ClampDenominator(g, S, SolveGuard::StrokeZero);
    const LD theta = static_cast<LD>(g.DriverAngle) * kPi / 180.0L;
    LD v = Sq(g.MainRodLength) - Sq(std::sin(theta) * static_cast<LD>(g.Stroke) / 2);
    AbsRadicand(g, v, SolveGuard::MainRodReach);
    g.PistonPx =
        ToModelFloat(320 - (std::cos(theta) + 2 * std::sqrt(v) / S - 2 * static_cast<LD>(g.MainRodLength) / S) * 320);

    const LD e = g.Cyl(ciCylCtrToDriverCtr);
    const LD h = static_cast<LD>(g.Cyl(ciExhaustPortWidth)) / 2;
    const LD x4 = g.PointX[4];
    const LD vcj = g.Cyl(ciValveCtrToJoint);
    g.FrontSteamOpen = ToModelFloat(h + e + g.Cyl(ciBridgeWidthFront) + g.Cyl(ciSteamPortWidthFront) -
                                    g.Cyl(ciValveLengthFrontHalf) - vcj - x4);
    g.RearSteamOpen = ToModelFloat(h + g.Cyl(ciBridgeWidthRear) + g.Cyl(ciSteamPortWidthRear) -
                                   g.Cyl(ciValveLengthRearHalf) + vcj + x4 - e);
    g.FrontExhOpen = ToModelFloat(vcj + x4 - e - h - g.Cyl(ciBridgeWidthFront) + g.Cyl(ciValveExhCavityFrontHalf));
    g.RearExhOpen = ToModelFloat(-vcj - x4 + e - h - g.Cyl(ciBridgeWidthRear) + g.Cyl(ciValveExhCavityRearHalf));
}

void BuildCylinderOutline(Gear& g, const View& vw)
{
    auto sx = [&](LD x) { return WorldToScreenX(vw, x); };
    auto sy = [&](LD y) { return WorldToScreenY(vw, y); };
    auto P = [&](LD x, LD y) { return ScreenPt{sx(x), sy(y)}; };

    const LD e = g.Cyl(ciCylCtrToDriverCtr);
    const LD h = static_cast<LD>(g.Cyl(ciExhaustPortWidth)) / 2;
    const LD y0 = g.PointY[3];
    const LD ys = y0 + g.Cyl(ciValveSurfaceToCylCl);
    const LD yt = ys + g.Cyl(ciValveChamberHeight);
    const LD B = static_cast<LD>(g.Cyl(ciCylBoreLength)) / 2;
    const LD R = static_cast<LD>(g.Cyl(ciCylBoreDia)) / 2;
    const LD n = g.Cyl(ciExhaustPortWidth);
    const LD hc = static_cast<LD>(g.Cyl(ciValveChamberLength)) / 2;
    const LD rearInner = e - h - g.Cyl(ciBridgeWidthRear);
    const LD rearOuter = rearInner - g.Cyl(ciSteamPortWidthRear);
    const LD frontInner = e + h + g.Cyl(ciBridgeWidthFront);
    const LD frontOuter = frontInner + g.Cyl(ciSteamPortWidthFront);

    g.CylOutline = {P(e - h, yt),      P(e - hc, yt),    P(e - hc, ys),    P(rearOuter, ys), P(rearOuter, ys - n / 3),
                    P(e - B, y0 + R),  P(e - B, y0 - R), P(e + B, y0 - R), P(e + B, y0 + R), P(frontOuter, ys - n / 3),
                    P(frontOuter, ys), P(e + hc, ys),    P(e + hc, yt),    P(e + h, yt)};

    const LD spr = g.Cyl(ciSteamPortWidthRear);
    const LD cspw = g.Cyl(ciCylSteamPortWidth);
    g.PortOutline = {P(e - h, ys - spr),
                     P(e - h, ys),
                     P(rearInner, ys),
                     P(rearInner, ys - n / 1.5L),
                     P(e - B + cspw, y0 + R),
                     P(e + B - cspw, y0 + R),
                     P(frontInner, ys - n / 1.5L),
                     P(frontInner, ys),
                     P(e + h, ys),
                     P(e + h, ys - spr)};
}

void BuildPistonValveOutline(Gear& g, const View& vw)
{
    auto sx = [&](LD x) { return WorldToScreenX(vw, x); };
    auto sy = [&](LD y) { return WorldToScreenY(vw, y); };
    auto P = [&](LD x, LD y) { return ScreenPt{sx(x), sy(y)}; };

    const LD y0 = g.PointY[3];
    const LD R = static_cast<LD>(g.Cyl(ciCylBoreDia)) / 2;
    const LD p = static_cast<LD>(g.PointX[3]) + g.Cyl(ciPistonCtrToCrosshead);
    const LD k = static_cast<LD>(g.Cyl(ciPistonWidth)) / 2;
    g.PistonOutline = {P(p - k, y0 + R), P(p - k, y0 - R), P(p + k, y0 - R), P(p + k, y0 + R)};
    g.PistonRodEnd = P(p + k, y0);

    const LD vc = static_cast<LD>(g.PointX[4]) + g.Cyl(ciValveCtrToJoint);
    const LD rearEdge = vc - g.Cyl(ciValveLengthRearHalf);
    const LD frontEdge = vc + g.Cyl(ciValveLengthFrontHalf);
    const LD cavFront = vc + g.Cyl(ciValveExhCavityFrontHalf);
    const LD cavRear = vc - g.Cyl(ciValveExhCavityRearHalf);
    g.ValveRearEnd = P(rearEdge, g.PointY[4]);

    const LD ys = y0 + g.Cyl(ciValveSurfaceToCylCl);
    const LD yv = ys + g.Cyl(ciValveHeight);
    const int syv = sy(yv);
    const int sys = sy(ys);
    // Screen integers stay within +-kPixelLimit, so the difference cannot overflow.
    const int cavityTop = syv + (sys - syv) / 3;
    g.ValveOutline = {P(rearEdge, yv),
                      P(frontEdge, yv),
                      P(frontEdge, ys),
                      P(cavFront, ys),
                      ScreenPt{sx(cavFront), cavityTop},
                      ScreenPt{sx(cavRear), cavityTop},
                      P(cavRear, ys),
                      P(rearEdge, ys)};
}

// ---------------------------------------------------------------- animation tick
void MapPointsToScreen(Gear& g, const View& v)
{
    for (int i = 0; i < kScreenPoints; ++i) {
        g.ScreenX[i] = WorldToScreenX(v, g.PointX[i]);
        g.ScreenY[i] = WorldToScreenY(v, g.PointY[i]);
    }
}

float FoldDriverAngle(float a)
{
    if (a > 360.1L) a = ToModelFloat(static_cast<LD>(a) - 360);
    if (a < 0) a = ToModelFloat(static_cast<LD>(a) + 360);
    return a;
}

void TickModel(AppState& s)
{
    Gear& g = s.gear;
    SolveLinkage(g);
    ComputePistonAndOpenings(g);
    MapPointsToScreen(g, s.view);
    BuildCylinderOutline(g, s.view);
    BuildPistonValveOutline(g, s.view);
    g.SolvedDriverAngle = g.DriverAngle;
    if (s.anim.Direction == RunDirection::Fwd)
        g.DriverAngle = ToModelFloat(static_cast<LD>(g.DriverAngle) + s.anim.ActiveStep);
    else
        g.DriverAngle = ToModelFloat(static_cast<LD>(g.DriverAngle) - s.anim.ActiveStep);
    g.DriverAngle = FoldDriverAngle(g.DriverAngle);
}

StepBand StepBandForPosition(int p)
{
    static const struct {
        int upTo;
        StepBand band;
    } kBands[] = {
        {704, {0.01f, 1, 5}},      {1591, {0.02f, 2, 10}},
        {2408, {0.03f, 3, 15}},    {3612, {0.05f, 5, 25}},
        {4704, {0.1f, 10, 50}},    {5591, {0.2f, 20, 100}},
        {6408, {0.3f, 30, 150}},   {7612, {0.5f, 50, 250}},
        {8704, {1, 100, 500}},     {9591, {2, 200, 1000}},
        {10408, {3, 300, 1500}},   {11612, {5, 500, 2500}},
        {12704, {10, 1000, 4500}}, {13591, {20, 2000, 4500}},
        {14408, {30, 3000, 4500}}, {std::numeric_limits<int>::max(), {45, 4500, 4500}},
    };
    for (const auto& b : kBands)
        if (p <= b.upTo) return b.band;
    return kBands[0].band;
}

int StepBarPosition(float step)
{
    const LD s = step;
    if (!(s > 0)) return 0;
    return ToPixel(4000.0L * std::log10(100.0L * s));
}
