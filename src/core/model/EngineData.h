// The engine data of a design (EngineData in model/AppState.h) value by
// value: names, labels, units and tooltips, defaults for the design's unit,
// scaling and unit conversion, and the units every figure of the steam
// performance model is given in.
//
// The unit table. A design's length unit chooses the units of everything else;
// a design of unspecified unit is taken as inches (and every output says so):
//
//   quantity            in          mm          in SI
//   length              in          mm          0.0254 m, 0.001 m
//   volume              in³         mm³         (length)³
//   pressure            psi         bar         6894.757293168 Pa, 100000 Pa
//   temperature         °F          °C
//   temperature step    °F          °C          5/9 K, 1 K
//   mass                lb          kg          0.45359237 kg, 1 kg
//   force               lb          kg          4.4482216152605 N, 9.80665 N (lbf, kgf)
//   power               hp          kW          745.69987158227022 W (550 ft·lbf/s), 1000 W
//   piston speed        ft/min      m/s         0.00508 m/s, 1 m/s
//   steam per hour      lb/h        kg/h
//   steam rate          lb/(hp h)   kg/(kW h)
//
// Sources: the inch, foot, pound and pound-force are the international yard and
// pound (1959) values; the horsepower is 550 ft·lbf/s; the kilogram-force is
// standard gravity (9.80665 m/s², 3rd CGPM 1901).
#pragma once

#include "model/AppState.h"

#include <string>

// The engine values in the order of the dialog, the native file and the
// design as JSON.
enum EngineValue : int {
    evSteamPortLength = 0,
    evExhaustPortLength,
    evDischargeCoefficient,
    evClearanceFront,
    evClearanceRear,
    evChestPressure,
    evSuperheat,
    evBackPressure,
    evAtmosphericPressure,
    evWheelDiameter,
    evCylinders,
    kEngineValueCount
};

// What a quantity is measured in.
enum class EngineQuantity {
    Length,
    Volume,
    Pressure,
    Temperature,
    TemperatureStep,
    Mass,
    Force,
    Power,
    PistonSpeed,
    SteamPerHour,
    SteamRate,
    Percent,
    Ratio,
    Count
};

// The unit system the figures of a design are given in: its length unit, an
// unspecified one taken as inches.
LengthUnit EngineUnitSystem(LengthUnit unit);
// True when the design states no unit, so that the figures say they took inches.
bool EngineUnitAssumed(LengthUnit unit);

// The unit text of a quantity for a design's unit ("psi", "bar", "in³", ...;
// "%" for a percentage, "" for a ratio).
std::string EngineUnitText(EngineQuantity q, LengthUnit unit);
// SI value of one unit of the quantity (metres, m³, pascals, kelvin steps,
// kilograms, newtons, watts, m/s, kg/s, kg/J); 1 for percent and ratio; for a
// temperature the size of its degree.
long double EngineUnitToSI(EngineQuantity q, LengthUnit unit);
// A temperature in the unit's degrees as kelvin, and back.
long double TemperatureToKelvin(long double t, LengthUnit unit);
long double KelvinToTemperature(long double k, LengthUnit unit);

// Each value: its identifier (the key in the design as JSON), the label of the
// dialog, its quantity, a tooltip for the design's unit.
const char* EngineValueName(int index);
std::string EngineValueLabel(int index);
EngineQuantity EngineValueQuantity(int index);
std::string EngineValueUnit(int index, LengthUnit unit);
std::string EngineValueTooltip(int index, LengthUnit unit);
// "Engine Data, steam-chest pressure": the value as a message about a file
// names it.
std::string EngineValueMessageName(int index);

// The value at `index` (0 for an index out of range; a set out of range does
// nothing).
float GetEngineValue(const EngineData& e, int index);
void SetEngineValue(EngineData& e, int index, float value);

// The defaults for the design: port lengths 0.8 of the bore each, the
// discharge coefficient of a sharp-edged slot, 8 % clearance each end, 200 psi
// (14 bar) in the chest, saturated steam, 3 psi (0.2 bar) back pressure, the
// standard atmosphere, the crank disk (the driver) as the wheel, two cylinders.
EngineData DefaultEngineData(const Gear& g);
// The engine data a figure uses: the design's own, or the defaults.
EngineData EngineDataOf(const Gear& g);

// The design's engine value at `index` set to `value`: a design that had no
// engine data gets the defaults first, and has engine data from then on.
void SetDesignEngineValue(Gear& g, int index, float value);

// The lengths (port lengths, wheel) times a factor, as a scaling of the design
// multiplies every length.
void ScaleEngineLengths(EngineData& e, long double factor);
// The pressures and the superheat from the unit system of `from` into that of
// `to` (psi and °F, or bar and °C); nothing when both are the same system.
void ConvertEngineUnits(EngineData& e, LengthUnit from, LengthUnit to);

// The least clearance of an end (0 front, 1 rear), in % of the stroke, that
// the section drawing implies: the room between the piston and the cylinder
// cover at the end's dead centre (bore length, piston width, stroke, main rod
// and crosshead as drawn). Negative when the piston would strike the cover.
long double LeastClearancePercent(const Gear& g, int end);
