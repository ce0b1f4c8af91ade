#include "app/CommandLine.h"

#include "files/FileMessages.h"
#include "files/NativeFile.h"
#include "files/OlderFile.h"
#include "model/Model.h"
#include "model/ProgramVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstring>
#include <memory>

namespace {

// Every long option is ours (a report mode, --help, --version, or a mistake
// to report on the terminal); Qt's own options, such as -platform, take one
// dash and go to the window.
bool IsReportFlag(const char* a)
{
    if (std::strncmp(a, "--", 2) == 0 && a[2] != '\0') return true;
    return std::strcmp(a, "-h") == 0 || std::strcmp(a, "-v") == 0 || std::strcmp(a, "-?") == 0;
}

// The offscreen platform warns when the session has no runtime directory; a
// report writes nothing on success, so the warning is dropped.
QtMessageHandler gDefaultHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (gDefaultHandler) gDefaultHandler(type, context, message);
}

void SetUpApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("QUELF Outside Admission"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
}

// The parser with every option of every mode.
void AddOptions(QCommandLineParser& p)
{
    p.setApplicationDescription(QStringLiteral("Steam locomotive valve gear simulator (outside admission)."));
    p.addHelpOption();
    p.addVersionOption();
    p.addOption({QStringLiteral("valve-events"), QStringLiteral("Print the valve events table of the design as CSV.")});
    p.addOption({QStringLiteral("export"),
                 QStringLiteral("Draw picture WHAT (main, port-graph, port-graph-reverse, port-graph-both, steam, "
                                "oval, sine) and write it to OUT (.png, .svg or .pdf)."),
                 QStringLiteral("WHAT")});
    p.addOption({QStringLiteral("scale"), QStringLiteral("Scale of a PNG export: 1, 2 or 4."), QStringLiteral("N")});
    p.addOption({QStringLiteral("balance"),
                 QStringLiteral("Find the value of DIMENSION that balances TARGET (lead, cutoff-fwd, cutoff-rev, "
                                "cutoff-both)."),
                 QStringLiteral("TARGET")});
    p.addOption({QStringLiteral("range"), QStringLiteral("Search range LO HI of --balance (two values)."),
                 QStringLiteral("LO HI")});
    p.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A design file (.vgw, or .vgd to import)."),
                            QStringLiteral("[FILE]"));
}

// Qt's own options, which the application object takes out of the command
// line; `takesValue`: the next argument is the option's value.
bool IsQtOption(const QString& a, bool& takesValue)
{
    static const char* const kWithValue[] = {
        "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",       "-qwindowgeometry", "-qwindowtitle",
        "-qwindowicon", "-geometry",           "-title",         "-icon",         "-display",         "-session",
        "-style",       "-stylesheet",         "-name",          "-qmljsdebugger"};
    static const char* const kFlags[] = {"-reverse", "-widgetcount", "-testability", "-nograb", "-dograb", "-sync"};
    takesValue = false;
    for (const char* o : kFlags)
        if (a == QLatin1String(o)) return true;
    for (const char* o : kWithValue) {
        if (a == QLatin1String(o)) {
            takesValue = true;
            return true;
        }
        if (a.startsWith(QLatin1String(o) + QLatin1Char('='))) return true;
    }
    return false;
}

} // namespace

bool ParseWindowCommandLine(int argc, char** argv, CommandLine& out, QString& error)
{
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        bool takesValue = false;
        if (i > 0 && IsQtOption(a, takesValue)) {
            if (takesValue) ++i;
            continue;
        }
        args << a;
    }
    return ParseCommandLine(args, out, error);
}

QString UsageText()
{
    return QStringLiteral("Usage: quelf [FILE]\n"
                          "       quelf --valve-events [FILE]\n"
                          "       quelf --export WHAT OUT [--scale N] [FILE]\n"
                          "       quelf --balance TARGET DIMENSION [--range LO HI] [FILE]\n"
                          "       quelf --help | --version\n");
}

bool IsReportRun(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i] && IsReportFlag(argv[i])) return true;
    return false;
}

bool ParseCommandLine(const QStringList& arguments, CommandLine& out, QString& error)
{
    out = CommandLine{};
    // "--range LO HI" takes two values, which may be negative: take them out
    // before the parser sees them (it would read "-5" as an option).
    QStringList args;
    for (int i = 0; i < arguments.size(); ++i) {
        if (i > 0 && arguments[i] == QLatin1String("--range")) {
            if (i + 2 >= arguments.size()) {
                error = QStringLiteral("--range needs two values: LO HI");
                return false;
            }
            out.hasRange = true;
            out.rangeLo = arguments[i + 1];
            out.rangeHi = arguments[i + 2];
            i += 2;
            continue;
        }
        args << arguments[i];
    }
    QCommandLineParser p;
    AddOptions(p);
    if (!p.parse(args)) {
        error = p.errorText();
        return false;
    }
    if (p.isSet(QStringLiteral("help"))) p.showHelp(0);
    if (p.isSet(QStringLiteral("help-all"))) p.showHelp(0);
    if (p.isSet(QStringLiteral("version"))) p.showVersion();

    const bool events = p.isSet(QStringLiteral("valve-events"));
    const bool exportSet = p.isSet(QStringLiteral("export"));
    const bool balance = p.isSet(QStringLiteral("balance"));
    if (int(events) + int(exportSet) + int(balance) > 1) {
        error = QStringLiteral("choose one of --valve-events, --export and --balance");
        return false;
    }
    QStringList pos = p.positionalArguments();
    auto takeFileFrom = [&](int first) {
        if (pos.size() > first + 1) {
            error = QStringLiteral("unexpected argument \"%1\"").arg(pos[first + 1]);
            return false;
        }
        if (pos.size() == first + 1) out.file = pos[first];
        return true;
    };
    if (p.isSet(QStringLiteral("scale")) && !exportSet) {
        error = QStringLiteral("--scale goes with --export");
        return false;
    }
    if (out.hasRange && !balance) {
        error = QStringLiteral("--range goes with --balance");
        return false;
    }
    if (events) {
        out.mode = CommandLine::Mode::ValveEvents;
        return takeFileFrom(0);
    }
    if (exportSet) {
        out.mode = CommandLine::Mode::Export;
        if (pos.isEmpty()) {
            error = QStringLiteral("--export needs WHAT and OUT");
            return false;
        }
        out.args << p.value(QStringLiteral("export")) << pos[0];
        out.scale = p.value(QStringLiteral("scale"));
        return takeFileFrom(1);
    }
    if (balance) {
        out.mode = CommandLine::Mode::Balance;
        if (pos.isEmpty()) {
            error = QStringLiteral("--balance needs TARGET and DIMENSION");
            return false;
        }
        out.args << p.value(QStringLiteral("balance")) << pos[0];
        return takeFileFrom(1);
    }
    out.mode = CommandLine::Mode::Gui;
    return takeFileFrom(0);
}

bool LoadDesignForReport(AppState& s, const QString& file, std::string& error)
{
    StartupModel(s);
    if (file.isEmpty()) return true;
    const std::string path = QFile::encodeName(file).toStdString();
    const bool older = QFileInfo(file).suffix().compare(QLatin1String("vgd"), Qt::CaseInsensitive) == 0;
    // No one can be asked here: huge values are refused like values that are
    // not numbers.
    const DesignFileResult r =
        older ? ImportOlderFile(s, path, HugeValues::Refuse) : OpenNativeFile(s, path, HugeValues::Refuse);
    if (r.ok) return true;
    error = OpenFailureMessage(file.toStdString(), r).OneLine();
    return false;
}

int RunReport(int argc, char** argv)
{
    // Pictures need fonts and a paint engine: a GUI application on the
    // offscreen platform, unless the caller chose one.
    bool wantsGui = false;
    for (int i = 1; i < argc; ++i)
        if (argv[i] && std::strncmp(argv[i], "--export", 8) == 0) wantsGui = true;
    std::unique_ptr<QCoreApplication> app;
    if (wantsGui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        gDefaultHandler = qInstallMessageHandler(QuietHandler);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    SetUpApplication();

    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLine cl;
    QString error;
    if (!ParseCommandLine(QCoreApplication::arguments(), cl, error)) {
        err << "quelf: " << error << "\n" << UsageText();
        return 1;
    }
    int status = 1;
    switch (cl.mode) {
    case CommandLine::Mode::ValveEvents: status = RunValveEventsReport(cl, out, err); break;
    case CommandLine::Mode::Export: status = RunExportReport(cl, out, err); break;
    case CommandLine::Mode::Balance: status = RunBalanceReport(cl, out, err); break;
    case CommandLine::Mode::Gui: err << UsageText(); break;
    }
    out.flush();
    err.flush();
    return status;
}
