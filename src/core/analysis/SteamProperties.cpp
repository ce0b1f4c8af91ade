#include "analysis/SteamProperties.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using LD = double;

namespace if97 {
namespace {

struct Term {
    int I, J;
    LD n;
};
struct IdealTerm {
    int J;
    LD n;
};

// Region 1: IAPWS-IF97 table 2 (coefficients of eq. 7), reduced by
// p* = 16.53 MPa and T* = 1386 K.
constexpr Term kRegion1[] = {
    {0, -2, 1.4632971213167e-01},    {0, -1, -8.4548187169114e-01},   {0, 0, -3.7563603672040e+00},
    {0, 1, 3.3855169168385e+00},     {0, 2, -9.5791963387872e-01},    {0, 3, 1.5772038513228e-01},
    {0, 4, -1.6616417199501e-02},    {0, 5, 8.1214629983568e-04},     {1, -9, 2.8319080123804e-04},
    {1, -7, -6.0706301565874e-04},   {1, -1, -1.8990068218419e-02},   {1, 0, -3.2529748770505e-02},
    {1, 1, -2.1841717175414e-02},    {1, 3, -5.2838357969930e-05},    {2, -3, -4.7184321073267e-04},
    {2, 0, -3.0001780793026e-04},    {2, 1, 4.7661393906987e-05},     {2, 3, -4.4141845330846e-06},
    {2, 17, -7.2694996297594e-16},   {3, -4, -3.1679644845054e-05},   {3, 0, -2.8270797985312e-06},
    {3, 6, -8.5205128120103e-10},    {4, -5, -2.2425281908000e-06},   {4, -2, -6.5171222895601e-07},
    {4, 10, -1.4341729937924e-13},   {5, -8, -4.0516996860117e-07},   {8, -11, -1.2734301741641e-09},
    {8, -6, -1.7424871230634e-10},   {21, -29, -6.8762131295531e-19}, {23, -31, 1.4478307828521e-20},
    {29, -38, 2.6335781662795e-23},  {30, -39, -1.1947622640071e-23}, {31, -40, 1.8228094581404e-24},
    {32, -41, -9.3537087292458e-26},
};

// Region 2, the ideal-gas part: IAPWS-IF97 table 10 (eq. 16).
constexpr IdealTerm kRegion2Ideal[] = {
    {0, -9.6927686500217e+00},  {1, 1.0086655968018e+01},   {-5, -5.6087911283020e-03},
    {-4, 7.1452738081455e-02},  {-3, -4.0710498223928e-01}, {-2, 1.4240819171444e+00},
    {-1, -4.3839511319450e+00}, {2, -2.8408632460772e-01},  {3, 2.1268463753307e-02},
};

// Region 2, the residual part: IAPWS-IF97 table 11 (eq. 17); p* = 1 MPa,
// T* = 540 K.
constexpr Term kRegion2Residual[] = {
    {1, 0, -1.7731742473213e-03},   {1, 1, -1.7834862292358e-02},   {1, 2, -4.5996013696365e-02},
    {1, 3, -5.7581259083432e-02},   {1, 6, -5.0325278727930e-02},   {2, 1, -3.3032641670203e-05},
    {2, 2, -1.8948987516315e-04},   {2, 4, -3.9392777243355e-03},   {2, 7, -4.3797295650573e-02},
    {2, 36, -2.6674547914087e-05},  {3, 0, 2.0481737692309e-08},    {3, 1, 4.3870667284435e-07},
    {3, 3, -3.2277677238570e-05},   {3, 6, -1.5033924542148e-03},   {3, 35, -4.0668253562649e-02},
    {4, 1, -7.8847309559367e-10},   {4, 2, 1.2790717852285e-08},    {4, 3, 4.8225372718507e-07},
    {5, 7, 2.2922076337661e-06},    {6, 3, -1.6714766451061e-11},   {6, 16, -2.1171472321355e-03},
    {6, 35, -2.3895741934104e+01},  {7, 0, -5.9059564324270e-18},   {7, 11, -1.2621808899101e-06},
    {7, 25, -3.8946842435739e-02},  {8, 8, 1.1256211360459e-11},    {8, 36, -8.2311340897998e+00},
    {9, 13, 1.9809712802088e-08},   {10, 4, 1.0406965210174e-19},   {10, 10, -1.0234747095929e-13},
    {10, 14, -1.0018179379511e-09}, {16, 29, -8.0882908646985e-11}, {16, 50, 1.0693031879409e-01},
    {18, 57, -3.3662250574171e-01}, {20, 20, 8.9185845355421e-25},  {20, 35, 3.0629316876232e-13},
    {20, 48, -4.2002467698208e-06}, {21, 21, -5.9056029685639e-26}, {22, 53, 3.7826947613457e-06},
    {23, 39, -1.2768608934681e-15}, {24, 26, 7.3087610595061e-29},  {24, 40, 5.5414715350778e-17},
    {24, 58, -9.4369707241210e-07},
};

// Region 4, the saturation line: IAPWS-IF97 table 34 (eqs. 30 and 31), n1..n10.
constexpr LD kN4[11] = {0,
                        0.11670521452767e4,
                        -0.72421316703206e6,
                        -0.17073846940092e2,
                        0.12020824702470e5,
                        -0.32325550322333e7,
                        0.14915108613530e2,
                        -0.48232657361591e4,
                        0.40511340542057e6,
                        -0.23855557567849,
                        0.65017534844798e3};

// The dimensionless Gibbs free energy and its derivatives by pi and tau.
struct Gamma {
    LD g = 0, p = 0, pp = 0, t = 0, tt = 0, pt = 0;
};

// Powers x^k for k = lo..hi (lo <= 0 <= hi) by repeated multiplication.
template <int Lo, int Hi>
struct Powers {
    std::array<LD, Hi - Lo + 1> value{};
    explicit Powers(LD x)
    {
        value[-Lo] = 1;
        for (int k = 1; k <= Hi; ++k) value[k - Lo] = value[k - 1 - Lo] * x;
        const LD inv = x != 0 ? 1 / x : 0;
        for (int k = -1; k >= Lo; --k) value[k - Lo] = value[k + 1 - Lo] * inv;
    }
    LD operator()(int k) const { return value[k - Lo]; }
};

// A term n x^I y^J with the products of n and the exponents that its
// derivatives take, made once.
struct Prepared {
    int I, J;
    LD n, nI, nII, nJ, nJJ, nIJ;
};
template <std::size_t N>
std::array<Prepared, N> Prepare(const Term (&terms)[N])
{
    std::array<Prepared, N> out{};
    for (std::size_t k = 0; k < N; ++k) {
        const Term& t = terms[k];
        const LD I = t.I, J = t.J;
        out[k] = {t.I, t.J, t.n, t.n * I, t.n * I * (I - 1), t.n * J, t.n * J * (J - 1), t.n * I * J};
    }
    return out;
}

Phase FromGamma(const Gamma& y, LD T, LD p, LD pStar, LD tau)
{
    const LD g = kR * T * y.g;
    const LD gp = kR * T * y.p / pStar;
    const LD gT = kR * (y.g - tau * y.t);
    const LD gpp = kR * T * y.pp / (pStar * pStar);
    const LD gpT = kR / pStar * (y.p - tau * y.pt);
    const LD gTT = kR * tau * tau * y.tt / T;
    Phase ph;
    ph.T = T;
    ph.p = p;
    ph.v = gp;
    ph.s = -gT;
    ph.h = g - T * gT;
    ph.u = ph.h - p * ph.v;
    ph.cp = -T * gTT;
    const LD w2 = gp * gp / (gpT * gpT / gTT - gpp);
    ph.w = w2 > 0 ? std::sqrt(w2) : 0;
    ph.vT = gpT;
    ph.vp = gpp;
    ph.uT = ph.cp - p * gpT;
    ph.up = -T * gpT - p * gpp;
    return ph;
}

} // namespace

Phase Region1(LD T, LD p)
{
    static const auto terms = Prepare(kRegion1);
    constexpr LD pStar = 16.53e6, TStar = 1386;
    const LD pi = p / pStar, tau = TStar / T;
    // In region 1 the derivative by pi of (7.1 - pi)^I is -I (7.1 - pi)^(I-1).
    const Powers<-2, 32> a(7.1 - pi);
    const Powers<-43, 17> b(tau - 1.222);
    Gamma y;
    for (const Prepared& k : terms) {
        const LD aI = a(k.I), aI1 = a(k.I - 1), bJ = b(k.J), bJ1 = b(k.J - 1);
        y.g += k.n * aI * bJ;
        y.t += k.nJ * aI * bJ1;
        y.tt += k.nJJ * aI * b(k.J - 2);
        y.p -= k.nI * aI1 * bJ;
        y.pp += k.nII * a(k.I - 2) * bJ;
        y.pt -= k.nIJ * aI1 * bJ1;
    }
    return FromGamma(y, T, p, pStar, tau);
}

Phase Region2(LD T, LD p)
{
    static const auto terms = Prepare(kRegion2Residual);
    constexpr LD pStar = 1e6, TStar = 540;
    const LD pi = p / pStar, tau = TStar / T;
    Gamma y;
    // The ideal-gas part.
    y.g = std::log(pi);
    y.p = 1 / pi;
    y.pp = -1 / (pi * pi);
    const Powers<-7, 3> t(tau);
    for (const IdealTerm& k : kRegion2Ideal) {
        const LD J = k.J;
        y.g += k.n * t(k.J);
        y.t += k.n * J * t(k.J - 1);
        y.tt += k.n * J * (J - 1) * t(k.J - 2);
    }
    // The residual part.
    const Powers<-1, 24> a(pi);
    const Powers<-2, 58> b(tau - 0.5);
    for (const Prepared& k : terms) {
        const LD aI = a(k.I), aI1 = a(k.I - 1), bJ = b(k.J), bJ1 = b(k.J - 1);
        y.g += k.n * aI * bJ;
        y.p += k.nI * aI1 * bJ;
        y.pp += k.nII * a(k.I - 2) * bJ;
        y.t += k.nJ * aI * bJ1;
        y.tt += k.nJJ * aI * b(k.J - 2);
        y.pt += k.nIJ * aI1 * bJ1;
    }
    return FromGamma(y, T, p, pStar, tau);
}

LD SaturationPressure(LD T)
{
    const LD th = T + kN4[9] / (T - kN4[10]);
    const LD A = th * th + kN4[1] * th + kN4[2];
    const LD B = kN4[3] * th * th + kN4[4] * th + kN4[5];
    const LD C = kN4[6] * th * th + kN4[7] * th + kN4[8];
    const LD r = 2 * C / (-B + std::sqrt(B * B - 4 * A * C));
    return r * r * r * r * 1e6;
}

LD SaturationTemperature(LD p)
{
    const LD beta = std::sqrt(std::sqrt(p / 1e6));
    const LD E = beta * beta + kN4[3] * beta + kN4[6];
    const LD F = kN4[1] * beta * beta + kN4[4] * beta + kN4[7];
    const LD G = kN4[2] * beta * beta + kN4[5] * beta + kN4[8];
    const LD D = 2 * G / (-F - std::sqrt(F * F - 4 * E * G));
    const LD s = kN4[10] + D;
    return (s - std::sqrt(s * s - 4 * (kN4[9] + kN4[10] * D))) / 2;
}

namespace {

// The saturation table: values and derivatives by T at every node.
constexpr LD kTableStep = 0.25;
constexpr int kTableNodes = static_cast<int>((kTsatMax - kTmin) / kTableStep + 0.5) + 1;
constexpr int kSatValues = 9;

using SatArray = std::array<LD, kSatValues>;

Saturation FromArray(const SatArray& a) { return {a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]}; }

struct TableNode {
    SatArray value, slope;
};

// Values on the line at T and their total derivatives by T: each phase's
// partial derivatives and the slope of the saturation pressure.
TableNode SaturationNode(LD T)
{
    const LD p = SaturationPressure(T);
    constexpr LD h = 1e-3; // K: central difference of eq. 30, error below 1e-12
    const LD dp = (SaturationPressure(T + h) - SaturationPressure(T - h)) / (2 * h);
    const Phase f = Region1(T, p), g = Region2(T, p);
    auto along = [dp, T](const Phase& ph) {
        // (v, u, h, s) and their derivatives along the line.
        const LD vT = ph.vT + ph.vp * dp;
        const LD uT = ph.uT + ph.up * dp;
        const LD hT = ph.cp + (ph.v - T * ph.vT) * dp;
        const LD sT = ph.cp / T - ph.vT * dp;
        return std::array<LD, 4>{vT, uT, hT, sT};
    };
    const auto df = along(f), dg = along(g);
    TableNode n;
    n.value = {p, f.v, g.v, f.u, g.u, f.h, g.h, f.s, g.s};
    n.slope = {dp, df[0], dg[0], df[1], dg[1], df[2], dg[2], df[3], dg[3]};
    return n;
}

const std::vector<TableNode>& SaturationTable()
{
    static const std::vector<TableNode> table = [] {
        std::vector<TableNode> t(kTableNodes);
        for (int i = 0; i < kTableNodes; ++i) t[i] = SaturationNode(kTmin + i * kTableStep);
        return t;
    }();
    return table;
}

} // namespace

namespace {

// Cubic Hermite between the nodes of the table at T, for the values `first`
// to `first + count - 1` of a node (in the order of Saturation).
void Interpolate(LD T, int first, int count, LD* value, LD* slope)
{
    const std::vector<TableNode>& table = SaturationTable();
    const LD x = std::clamp((T - kTmin) / kTableStep, 0.0, static_cast<LD>(kTableNodes - 1));
    const int i = std::min(static_cast<int>(x), kTableNodes - 2);
    const LD t = x - i, t2 = t * t, t3 = t2 * t;
    const TableNode &a = table[i], &b = table[i + 1];
    const LD h00 = 2 * t3 - 3 * t2 + 1, h10 = (t3 - 2 * t2 + t) * kTableStep, h01 = -2 * t3 + 3 * t2,
             h11 = (t3 - t2) * kTableStep;
    const LD d00 = (6 * t2 - 6 * t) / kTableStep, d10 = 3 * t2 - 4 * t + 1, d11 = 3 * t2 - 2 * t;
    for (int k = first; k < first + count; ++k) {
        value[k - first] = h00 * a.value[k] + h10 * a.slope[k] + h01 * b.value[k] + h11 * b.slope[k];
        slope[k - first] = d00 * (a.value[k] - b.value[k]) + d10 * a.slope[k] + d11 * b.slope[k];
    }
}

} // namespace

Saturation SaturatedAt(LD T, Saturation* d)
{
    SatArray v{}, s{};
    Interpolate(T, 0, kSatValues, v.data(), s.data());
    if (d) *d = FromArray(s);
    return FromArray(v);
}

void SaturatedVolumeEnergy(LD T, LD* vu, LD* slope) { Interpolate(T, 1, 4, vu, slope); }

} // namespace if97

namespace {

using if97::Phase;
using if97::Saturation;

constexpr LD kZeunerA = 1.035, kZeunerB = 0.1; // Zeuner's exponent of wet steam, 1.035 + 0.1 x

SteamState FromPhase(const Phase& ph)
{
    SteamState st;
    st.p = ph.p;
    st.T = ph.T;
    st.v = ph.v;
    st.u = ph.u;
    st.h = ph.h;
    st.s = ph.s;
    st.wet = false;
    st.x = 1;
    st.kappa = ph.w * ph.w / (ph.p * ph.v);
    const LD det = ph.vT * ph.up - ph.vp * ph.uT;
    st.pv = -ph.uT / det;
    st.pu = ph.vT / det;
    st.Tv = ph.up / det;
    st.Tu = -ph.vp / det;
    return st;
}

SteamState FromWet(LD T, LD x, const Saturation& s, const Saturation& d)
{
    SteamState st;
    st.T = T;
    st.x = x;
    st.wet = true;
    st.p = s.p;
    st.v = s.vf + x * (s.vg - s.vf);
    st.u = s.uf + x * (s.ug - s.uf);
    st.h = s.hf + x * (s.hg - s.hf);
    st.s = s.sf + x * (s.sg - s.sf);
    st.kappa = kZeunerA + kZeunerB * x;
    // Derivatives of (v, u) by (T, x), inverted for those of T by (v, u).
    const LD vT = d.vf + x * (d.vg - d.vf), vx = s.vg - s.vf;
    const LD uT = d.uf + x * (d.ug - d.uf), ux = s.ug - s.uf;
    const LD det = vT * ux - vx * uT;
    st.Tv = ux / det;
    st.Tu = -vx / det;
    st.pv = d.p * st.Tv;
    st.pu = d.p * st.Tu;
    return st;
}

// The two-phase equation at T: zero where (v, u) splits into the saturated
// phases at T in the same proportion by volume and by energy.
LD WetResidual(LD T, LD v, LD u, LD* slope)
{
    LD a[4], d[4]; // vf, vg, uf, ug and their slopes
    if97::SaturatedVolumeEnergy(T, a, d);
    const LD f = (u - a[2]) * (a[1] - a[0]) - (v - a[0]) * (a[3] - a[2]);
    if (slope)
        *slope = -d[2] * (a[1] - a[0]) + (u - a[2]) * (d[1] - d[0]) + d[0] * (a[3] - a[2]) - (v - a[0]) * (d[3] - d[2]);
    return f;
}

// The temperature of the two-phase split of (v, u); false when there is none
// on the saturation line the table covers. The residual falls with T.
bool WetTemperature(LD v, LD u, LD start, LD& T)
{
    LD lo = if97::kTmin, hi = if97::kTsatMax;
    // Newton from the start, kept in the bracket as it narrows.
    T = std::clamp(start, lo, hi);
    bool bracketed = false;
    for (int k = 0; k < 100; ++k) {
        LD slope = 0;
        const LD f = WetResidual(T, v, u, &slope);
        if (f == 0) return true;
        if (f > 0)
            lo = T;
        else
            hi = T;
        LD next = slope < 0 ? T - f / slope : (lo + hi) / 2;
        const bool newton = next > lo && next < hi;
        if (!newton) {
            if (!bracketed) {
                // Make sure the line holds a root before halving.
                if (WetResidual(if97::kTmin, v, u, nullptr) < 0 || WetResidual(if97::kTsatMax, v, u, nullptr) > 0)
                    return false;
                bracketed = true;
            }
            next = (lo + hi) / 2;
        }
        // A Newton step this small leaves an error of its square: done.
        if (std::abs(next - T) < (newton ? 1e-6 : 1e-12 * T)) {
            T = next;
            return true;
        }
        T = next;
    }
    return true;
}

// Newton on (T, p) for a single phase of given v and u. The last step is
// taken on the properties to first order (a step this small leaves an error of
// its square).
bool SinglePhase(int region, LD v, LD u, LD T, LD p, Phase& out)
{
    for (int k = 0; k < 60; ++k) {
        const Phase ph = region == 1 ? if97::Region1(T, p) : if97::Region2(T, p);
        out = ph;
        const LD rv = ph.v - v, ru = ph.u - u;
        const LD det = ph.vT * ph.up - ph.vp * ph.uT;
        if (!(det != 0) || !std::isfinite(det)) return false;
        LD dT = -(ph.up * rv - ph.vp * ru) / det;
        LD dp = -(-ph.uT * rv + ph.vT * ru) / det;
        if (std::abs(dT) < 1e-7 * T && std::abs(dp) < 1e-7 * p) {
            out.T = T + dT;
            out.p = p + dp;
            out.h += ph.cp * dT + (ph.v - T * ph.vT) * dp;
            out.s += ph.cp / T * dT - ph.vT * dp;
            out.v = v;
            out.u = u;
            return true;
        }
        // Keep the pressure positive and the temperature within reason.
        if (p + dp <= 0) dp = -0.75 * p;
        dT = std::clamp(dT, -0.5 * T, 0.5 * T);
        T += dT;
        p += dp;
    }
    return false;
}

} // namespace

SteamState SteamAtPT(LD p, LD T)
{
    if (T >= if97::kTsatMax || p <= if97::SaturationPressure(T)) return FromPhase(if97::Region2(T, p));
    SteamState liquid = FromPhase(if97::Region1(T, p));
    liquid.x = 0;
    return liquid;
}

SteamState SaturatedSteam(LD p, LD x)
{
    const LD T = if97::SaturationTemperature(p);
    Saturation d;
    const Saturation s = if97::SaturatedAt(T, &d);
    SteamState st = FromWet(T, x, s, d);
    st.p = p;
    return st;
}

namespace {

// The boundary between regions 2 and 3 (IF97 eq. 5, table 1), in Pa.
LD Boundary23(LD T) { return (0.34805185628969e3 - 0.11671859879975e1 * T + 0.10192970039326e-2 * T * T) * 1e6; }

// A vapour the region 2 equation describes: at or above the saturation line,
// below the boundary of region 3 and within 1073.15 K.
bool InRegion2(const Phase& ph)
{
    if (!(ph.p > 0) || !(ph.T >= if97::kTmin) || ph.T > 1073.15) return false;
    if (ph.T <= if97::kTsatMax) return ph.p <= if97::SaturationPressure(ph.T) * (1 + 1e-9);
    return ph.T > 863.15 || ph.p <= Boundary23(ph.T);
}

// Liquid the region 1 equation describes: at or below the saturation line.
bool InRegion1(const Phase& ph)
{
    return ph.p > 0 && ph.T >= if97::kTmin && ph.T <= if97::kTsatMax &&
           ph.p >= if97::SaturationPressure(ph.T) * (1 - 1e-9);
}

bool Wet(LD v, LD u, LD startT, SteamState& out, LD& lineT)
{
    if (!WetTemperature(v, u, startT, lineT)) return false;
    Saturation d;
    const Saturation s = if97::SaturatedAt(lineT, &d);
    const LD x = (v - s.vf) / (s.vg - s.vf);
    if (!(x >= 0 && x <= 1)) return false;
    out = FromWet(lineT, x, s, d);
    return true;
}

bool Single(int region, LD v, LD u, LD T, LD p, SteamState& out)
{
    Phase ph;
    if (!SinglePhase(region, v, u, T, p, ph) || !(region == 1 ? InRegion1(ph) : InRegion2(ph))) return false;
    out = FromPhase(ph);
    if (region == 1) out.x = 0;
    return true;
}

} // namespace

bool SteamFromVU(LD v, LD u, const SteamState* near, SteamState& out)
{
    if (!(v > 0) || !std::isfinite(v) || !std::isfinite(u)) return false;
    // From a state near it first, in its phase: its temperature and pressure
    // moved on to first order, so that Newton's method starts within a square
    // of the answer.
    LD lineT = 400;
    if (near) {
        const LD dv = v - near->v, du = u - near->u;
        LD T = near->T + near->Tv * dv + near->Tu * du;
        LD p = near->p + near->pv * dv + near->pu * du;
        if (!(T > 0.8 * near->T && T < 1.25 * near->T)) T = near->T;
        if (!(p > 0.5 * near->p && p < 2 * near->p)) p = near->p;
        if (near->wet ? Wet(v, u, T, out, lineT) : Single(near->x < 0.5 ? 1 : 2, v, u, T, p, out)) return true;
        lineT = T;
    }
    // Under the saturation dome, or off it: vapour (or, rarely, liquid)
    // started from an ideal gas of about the same energy (a start for
    // Newton's method only: 2375 kJ/kg and 1.41 kJ/(kg K) are rough values of
    // the vapour's energy at 0 °C and its heat capacity).
    if (Wet(v, u, lineT, out, lineT)) return true;
    const bool liquid = v < 1 / 322.0; // below the critical specific volume
    const LD T0 = std::max(300.0, 273.15 + (u - 2.375e6) / 1410);
    if (Single(liquid ? 1 : 2, v, u, T0, liquid ? 1e6 : if97::kR * T0 / v, out)) return true;
    // The start of last resort: the temperature of the line.
    return Single(liquid ? 1 : 2, v, u, lineT, liquid ? 1e6 : if97::kR * lineT / v, out);
}

SteamState SteamAtPH(LD p, LD h)
{
    // Newton on T in one region (dh/dT = cp).
    const auto solve = [p, h](int region, LD T) {
        Phase ph = region == 1 ? if97::Region1(T, p) : if97::Region2(T, p);
        for (int k = 0; k < 60; ++k) {
            const LD dT = std::clamp((h - ph.h) / ph.cp, -0.5 * T, 0.5 * T);
            T += dT;
            ph = region == 1 ? if97::Region1(T, p) : if97::Region2(T, p);
            if (std::abs(dT) < 1e-10 * T) break;
        }
        SteamState st = FromPhase(ph);
        if (region == 1) st.x = 0;
        return st;
    };
    if (p < if97::SaturationPressure(if97::kTsatMax)) {
        const LD Ts = if97::SaturationTemperature(p);
        Saturation d;
        const Saturation s = if97::SaturatedAt(Ts, &d);
        if (h <= s.hg && h >= s.hf) {
            SteamState st = FromWet(Ts, (h - s.hf) / (s.hg - s.hf), s, d);
            st.p = p;
            return st;
        }
        // Starts from the line, by rough heat capacities of water and vapour.
        if (h < s.hf) return solve(1, std::max(if97::kTmin, Ts - (s.hf - h) / 4200));
        return solve(2, Ts + (h - s.hg) / 2000);
    }
    return solve(2, 700);
}
