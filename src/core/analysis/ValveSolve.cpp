#include "analysis/ValveSolve.h"

#include <cmath>
#include <cstring>
#include <limits>

using LD = long double;

namespace {

inline LD Sq(LD v) { return v * v; }
// The bytes of a long double that hold its value (x87: 10 of the 16).
constexpr size_t kLongDoubleBytes = std::numeric_limits<LD>::digits == 64 ? 10 : sizeof(LD);
inline float F(LD v) { return static_cast<float>(v); }
// arcsin as the solver computes it.
inline LD ArcSin(LD u) { return std::atan(u / std::sqrt(1.0L - u * u)); }

// The solver's three clamps (ClampDenominator, ClampUnit, AbsRadicand), noting
// a clamp in `clamped` instead of the Gear.
inline void ClampDenominator(LD& d, bool& clamped)
{
    const LD limit = 0.00001f;
    if (d >= 0 && d < limit) {
        d = limit;
        clamped = true;
    } else if (d > -limit && d < 0) {
        d = -limit;
        clamped = true;
    }
}

inline void ClampUnit(LD& u, bool& clamped)
{
    const LD limit = 0.999999f;
    if (!(u <= limit)) {
        u = limit;
        clamped = true;
    } else if (u < -limit) {
        u = -limit;
        clamped = true;
    }
}

inline void AbsRadicand(LD& v, bool& clamped)
{
    if (v < 0) {
        v = -v;
        clamped = true;
    }
}

} // namespace

ValveSolver::ValveSolver(const Gear& g, float revArmPos)
    : x1_(g.PointX[1]), y1_(g.PointY[1]), x9_(g.PointX[9]), y9_(g.PointY[9]), x15_(g.PointX[15]), y15_(g.PointY[15]),
      y3Design_(g.PointY[3]), y4Design_(g.PointY[4]), stroke_(g.Stroke), mainRod_(g.MainRodLength),
      eccCircle_(g.EccCircleDiam), eccAngle_(g.EccAngleDeg), revHeadUpper_(g.RevHeadUpper),
      revHeadLower_(g.RevHeadArmLower), strapLower_(g.EccStrapLower), strapUpper_(g.EccStrapUpper),
      strapHorz_(g.EccStrapHorz), eccRod_(g.EccRodLength), rockerLower_(g.RockerLower), rockerVert_(g.RockerUpperVert),
      rockerHorz_(g.RockerUpperHorz), valveRod_(g.ValveRodLength)
{
    bool c = false;
    // SolveLinkage step 8: the strap's length as a denominator.
    strapSum_ = static_cast<LD>(strapLower_) + strapUpper_;
    strapDen_ = strapSum_;
    ClampDenominator(strapDen_, c);
    // Step 12: the eccentric rod as a denominator.
    eccRodDen_ = eccRod_;
    ClampDenominator(eccRodDen_, c);
    // Step 14: the rocker's own angle.
    LD v = rockerVert_;
    ClampDenominator(v, c);
    rockerAtan_ = std::atan(static_cast<LD>(rockerHorz_) / v);
    // ComputePistonAndOpenings: the stroke as a denominator.
    strokeDen_ = stroke_;
    ClampDenominator(strokeDen_, c);
    pistonRodTerm_ = 2 * static_cast<LD>(mainRod_) / strokeDen_;
    designClamped_ = c;

    // ComputeEndOfSolveValues and ComputePistonAndOpenings.
    e_ = g.Cyl(ciCylCtrToDriverCtr);
    h_ = static_cast<LD>(g.Cyl(ciExhaustPortWidth)) / 2;
    vcj_ = g.Cyl(ciValveCtrToJoint);
    bwf_ = g.Cyl(ciBridgeWidthFront);
    bwr_ = g.Cyl(ciBridgeWidthRear);
    vcf_ = g.Cyl(ciValveExhCavityFrontHalf);
    vcr_ = g.Cyl(ciValveExhCavityRearHalf);
    frontSteamBase_ =
        h_ + e_ + g.Cyl(ciBridgeWidthFront) + g.Cyl(ciSteamPortWidthFront) - g.Cyl(ciValveLengthFrontHalf) - vcj_;
    rearSteamBase_ = h_ + g.Cyl(ciBridgeWidthRear) + g.Cyl(ciSteamPortWidthRear) - g.Cyl(ciValveLengthRearHalf) + vcj_;
    SetRevArmPos(revArmPos);
}

void ValveSolver::SetRevArmPos(float revArmPos)
{
    bool c = false;
    // Steps 1, 5, 6 and 7.
    x18_ = revArmPos;
    LD v = Sq(revHeadLower_) - Sq(static_cast<LD>(x18_) - x9_);
    AbsRadicand(v, c);
    y18_ = F(y9_ - std::sqrt(v));
    LD L = revHeadLower_;
    ClampDenominator(L, c);
    const float x10 = F(x9_ + (static_cast<LD>(x9_) - x18_) * revHeadUpper_ / L);
    const float y10 = F(y9_ + static_cast<LD>(revHeadUpper_) * (static_cast<LD>(y9_) - y18_) / L);
    LD D = static_cast<LD>(y10) - y18_;
    ClampDenominator(D, c);
    revHeadAngle_ = F(std::atan((static_cast<LD>(x18_) - x10) / D));
    // Step 9's sine and cosine of the reverse head.
    sinRevHead_ = std::sin(static_cast<LD>(revHeadAngle_));
    cosRevHead_ = std::cos(static_cast<LD>(revHeadAngle_));
    notchClamped_ = c;
}

// The driver angle in radians as the solver computes it, with its sine and cosine.
struct ValveSolver::AngleTrig {
    LD theta, sinTheta, cosTheta;
};

namespace {

using AngleTrig = ValveSolver::AngleTrig;

AngleTrig SolveTrigOf(float angle)
{
    const LD theta = static_cast<LD>(angle) * kPi / 180.0L;
    return {theta, std::sin(theta), std::cos(theta)};
}

// Of the whole degrees 0..359, for every design.
const std::array<AngleTrig, kWholeDegrees>& WholeDegreeTrig()
{
    static const std::array<AngleTrig, kWholeDegrees> table = [] {
        std::array<AngleTrig, kWholeDegrees> t;
        for (int k = 0; k < kWholeDegrees; ++k) t[static_cast<size_t>(k)] = SolveTrigOf(static_cast<float>(k));
        return t;
    }();
    return table;
}

// The same for any angle, from the table where it is a whole degree (the leads
// at 0 and 180).
AngleTrig TrigOf(float angle)
{
    const bool whole = !std::signbit(angle) && angle < kWholeDegrees && angle == std::floor(angle); // not -0
    return whole ? WholeDegreeTrig()[static_cast<size_t>(angle)] : SolveTrigOf(angle);
}

} // namespace

// Steps 2 to 4 and the piston at one angle, with the crosshead at height y3.
CrankTerms ValveSolver::CrankFrom(float angle, const AngleTrig& a, float y3) const
{
    CrankTerms t;
    bool c = false;
    // Step 2 (the crank pin's height) and step 3's clamp test.
    t.y2 = F(y1_ - a.sinTheta * static_cast<LD>(stroke_) / 2);
    LD v = Sq(mainRod_) - Sq(static_cast<LD>(t.y2) - y3);
    AbsRadicand(v, c);
    // Step 4. With the eccentric at angle 0 eps is theta, bit for bit (and
    // so are its sine and cosine).
    const LD eps = (static_cast<LD>(angle) + eccAngle_) * kPi / 180.0L;
    const bool same = std::memcmp(&eps, &a.theta, kLongDoubleBytes) == 0;
    const LD sinEps = same ? a.sinTheta : std::sin(eps), cosEps = same ? a.cosTheta : std::cos(eps);
    t.x5 = F(x1_ + cosEps * static_cast<LD>(eccCircle_) / 2);
    t.y5 = F(y1_ - sinEps * static_cast<LD>(eccCircle_) / 2);
    // The piston (ComputePistonAndOpenings).
    v = Sq(mainRod_) - Sq(a.sinTheta * static_cast<LD>(stroke_) / 2);
    AbsRadicand(v, c);
    t.piston = F(320 - (a.cosTheta + 2 * std::sqrt(v) / strokeDen_ - pistonRodTerm_) * 320);
    t.clamped = c;
    return t;
}

CrankTerms ValveSolver::CrankAt(float angle) const { return CrankFrom(angle, TrigOf(angle), 0); }

CrankTerms ValveSolver::CrankAtWholeDegree(int k) const
{
    return CrankFrom(static_cast<float>(k), WholeDegreeTrig()[static_cast<size_t>(k)], 0);
}

ValveSolver::CrankKey ValveSolver::CrankKeyOf() const { return {x1_, y1_, stroke_, mainRod_, eccCircle_, eccAngle_}; }

float ValveSolver::ValveJoint(float x5, float y5, float y4)
{
    bool c = false;
    // Step 8: triangle eccentric centre - reverse arm end - strap guide point.
    LD D = static_cast<LD>(y18_) - y5;
    ClampDenominator(D, c);
    const LD A = kPi - revHeadAngle_ - std::atan((static_cast<LD>(x18_) - x5) / D);
    const LD sinA = std::sin(A);
    LD u = std::sqrt(Sq(static_cast<LD>(x18_) - x5) + Sq(static_cast<LD>(y18_) - y5)) * sinA / strapDen_;
    ClampUnit(u, c);
    const LD B = kPi - A - ArcSin(u);
    const LD r = std::sin(B) * strapSum_ / sinA;
    // Step 9: strap guide point.
    const float x7 = F(x18_ - sinRevHead_ * r);
    const float y7 = F(y18_ + cosRevHead_ * r);
    // Step 10: strap inclination.
    D = static_cast<LD>(y7) - y5;
    ClampDenominator(D, c);
    const float strapAngle = F(std::atan((static_cast<LD>(x7) - x5) / D));
    // Step 11: strap points 6 and 14.
    const LD ss = std::sin(static_cast<LD>(strapAngle));
    const LD cs = std::cos(static_cast<LD>(strapAngle));
    const float x6 = F(x5 + ss * strapLower_);
    const float y6 = F(y5 + cs * strapLower_);
    const float x14 = F(x6 + cs * strapHorz_);
    const float y14 = F(y6 - ss * strapHorz_);
    // Step 12: eccentric rod and rocker upper arm.
    D = static_cast<LD>(x15_) - x14;
    ClampDenominator(D, c);
    const LD phi = std::atan((static_cast<LD>(y15_) - y14) / D);
    const LD d = std::sqrt(Sq(static_cast<LD>(x15_) - x14) + Sq(static_cast<LD>(y15_) - y14));
    u = (Sq(d) + Sq(eccRod_) - Sq(rockerVert_) - Sq(rockerHorz_)) / 2 / d / eccRodDen_;
    ClampUnit(u, c);
    // Step 13: front pin of the eccentric rod.
    float x16, y16;
    if (rockerVert_ >= 0) {
        const LD alpha = kPiHalf - ArcSin(u) - phi;
        x16 = F(x14 + std::cos(alpha) * eccRod_);
        y16 = F(y14 - std::sin(alpha) * eccRod_);
    } else {
        const LD alpha = kPiHalf - ArcSin(u) + phi;
        x16 = F(x14 + std::cos(alpha) * eccRod_);
        y16 = F(y14 + std::sin(alpha) * eccRod_);
    }
    // Step 14: rocker angle.
    D = static_cast<LD>(y15_) - y16;
    ClampDenominator(D, c);
    const LD beta = rockerAtan_ - std::atan((static_cast<LD>(x16) - x15_) / D);
    // Step 15: rocker lower end.
    const float x17 = F(x15_ - std::sin(beta) * rockerLower_);
    const float y17 = F(y15_ - std::cos(beta) * rockerLower_);
    // Step 16: valve joint.
    LD v = Sq(valveRod_) - Sq(static_cast<LD>(y4) - y17);
    AbsRadicand(v, c);
    if (c) clamped_ = true;
    return F(x17 + std::sqrt(v));
}

ValveSample ValveSolver::SampleAt(float x4, float piston) const
{
    ValveSample s;
    s.piston = piston;
    s.valveCen = F(vcj_ + x4 - e_);
    s.open[voFrontSteam] = F(frontSteamBase_ - x4);
    s.open[voFrontExh] = F(vcj_ + x4 - e_ - h_ - bwf_ + vcf_);
    s.open[voRearSteam] = F(rearSteamBase_ + x4 - e_);
    s.open[voRearExh] = F(-vcj_ - x4 + e_ - h_ - bwr_ + vcr_);
    return s;
}

ValveSample ValveSolver::FirstSolve(float angle)
{
    const CrankTerms t = CrankFrom(angle, TrigOf(angle), y3Design_);
    if (designClamped_ || notchClamped_ || t.clamped) clamped_ = true;
    return SampleAt(ValveJoint(t.x5, t.y5, y4Design_), t.piston);
}

ValveSample ValveSolver::Solve(const CrankTerms& t)
{
    if (designClamped_ || notchClamped_ || t.clamped) clamped_ = true;
    return SampleAt(ValveJoint(t.x5, t.y5, 0), t.piston);
}

const std::array<CrankTerms, kWholeDegrees>& TurnCrankTerms(const ValveSolver& solver)
{
    struct Cache {
        bool valid = false;
        ValveSolver::CrankKey key{};
        std::array<CrankTerms, kWholeDegrees> terms{};
    };
    thread_local Cache cache;
    const ValveSolver::CrankKey key = solver.CrankKeyOf();
    if (!cache.valid || std::memcmp(key.data(), cache.key.data(), sizeof key) != 0) {
        for (int k = 0; k < kWholeDegrees; ++k) cache.terms[static_cast<size_t>(k)] = solver.CrankAtWholeDegree(k);
        cache.key = key;
        cache.valid = true;
    }
    return cache.terms;
}
