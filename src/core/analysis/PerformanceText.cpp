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
