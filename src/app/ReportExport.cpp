// quelf --export WHAT OUT [--scale N] [--compare REF] [FILE]: one picture of
// the design as a PNG, SVG or PDF file, drawn as the program's windows draw it
// (with --compare, the reference's curves in grey beneath, and the main
// picture with the reference's ghost). Exit status:
// 0 written, 1 bad arguments, 2 the design cannot be read, 3 the file cannot
// be written (nothing is left behind). A design that cannot be assembled at
// some notches gets one warning line on standard error.
#include "app/CommandLine.h"

#include "drawing/DiagramPictures.h"
#include "drawing/MainPicture.h"
#include "platform/DisplayList.h"
#include "qt/QtPicture.h"

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

int RunExportReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString what = cl.modeValue;
    const QString out = cl.arguments.value(0);
    const ExportPicture* picture = nullptr;
    QStringList names;
    for (const ExportPicture& p : kPictures) {
        names << QString::fromLatin1(p.what);
        if (what == QLatin1String(p.what)) picture = &p;
    }
    if (!picture) {
        err << "quelf: unknown picture \"" << what << "\"; choose one of " << names.join(QStringLiteral(", ")) << "\n";
        return exit_status::kBadArguments;
    }
    const PictureFormat format = PictureFormatOf(out.toStdString());
    if (format == PictureFormat::None) {
        err << "quelf: \"" << out << "\" must end in .png, .svg or .pdf\n";
        return exit_status::kBadArguments;
    }
    int scale = 1;
    if (cl.Has(QStringLiteral("scale"))) {
        const QString n = cl.Value(QStringLiteral("scale"));
        if (n != QLatin1String("1") && n != QLatin1String("2") && n != QLatin1String("4")) {
            err << "quelf: --scale must be 1, 2 or 4\n";
            return exit_status::kBadArguments;
        }
        if (format != PictureFormat::Png) {
            err << "quelf: --scale goes with a .png picture\n";
            return exit_status::kBadArguments;
        }
        scale = n.toInt();
    }

    AppState s;
    if (!LoadDesignOrTell(s, cl, err) || !LoadReferenceOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    s.compare.GhostOn = s.compare.Reference.has_value();
    const QString warning = AssemblyWarning(s);
    std::string error;
    const DisplayList list = picture->main ? MainExportPicture(s) : DiagramPictureOf(s, picture->kind);
    const QString title = QString::fromStdString(PictureFileStem(s.display.DataSetName, picture->name));
    if (!WriteDisplayList(list, out, format, scale, title, error)) return CannotWrite(err, out, error);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

const ReportRegistration kExport{[] {
    ReportMode m;
    m.option = QStringLiteral("export");
    m.valueName = QStringLiteral("WHAT");
    m.description = QStringLiteral("Draw picture WHAT (main, port-graph, port-graph-reverse, port-graph-both, steam, "
                                   "oval, sine) and write it to OUT (.png, .svg or .pdf).");
    m.arguments = {QStringLiteral("OUT")};
    m.options = {
        {QStringLiteral("scale"), QStringLiteral("N"), QStringLiteral("Scale of a PNG picture: 1, 2 or 4.")},
        {QStringLiteral("compare"), QStringLiteral("REF"),
         QStringLiteral("Compare with the reference design REF: the table as this - REF, the pictures with REF "
                        "in grey.")}};
    m.pictures = true;
    m.order = 20;
    m.run = RunExportReport;
    return m;
}()};

} // namespace
