// The gear for the workshop from the command line: the DXF drawings read back
// by an independent reader (Debian's python3-ezdxf), the swept envelope and
// the parts list as the plain code computes them, the clearance's verdict.
#include "cli/CliSupport.h"

#include "analysis/PartsList.h"
#include "analysis/SweptEnvelope.h"
#include "files/NativeFile.h"
#include "files/TextTable.h"
#include "model/DesignEdit.h"
#include "model/DesignScale.h"
#include "model/GearParts.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

namespace {

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString Text(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("(missing)");
}

// What ezdxf reads in a DXF file: the unit, the layers and every entity of the
// model space, one per line, numbers at full precision.
const char* const kReadDxf = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
print("AUDIT", len(doc.audit().errors))
print("UNITS", doc.header.get("$INSUNITS", -1))
for l in doc.layers:
    print("LAYER", l.dxf.name, l.dxf.color)
for e in doc.modelspace():
    t, lay = e.dxftype(), e.dxf.layer
    if t == "LINE":
        print(t, lay, repr(e.dxf.start.x), repr(e.dxf.start.y), repr(e.dxf.end.x), repr(e.dxf.end.y))
    elif t == "CIRCLE" or t == "ARC":
        print(t, lay, repr(e.dxf.center.x), repr(e.dxf.center.y), repr(e.dxf.radius))
    elif t == "LWPOLYLINE":
        print(t, lay, int(e.closed), " ".join(repr(c) for p in e.get_points("xy") for c in p))
)";

struct DxfRead {
    int auditErrors = -1;
    int units = -1;
    std::map<std::string, int> layers;                                                        // name -> colour
    std::vector<std::pair<std::string, std::vector<double>>> lines, circles, arcs, polylines; // layer, numbers
};

DxfRead ReadDxf(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(kReadDxf), path});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << "python3-ezdxf reads the drawing (tools/install-deps.sh installs it): "
                               << p.readAllStandardError().toStdString();
    DxfRead r;
    std::istringstream in(p.readAllStandardOutput().toStdString());
    for (std::string line; std::getline(in, line);) {
        std::istringstream w(line);
        std::string kind, name;
        w >> kind;
        if (kind == "AUDIT") w >> r.auditErrors;
        if (kind == "UNITS") w >> r.units;
        if (kind == "AUDIT" || kind == "UNITS") continue;
        w >> name;
        if (kind == "LAYER") {
            w >> r.layers[name];
            continue;
        }
        std::vector<double> v;
        for (double x; w >> x;) v.push_back(x);
        (kind == "LINE"     ? r.lines
         : kind == "CIRCLE" ? r.circles
         : kind == "ARC"    ? r.arcs
                            : r.polylines)
            .push_back({name, v});
    }
    return r;
}

// A design of its own with a line and a circle of the overlay, in `unit`
// (millimetres: the built-in design scaled by 25.4).
AppState Design(LengthUnit unit)
{
    AppState s;
    StartupModel(s);
    if (unit == LengthUnit::Millimetre) {
        ScaleRequest r;
        r.factor = 25.4L;
        r.unit = LengthUnit::Millimetre;
        EXPECT_TRUE(ApplyScale(s, r));
    }
    s.gear.Unit = unit;
    const float k = unit == LengthUnit::Millimetre ? 25.4f : 1.0f;
    s.overlay.Item[1] = {-2 * k, -4 * k, 14 * k, -4 * k, 0, 0, 0, 0, 0, 0, 0, 0, 0, true};
    s.overlay.Item[2] = {0.5f * k, 0, 0.75f * k, 0, 0, 0, 0, 0, 1, 255, 1, 15, 0, false}; // about the rocker pivot
    RecomputeRevArmCentre(s.gear);
    return s;
}

} // namespace

TEST(WorkshopReport, TheGearAsDxfReadsBackWithEveryPivotWhereTheSolverPutsIt)
{
    QTemporaryDir dir;
    const struct {
        LengthUnit unit;
        int insunits;
    } cases[] = {{LengthUnit::Unspecified, 0}, {LengthUnit::Inch, 1}, {LengthUnit::Millimetre, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(LengthUnitText(c.unit));
        AppState s = Design(c.unit);
        const QString design = dir.filePath(QStringLiteral("gear-%1.vgw").arg(static_cast<int>(c.unit)));
        ASSERT_TRUE(SaveNativeFile(s, Local(design)).ok);
        // The design as the command line opens it, solved where the drawing is asked for.
        AppState opened;
        StartupModel(opened);
        ASSERT_TRUE(OpenNativeFile(opened, Local(design)).ok);
        Gear g = opened.gear;
        const float arm = ToModelFloat(static_cast<long double>(g.RevArmCentre()) + 0.5L * g.RevArmMax);
        g.RevArmPos = arm;
        g.DriverAngle = 37.5f;
        SolveLinkage(g);

        const QString out = dir.filePath(QStringLiteral("gear.dxf"));
        const CliRun run = RunQuelf({QStringLiteral("--export"), QStringLiteral("main"), out, QStringLiteral("--angle"),
                                     QStringLiteral("37.5"), QStringLiteral("--rev-arm"),
                                     QString::fromStdString(ShortestText(arm)), design});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const DxfRead d = ReadDxf(out);
        EXPECT_EQ(d.auditErrors, 0);
        EXPECT_EQ(d.units, c.insunits);
        const std::map<std::string, int> layers = {{"0", 7},
                                                   {"FRAME", 7},
                                                   {"CRANK-MAIN-ROD", 1},
                                                   {"ECCENTRIC-STRAP", 5},
                                                   {"REVERSE-HEAD", 6},
                                                   {"ECCENTRIC-ROD", 3},
                                                   {"ROCKER", 4},
                                                   {"VALVE-ROD", 2},
                                                   {"CYLINDER", 8},
                                                   {"LINES-CIRCLES", 7}};
        for (const auto& [name, colour] : layers)
            EXPECT_EQ(d.layers.count(name) ? d.layers.at(name) : -1, colour) << name;

        // Every shape of every part on its layer where the solver puts it.
        size_t lines = 0, circles = 0, polylines = 0;
        for (int k = 0; k < kGearParts; ++k) {
            const GearPart part = static_cast<GearPart>(k);
            const PartShapes shapes = ShapesOfPart(g, part, PinSet::Own);
            auto found = [&](const auto& list, const std::vector<long double>& want) {
                for (const auto& [layer, v] : list) {
                    if (layer != PartLayer(part) || v.size() != want.size()) continue;
                    bool same = true;
                    for (size_t i = 0; i < v.size(); ++i) same = same && std::fabs(v[i] - want[i]) <= 1e-6L;
                    if (same) return true;
                }
                return false;
            };
            for (const PartCircle& ci : shapes.circles) {
                EXPECT_TRUE(found(d.circles, {ci.c.x, ci.c.y, ci.r})) << PartLayer(part) << " P" << ci.point;
                if (ci.point >= 0) { // a pivot: at its solved position
                    EXPECT_EQ(ci.c.x, g.PointX[static_cast<size_t>(ci.point)]);
                    EXPECT_EQ(ci.c.y, g.PointY[static_cast<size_t>(ci.point)]);
                }
            }
            for (const PartSegment& sg : shapes.segments)
                EXPECT_TRUE(found(d.lines, {sg.a.x, sg.a.y, sg.b.x, sg.b.y})) << PartLayer(part);
            for (const PartPolyline& pl : shapes.polylines) {
                std::vector<long double> want = {pl.closed ? 1.0L : 0.0L};
                for (const WorldPt& p : pl.points) want.insert(want.end(), {p.x, p.y});
                EXPECT_TRUE(found(d.polylines, want)) << PartLayer(part);
            }
            lines += shapes.segments.size();
            circles += shapes.circles.size();
            polylines += shapes.polylines.size();
        }
        // ... and nothing else but the crank disk's arc and the two lines and circles.
        EXPECT_EQ(d.lines.size(), lines + 1);
        EXPECT_EQ(d.circles.size(), circles + 1);
        EXPECT_EQ(d.polylines.size(), polylines);
        ASSERT_EQ(d.arcs.size(), 1u);
        const float k = c.unit == LengthUnit::Millimetre ? 25.4f : 1.0f;
        EXPECT_EQ(d.lines.back().second, (std::vector<double>{-2 * k, -4 * k, 14 * k, -4 * k}));
        const std::vector<double> rim = d.circles.back().second;
        EXPECT_EQ(d.circles.back().first, "LINES-CIRCLES");
        EXPECT_NEAR(rim[0], g.PointX[15] + 0.5 * k, 1e-6);
        EXPECT_NEAR(rim[2], 0.75 * k, 1e-6);
    }
}

TEST(WorkshopReport, EnvelopeAndPartsAreThePlainCodesFiguresAndBadRequestsAreTold)
{
    QTemporaryDir dir;
    AppState s = Design(LengthUnit::Inch);
    const QString design = dir.filePath(QStringLiteral("gear.vgw"));
    ASSERT_TRUE(SaveNativeFile(s, Local(design)).ok);
    AppState opened;
    StartupModel(opened);
    ASSERT_TRUE(OpenNativeFile(opened, Local(design)).ok);
    EnvelopeSettings settings;
    settings.notch.fill(false);
    for (int n : {0, 9, -9}) settings.notch[static_cast<size_t>(n + kEnvelopeNotchMax)] = true;
    const SweptEnvelope e = SweepEnvelope(opened.gear, opened.overlay, settings);

    const QString csv = dir.filePath(QStringLiteral("e.csv"));
    CliRun run =
        RunQuelf({QStringLiteral("--envelope"), csv, QStringLiteral("--notches"), QStringLiteral("0,9,-9"), design});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Text(csv).toStdString(), CsvText(EnvelopeCsvRows(e)));

    const QString dxf = dir.filePath(QStringLiteral("e.dxf"));
    run = RunQuelf({QStringLiteral("--envelope"), dxf, QStringLiteral("--notches=0,9,-9"), design});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const DxfRead d = ReadDxf(dxf);
    EXPECT_EQ(d.units, 1);
    size_t at = 0;
    for (const PartOutline& o : e.outlines) {
        for (const auto& loop : o.loops) {
            ASSERT_LT(at, d.polylines.size());
            const auto& [layer, v] = d.polylines[at++];
            EXPECT_EQ(layer, PartLayer(o.part));
            ASSERT_EQ(v.size(), 1 + 2 * loop.size());
            EXPECT_EQ(v[0], 1.0) << "closed";
            for (size_t i = 0; i < loop.size(); ++i) {
                EXPECT_EQ(v[1 + 2 * i], loop[i].x);
                EXPECT_EQ(v[2 + 2 * i], loop[i].y);
            }
        }
    }
    EXPECT_EQ(at, d.polylines.size());

    const QString parts = dir.filePath(QStringLiteral("parts.csv"));
    run = RunQuelf({QStringLiteral("--parts"), parts, design});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Text(parts).toStdString(), CsvText(PartsListCells(BuildPartsList(opened.gear), LengthUnit::Inch)));

    // The keep-out line 4 in below the driver centre: the crank disk (radius
    // 4.3125) crosses it, so the clearance fails.
    run = RunQuelf({QStringLiteral("--keep-out"), QStringLiteral("--notches"), QStringLiteral("0"), design});
    EXPECT_EQ(run.status, 4) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Part,Item,Shape,Distance (in),Angle,Notch,Direction,Result\r\n"
                                                  "crank and main rod,1,line,0.0000,")))
        << run.out.toStdString();

    // ... and the design check says so in its clearance row.
    run = RunQuelf({QStringLiteral("--check"), design});
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("clearance,both,0.0000,0.03125,FAIL\r\n"))) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("clearance both"))) << run.err.toStdString();

    const struct {
        QStringList args;
        const char* reason;
    } bad[] = {
        {{QStringLiteral("--export"), QStringLiteral("oval"), dir.filePath(QStringLiteral("o.dxf"))}, "only the gear"},
        {{QStringLiteral("--export"), QStringLiteral("main"), dir.filePath(QStringLiteral("m.png")),
          QStringLiteral("--angle"), QStringLiteral("10")},
         "--angle goes with a .dxf"},
        {{QStringLiteral("--export"), QStringLiteral("main"), dir.filePath(QStringLiteral("m.dxf")),
          QStringLiteral("--angle"), QStringLiteral("360")},
         "--angle must be"},
        {{QStringLiteral("--export"), QStringLiteral("main"), dir.filePath(QStringLiteral("m.dxf")),
          QStringLiteral("--rev-arm"), QStringLiteral("9")},
         "beyond the reverse arm's travel"},
        {{QStringLiteral("--envelope"), dir.filePath(QStringLiteral("e.txt"))}, "must end in .csv or .dxf"},
        {{QStringLiteral("--envelope"), csv, QStringLiteral("--notches"), QStringLiteral("19")}, "--notches must be"},
        {{QStringLiteral("--keep-out"), QStringLiteral("--least"), QStringLiteral("-1")}, "--least must be"},
        {{QStringLiteral("--parts"), dir.filePath(QStringLiteral("p.txt"))}, "must end in .csv"},
    };
    for (const auto& b : bad) {
        run = RunQuelf(b.args);
        EXPECT_EQ(run.status, 1) << b.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(b.reason))) << run.err.toStdString();
    }
}
