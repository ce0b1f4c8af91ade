#include "model/EngineData.h"

#include "model/NumberText.h"

#include <array>
#include <cmath>
#include <numbers>

using LD = long double;

namespace {

// The international inch, pound and pound-force (1959); the horsepower of
// 550 ft·lbf/s; the kilogram-force of standard gravity (3rd CGPM, 1901).
constexpr LD kInch = 0.0254L;
constexpr LD kFoot = 12 * kInch;
constexpr LD kPound = 0.45359237L;
constexpr LD kStandardGravity = 9.80665L;
constexpr LD kPoundForce = kPound * kStandardGravity; // 4.4482216152605 N
constexpr LD kPsi = kPoundForce / (kInch * kInch);    // 6894.757293168 Pa
constexpr LD kHorsepower = 550 * kFoot * kPoundForce; // 745.69987158227 W
constexpr LD kBar = 100000;                           // Pa
constexpr LD kStandardAtmosphere = 101325;            // Pa (10th CGPM, 1954)
constexpr LD kFahrenheitStep = 5.0L / 9;              // K per °F
constexpr LD kHour = 3600;                            // s

struct Info {
    const char* name;
    const char* label;
    EngineQuantity quantity;
    const char* tip; // the tooltip before its default
};

const std::array<Info, kEngineValueCount> kInfo{{
    {"SteamPortLength", "Steam port length", EngineQuantity::Length,
     "Length of the steam port across the cylinder: the opening the valve uncovers times this is the area "
     "steam enters and leaves by."},
    {"ExhaustPortLength", "Exhaust port length", EngineQuantity::Length,
     "Length across the cylinder of the edge the valve's exhaust cavity opens: the exhaust opening times this "
     "is the area the steam leaves by."},
    {"DischargeCoefficient", "Discharge coefficient", EngineQuantity::Ratio,
     "The share of a port opening the steam flows through as if it had no losses."},
    {"ClearanceFront", "Clearance front", EngineQuantity::Percent,
     "Volume left at the front end at dead centre (ports included), in % of the swept volume."},
    {"ClearanceRear", "Clearance rear", EngineQuantity::Percent,
     "Volume left at the rear end at dead centre (ports included), in % of the swept volume."},
    {"ChestPressure", "Steam-chest pressure", EngineQuantity::Pressure,
     "Pressure of the steam in the steam chest, gauge (above the atmosphere)."},
    {"Superheat", "Superheat", EngineQuantity::TemperatureStep,
     "Degrees the chest steam is above its saturation temperature; 0 for saturated steam."},
    {"BackPressure", "Exhaust back pressure", EngineQuantity::Pressure,
     "Pressure in the exhaust passage, gauge (above the atmosphere)."},
    {"AtmosphericPressure", "Atmospheric pressure", EngineQuantity::Pressure,
     "Pressure of the atmosphere, absolute: the gauge pressures are counted from it."},
    {"WheelDiameter", "Driving wheel diameter", EngineQuantity::Length,
     "Diameter of the driving wheels, for the tractive effort at the rail and the road speed."},
    {"Cylinders", "Number of cylinders", EngineQuantity::Ratio,
     "Cylinders of the engine, each with this gear (two: cranks at 90 degrees)."},
}};

bool Valid(int index) { return index >= 0 && index < kEngineValueCount; }

float* Field(EngineData& e, int index)
{
    switch (index) {
    case evSteamPortLength: return &e.SteamPortLength;
    case evExhaustPortLength: return &e.ExhaustPortLength;
    case evDischargeCoefficient: return &e.DischargeCoefficient;
    case evClearanceFront: return &e.ClearanceFront;
    case evClearanceRear: return &e.ClearanceRear;
    case evChestPressure: return &e.ChestPressure;
    case evSuperheat: return &e.Superheat;
    case evBackPressure: return &e.BackPressure;
    case evAtmosphericPressure: return &e.AtmosphericPressure;
    case evWheelDiameter: return &e.WheelDiameter;
    case evCylinders: return &e.Cylinders;
    default: return nullptr;
    }
}

bool Inches(LengthUnit unit) { return EngineUnitSystem(unit) == LengthUnit::Inch; }

} // namespace

LengthUnit EngineUnitSystem(LengthUnit unit)
{
    return unit == LengthUnit::Millimetre ? LengthUnit::Millimetre : LengthUnit::Inch;
}

bool EngineUnitAssumed(LengthUnit unit) { return unit == LengthUnit::Unspecified; }

std::string EngineUnitText(EngineQuantity q, LengthUnit unit)
{
    const bool in = Inches(unit);
    switch (q) {
    case EngineQuantity::Length: return in ? "in" : "mm";
    case EngineQuantity::Volume: return in ? "in³" : "mm³";
    case EngineQuantity::Pressure: return in ? "psi" : "bar";
    case EngineQuantity::Temperature:
    case EngineQuantity::TemperatureStep: return in ? "°F" : "°C";
    case EngineQuantity::Mass:
    case EngineQuantity::Force: return in ? "lb" : "kg";
    case EngineQuantity::Power: return in ? "hp" : "kW";
    case EngineQuantity::PistonSpeed: return in ? "ft/min" : "m/s";
    case EngineQuantity::SteamPerHour: return in ? "lb/h" : "kg/h";
    case EngineQuantity::SteamRate: return in ? "lb/(hp h)" : "kg/(kW h)";
    case EngineQuantity::Percent: return "%";
    case EngineQuantity::Ratio:
    case EngineQuantity::Count: break;
    }
    return "";
}

long double EngineUnitToSI(EngineQuantity q, LengthUnit unit)
{
    const bool in = Inches(unit);
    const LD length = in ? kInch : 0.001L;
    switch (q) {
    case EngineQuantity::Length: return length;
    case EngineQuantity::Volume: return length * length * length;
    case EngineQuantity::Pressure: return in ? kPsi : kBar;
    case EngineQuantity::Temperature:
    case EngineQuantity::TemperatureStep: return in ? kFahrenheitStep : 1;
    case EngineQuantity::Mass: return in ? kPound : 1;
    case EngineQuantity::Force: return in ? kPoundForce : kStandardGravity;
    case EngineQuantity::Power: return in ? kHorsepower : 1000;
    case EngineQuantity::PistonSpeed: return in ? kFoot / 60 : 1;
    case EngineQuantity::SteamPerHour: return (in ? kPound : 1) / kHour;
    case EngineQuantity::SteamRate: return (in ? kPound / kHorsepower : 1 / 1000.0L) / kHour;
    case EngineQuantity::Percent:
    case EngineQuantity::Ratio:
    case EngineQuantity::Count: break;
    }
    return 1;
}

long double TemperatureToKelvin(long double t, LengthUnit unit)
{
    return Inches(unit) ? (t + 459.67L) * kFahrenheitStep : t + 273.15L;
}

long double KelvinToTemperature(long double k, LengthUnit unit)
{
    return Inches(unit) ? k / kFahrenheitStep - 459.67L : k - 273.15L;
}

const char* EngineValueName(int index) { return Valid(index) ? kInfo[index].name : ""; }

std::string EngineValueLabel(int index) { return Valid(index) ? kInfo[index].label : ""; }

EngineQuantity EngineValueQuantity(int index) { return Valid(index) ? kInfo[index].quantity : EngineQuantity::Count; }

std::string EngineValueUnit(int index, LengthUnit unit)
{
    if (index == evCylinders) return "";
    return EngineUnitText(EngineValueQuantity(index), unit);
}

std::string EngineValueTooltip(int index, LengthUnit unit)
{
    if (!Valid(index)) return "";
    std::string tip = kInfo[index].tip;
    if (index == evDischargeCoefficient) {
        tip += " Default pi/(pi + 2) = 0.611, the contraction of a jet through a sharp-edged slot (Kirchhoff, "
               "1869).";
    } else if (index == evSteamPortLength || index == evExhaustPortLength) {
        tip += " Default 0.8 of the bore.";
    } else if (index == evWheelDiameter) {
        tip += " Default the crank disk's diameter: the disk is the driver.";
    } else if (index == evCylinders) {
        tip += " Default 2.";
    } else {
        Gear none;
        const EngineData d = DefaultEngineData(none);
        const std::string unitText = EngineValueUnit(index, unit);
        tip += " Default " + DecimalText(GetEngineValue(d, index), index == evAtmosphericPressure ? 3 : 0) +
               (unitText == "%" ? "" : " ") + unitText + ".";
    }
    if (EngineUnitAssumed(unit) && !EngineValueUnit(index, unit).empty() && EngineValueUnit(index, unit) != "%")
        tip += " (The design states no unit: inches are taken.)";
    return tip;
}

std::string EngineValueMessageName(int index)
{
    if (!Valid(index)) return "";
    std::string label = kInfo[index].label;
    if (!label.empty()) label[0] = static_cast<char>(label[0] - 'A' + 'a');
    return "Engine Data, " + label;
}

float GetEngineValue(const EngineData& e, int index)
{
    const float* f = Field(const_cast<EngineData&>(e), index);
    return f ? *f : 0.0f;
}

void SetEngineValue(EngineData& e, int index, float value)
{
    if (float* f = Field(e, index)) *f = value;
}

EngineData DefaultEngineData(const Gear& g)
{
    const bool in = Inches(g.Unit);
    EngineData e;
    const LD bore = g.Cyl(ciCylBoreDia);
    e.SteamPortLength = ToModelFloat(0.8L * bore);
    e.ExhaustPortLength = e.SteamPortLength;
    // Kirchhoff's contraction of a two-dimensional jet through a sharp-edged
    // slot (Kirchhoff 1869; von Mises 1917): pi / (pi + 2).
    e.DischargeCoefficient = ToModelFloat(std::numbers::pi_v<LD> / (std::numbers::pi_v<LD> + 2));
    e.ClearanceFront = 8;
    e.ClearanceRear = 8;
    e.ChestPressure = in ? 200.0f : 14.0f;
    e.Superheat = 0;
    e.BackPressure = in ? 3.0f : 0.2f;
    e.AtmosphericPressure = ToModelFloat(kStandardAtmosphere / (in ? kPsi : kBar));
    e.WheelDiameter = g.CrankDiskDia;
    e.Cylinders = 2;
    return e;
}

EngineData EngineDataOf(const Gear& g) { return g.HasEngine ? g.Engine : DefaultEngineData(g); }

void SetDesignEngineValue(Gear& g, int index, float value)
{
    if (!Valid(index)) return;
    if (!g.HasEngine) g.Engine = DefaultEngineData(g);
    g.HasEngine = true;
    SetEngineValue(g.Engine, index, value);
}

void ScaleEngineLengths(EngineData& e, long double factor)
{
    for (float* v : {&e.SteamPortLength, &e.ExhaustPortLength, &e.WheelDiameter})
        *v = ToModelFloat(static_cast<LD>(*v) * factor);
}

void ConvertEngineUnits(EngineData& e, LengthUnit from, LengthUnit to)
{
    if (EngineUnitSystem(from) == EngineUnitSystem(to)) return;
    const LD pressure = EngineUnitToSI(EngineQuantity::Pressure, from) / EngineUnitToSI(EngineQuantity::Pressure, to);
    const LD step =
        EngineUnitToSI(EngineQuantity::TemperatureStep, from) / EngineUnitToSI(EngineQuantity::TemperatureStep, to);
    for (float* v : {&e.ChestPressure, &e.BackPressure, &e.AtmosphericPressure})
        *v = ToModelFloat(static_cast<LD>(*v) * pressure);
    e.Superheat = ToModelFloat(static_cast<LD>(e.Superheat) * step);
}

long double LeastClearancePercent(const Gear& g, int end)
{
    // The piston's centre at a dead centre: the crank pin on the line of
    // stroke, the main rod along it, the crosshead and the piston behind.
    const LD halfStroke = static_cast<LD>(g.Stroke) / 2;
    const LD centre = static_cast<LD>(g.PointX[1]) + g.MainRodLength + g.Cyl(ciPistonCtrToCrosshead);
    const LD halfPiston = static_cast<LD>(g.Cyl(ciPistonWidth)) / 2;
    const LD halfBore = static_cast<LD>(g.Cyl(ciCylBoreLength)) / 2;
    const LD cylinder = g.Cyl(ciCylCtrToDriverCtr);
    const LD room = end == 0 ? (cylinder + halfBore) - (centre + halfStroke + halfPiston)
                             : (centre - halfStroke - halfPiston) - (cylinder - halfBore);
    return 100 * room / static_cast<LD>(g.Stroke);
}
