// quelf --export WHAT OUT [--scale N] [FILE]: one picture of the design as a
// PNG, SVG or PDF file, drawn as the program's windows draw it. Exit status:
// 0 written, 1 bad arguments, 2 the design cannot be read, 3 the file cannot
// be written (nothing is left behind).
#include "app/CommandLine.h"

#include "graphs/DiagramPictures.h"
#include "mainwin/FrameDrawing.h"
#include "mainwin/MainWindowSize.h"
#include "model/Model.h"
#include "platform/DisplayList.h"
#include "platform/QtPicture.h"
#include "platform/Services.h"

#include <QFileInfo>
#include <QTextStream>

#include <array>

namespace {

struct ExportPicture {
    const char* what;
    const char* name; // in the document title
    bool main;
    DiagramKind kind;
};

const std::array<ExportPicture, 7> kPictures{{
    {"main", "gear", true, DiagramKind::PortForward},
    {"port-graph", "port-graph", false, DiagramKind::PortForward},
    {"port-graph-reverse", "port-graph-reverse", false, DiagramKind::PortReverse},
    {"port-graph-both", "port-graph-both", false, DiagramKind::PortBoth},
    {"steam", "steam-diagram", false, DiagramKind::Steam},
    {"oval", "oval-diagram", false, DiagramKind::Oval},
    {"sine", "sine-diagram", false, DiagramKind::Sine},
}};

// The gear as the main window shows it at its first size, stopped at driver
// angle 0 (so that the readout agrees), reverse arm at mid gear, the home
// view; one tick, no sound.
DisplayList MainPicture(AppState& s)
{
    Gear& g = s.gear;
    View& v = s.view;
    g.DriverAngle = 0;
    s.anim.ActiveStep = 0;
    g.RevArmPos = g.RevArmCentre();
    v.ViewScale = v.HomeScale;
    v.ViewOffsetX = v.HomeOffsetX;
    v.ViewOffsetY = v.HomeOffsetY;
    TickModel(s);
    DisplayList list(kFrameWidth, kFrameHeight);
    RecordingSound silent;
    FixedRandom random;
    FrameServices services{silent, random};
    FrameEffects fx;
    DisplayListCanvas c(list);
    ComposeFrame(c, s, services, fx);
    list.Crop(0, 0, kClientWidth, kClientHeight);
    return list;
}

DisplayList DiagramPicture(AppState& s, DiagramKind k)
{
    DisplayList list(DiagramPictureWidth(k), DiagramPictureHeight(k));
    DisplayListCanvas c(list);
    DrawDiagramAsOpened(c, s, k);
    return list;
}

} // namespace

int RunExportReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString what = cl.args.value(0);
    const QString out = cl.args.value(1);
    const ExportPicture* picture = nullptr;
    QStringList names;
    for (const ExportPicture& p : kPictures) {
        names << QString::fromLatin1(p.what);
        if (what == QLatin1String(p.what)) picture = &p;
    }
    if (!picture) {
        err << "quelf: unknown picture \"" << what << "\"; choose one of " << names.join(QStringLiteral(", ")) << "\n";
        return 1;
    }
    const PictureFormat format = PictureFormatOf(out.toStdString());
    if (format == PictureFormat::None) {
        err << "quelf: \"" << out << "\" must end in .png, .svg or .pdf\n";
        return 1;
    }
    int scale = 1;
    if (!cl.scale.isEmpty()) {
        if (cl.scale != QLatin1String("1") && cl.scale != QLatin1String("2") && cl.scale != QLatin1String("4")) {
            err << "quelf: --scale must be 1, 2 or 4\n";
            return 1;
        }
        if (format != PictureFormat::Png) {
            err << "quelf: --scale goes with a .png picture\n";
            return 1;
        }
        scale = cl.scale.toInt();
    }

    AppState s;
    std::string error;
    if (!LoadDesignForReport(s, cl.file, error)) {
        err << "quelf: " << QString::fromStdString(error) << "\n";
        return 2;
    }
    const DisplayList list = picture->main ? MainPicture(s) : DiagramPicture(s, picture->kind);
    const QString title = QString::fromStdString(PictureFileStem(s.display.DataSetName, picture->name));
    if (!WriteDisplayList(list, out, format, scale, title, error)) {
        err << "quelf: cannot write \"" << out << "\": " << QString::fromStdString(error) << "\n";
        return 3;
    }
    return 0;
}
