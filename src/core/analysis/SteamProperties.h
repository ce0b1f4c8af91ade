// Water and steam from the IAPWS Industrial Formulation 1997 (IAPWS-IF97,
// "Revised Release on the IAPWS Industrial Formulation 1997 for the
// Thermodynamic Properties of Water and Steam", IAPWS 2007), written from its
// equations; the coefficients are those of its tables.
//
// The regions a locomotive cylinder reaches:
// - region 2, superheated and saturated vapour: the chest steam, the steam
//   compressed in the clearance, superheated steam expanding;
// - region 4, the saturation line: saturated chest steam and the wet steam
//   that saturated steam becomes as it expands;
// - region 1, liquid water: the liquid part of wet steam (saturated liquid).
// Wet steam is the mixture of saturated liquid (region 1 at the saturation
// temperature) and saturated vapour (region 2 there) by its quality x. Region 3
// (near the critical point, above 623.15 K and 16.5 MPa) and region 5 (above
// 1073.15 K) lie far beyond any locomotive and are not written.
//
// Units: SI throughout (K, Pa, m³/kg, J/kg, J/(kg K), m/s).
//
// Arithmetic: double, not the long double of the model's other computations.
// One evaluation of region 2 costs some 15 times as much in the x87's long
// double as in double on the machines this program is built for (3.6 µs
// against 0.23 µs, measured), the cycle makes millions of them for a map, and
// double's 16 digits are far beyond the 9 the standard prints and the 1e-6 the
// standard claims against measurements. Results are stored through
// ToModelFloat as every model value.
#pragma once

namespace if97 {

// The specific gas constant of IF97, eq. (1), and the critical point.
inline constexpr double kR = 461.526;      // J/(kg K)
inline constexpr double kTc = 647.096;     // K
inline constexpr double kPc = 22.064e6;    // Pa
inline constexpr double kTmin = 273.15;    // K, lower end of regions 1, 2 and 4
inline constexpr double kTsatMax = 623.15; // K, upper end of the saturation line regions 1 and 2 meet on

// A state of a single phase (region 1 or 2) with the Gibbs free energy's
// derivatives that the properties and the inversions need.
struct Phase {
    double T = 0, p = 0;
    double v = 0, u = 0, h = 0, s = 0, cp = 0;
    double w = 0; // speed of sound
    // Partial derivatives of v and u by T (at constant p) and by p (at constant T).
    double vT = 0, vp = 0, uT = 0, up = 0;
};

// Region 1 (liquid water) and region 2 (vapour) at temperature T and pressure p,
// from the basic equations (IF97 eqs. 7 and 15, tables 2, 10 and 11).
Phase Region1(double T, double p);
Phase Region2(double T, double p);

// The saturation line, region 4 (IF97 eqs. 30 and 31, table 34): the pressure
// at a temperature (273.15 K to the critical point) and the temperature at a
// pressure (611.213 Pa to the critical pressure).
double SaturationPressure(double T);
double SaturationTemperature(double p);

// The saturated liquid and vapour at a temperature, interpolated in a table
// computed once from regions 1, 2 and 4 (every 0.25 K from 273.15 K to
// 623.15 K, cubic Hermite with the exact derivatives); within about 1e-9 of
// the equations. `d` holds the derivatives by T.
struct Saturation {
    double p = 0, vf = 0, vg = 0, uf = 0, ug = 0, hf = 0, hg = 0, sf = 0, sg = 0;
};
Saturation SaturatedAt(double T, Saturation* d = nullptr);
// vf, vg, uf, ug alone and their derivatives by T (the inversion's search).
void SaturatedVolumeEnergy(double T, double* vu, double* slope);

} // namespace if97

// A state of the steam in a cylinder, a chest or an exhaust passage.
struct SteamState {
    double p = 0, T = 0, v = 0, u = 0, h = 0, s = 0;
    bool wet = false; // a mixture on the saturation line
    double x = 1;     // its quality (1 for vapour, 0 for liquid)
    // The exponent of its isentropic expansion through an orifice: for
    // vapour -(v/p)(dp/dv) at constant entropy from IF97 (w² / (p v)); for wet
    // steam Zeuner's 1.035 + 0.1 x (G. Zeuner, Technische Thermodynamik, 1890;
    // as used for steam nozzles by A. Stodola, Steam and Gas Turbines, 1927).
    double kappa = 1.3;
    // The pressure's partial derivatives by v (at constant u) and by u (at
    // constant v), for the cycle's implicit steps.
    double pv = 0, pu = 0;
    // The same of the temperature (an inversion starts from them).
    double Tv = 0, Tu = 0;
};

// Vapour or liquid at (p, T), region 2 where T is at or above the saturation
// temperature, else region 1.
SteamState SteamAtPT(double p, double T);
// Saturated wet steam of quality x at pressure p (x = 1: saturated vapour).
SteamState SaturatedSteam(double p, double x);
// The state of specific volume v and specific internal energy u: wet where
// they lie under the saturation dome, else vapour (region 2) or liquid
// (region 1). `near`, a state close to it (the last step's), starts the
// search. False when no state of the regions written has them (the state
// then is the closest found).
bool SteamFromVU(double v, double u, const SteamState* near, SteamState& out);
// The state at pressure p and specific enthalpy h.
SteamState SteamAtPH(double p, double h);
