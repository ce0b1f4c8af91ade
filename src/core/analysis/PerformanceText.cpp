#include "analysis/PerformanceText.h"

#include "model/EngineData.h"
#include "model/NumberText.h"

namespace {

// A figure in the unit of its quantity, with `decimals` decimals.
std::string Figure(double si, EngineQuantity q, LengthUnit unit, int decimals)
{
    return DecimalText(static_cast<long double>(si) / EngineUnitToSI(q, unit), decimals);
}

std::string AbsoluteUnit(LengthUnit unit) { return EngineUnitText(EngineQuantity::Pressure, unit) + " abs"; }

} // namespace

const char* DirectionName(Running running) { return running == Running::Forward ? "fwd" : "rev"; }

std::string NotchName(int notch) { return notch == kNormalNotch ? "normal" : std::to_string(notch); }

TextRow PerformanceHeader()
{
    return {"Direction",
            "Notch",
            "RPM",
            "PistonSpeed",
            "CutOff",
            "MEP",
            "MEPFront",
            "MEPRear",
            "Power",
            "TractiveEffort",
            "SteamPerHour",
            "SteamRate",
            "CutOffPressureRatio",
            "ReleasePressure",
            "CompressionPeak"};
}

TextRow PerformanceUnits(LengthUnit unit)
{
    const auto u = [unit](EngineQuantity q) { return EngineUnitText(q, unit); };
    return {"",
            "",
            "rpm",
            u(EngineQuantity::PistonSpeed),
            "% stroke",
            u(EngineQuantity::Pressure),
            u(EngineQuantity::Pressure),
            u(EngineQuantity::Pressure),
            u(EngineQuantity::Power),
            u(EngineQuantity::Force),
            u(EngineQuantity::SteamPerHour),
            u(EngineQuantity::SteamRate),
            "",
            AbsoluteUnit(unit),
            AbsoluteUnit(unit)};
}

TextRow PerformanceRow(const PointResult& r, LengthUnit unit)
{
    TextRow row{DirectionName(r.running), NotchName(r.notch), DecimalText(r.rpm, 2)};
    if (!r.ok) {
        row.resize(PerformanceHeader().size());
        return row;
    }
    using Q = EngineQuantity;
    const auto P = [unit](double p) { return Figure(p, Q::Pressure, unit, 3); };
    row.insert(row.end(),
               {Figure(r.pistonSpeed, Q::PistonSpeed, unit, 2), DecimalText(r.cutOff, 2), P(r.mep), P(r.mepFront),
                P(r.mepRear), Figure(r.power, Q::Power, unit, 2), Figure(r.tractiveEffort, Q::Force, unit, 1),
                Figure(r.steamPerHour / 3600, Q::SteamPerHour, unit, 1), Figure(r.steamRate, Q::SteamRate, unit, 3),
                DecimalText(r.cutOffPressureRatio, 4), P(r.releasePressure), P(r.compressionPeak)});
    return row;
}

std::vector<TextRow> PerformanceCsvRows(const std::vector<PointResult>& points, LengthUnit unit)
{
    std::vector<TextRow> rows{PerformanceHeader(), PerformanceUnits(unit)};
    for (const PointResult& p : points) rows.push_back(PerformanceRow(p, unit));
    return rows;
}

std::vector<TextRow> IndicatorCsvRows(const EngineTurn& turn, const PointResult& point, LengthUnit unit)
{
    std::vector<TextRow> rows{{"DriverAngle", "VolumeFront", "PressureFront", "VolumeRear", "PressureRear"}};
    if (!point.ok) return rows;
    const EndFigures &f = point.end[endFront], &r = point.end[endRear];
    for (size_t i = 0; i < turn.angle.size() && i < f.volume.size(); ++i)
        rows.push_back({DecimalText(turn.angle[i], 3), Figure(f.volume[i], EngineQuantity::Volume, unit, 3),
                        Figure(f.pressure[i], EngineQuantity::Pressure, unit, 4),
                        Figure(r.volume[i], EngineQuantity::Volume, unit, 3),
                        Figure(r.pressure[i], EngineQuantity::Pressure, unit, 4)});
    return rows;
}

std::string CompressionWarning(const PointResult& point)
{
    if (!point.ok || !point.compressionAboveChest) return {};
    return "Compression rises above the chest pressure: the valve would lift, or the loop crosses itself.";
}

std::vector<TextRow> IndicatorFigureRows(const IndicatorPoint& p, RoadUnit road)
{
    const PointResult& r = p.real;
    if (!r.ok) return {};
    using Q = EngineQuantity;
    const LengthUnit unit = p.engine.unit;
    const bool in = EngineUnitSystem(unit) == LengthUnit::Inch;
    const auto row = [unit](const char* name, double si, Q q, int decimals, std::string unitText = {}) {
        return TextRow{name, Figure(si, q, unit, decimals), unitText.empty() ? EngineUnitText(q, unit) : unitText};
    };
    const int p1 = in ? 1 : 2;
    std::vector<TextRow> rows{
        {"Road speed", DecimalText(RoadSpeed(r.rpm, p.engine.wheel, road), 1), RoadUnitText(road)},
        row("Piston speed", r.pistonSpeed, Q::PistonSpeed, in ? 0 : 2),
        {"Cut-off", DecimalText(r.cutOff, 1), "% stroke"},
        row("MEP front", r.mepFront, Q::Pressure, p1),
        row("MEP rear", r.mepRear, Q::Pressure, p1),
        row("MEP mean", r.mep, Q::Pressure, p1),
        row("Indicated power", r.power, Q::Power, 0),
        row("Tractive effort", r.tractiveEffort, Q::Force, 0),
        row("Steam per hour", r.steamPerHour / 3600, Q::SteamPerHour, 0),
        row("Steam rate", r.steamRate, Q::SteamRate, in ? 1 : 2),
        {"Cut-off pressure ratio", DecimalText(r.cutOffPressureRatio, 3), ""},
        row("Release pressure", r.releasePressure, Q::Pressure, p1, AbsoluteUnit(unit)),
        row("Compression peak", r.compressionPeak, Q::Pressure, p1, AbsoluteUnit(unit)),
    };
    if (p.ideal.ok) rows.push_back(row("Ideal MEP", p.ideal.mep, Q::Pressure, p1));
    return rows;
}
