#include "app/CommandLine.h"

#include "analysis/Assembly.h"
#include "analysis/ValveEvents.h"
#include "analysis/ValveEventsTable.h"
#include "files/DesignFile.h"
#include "files/FileMessages.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "files/OlderFile.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "model/ProgramVersion.h"
#include "platform/FileSystem.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

std::vector<ReportMode>& Modes()
{
    static std::vector<ReportMode> modes;
    return modes;
}

// The modes in the order of the usage text.
std::vector<const ReportMode*> SortedModes()
{
    std::vector<const ReportMode*> sorted;
    for (const ReportMode& m : Modes()) sorted.push_back(&m);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const ReportMode* a, const ReportMode* b) { return a->order < b->order; });
    return sorted;
}

const ReportMode* ModeNamed(const QString& option)
{
    for (const ReportMode& m : Modes())
        if (m.option == option) return &m;
    return nullptr;
}

// Every option that goes with some mode, once, with the modes it goes with.
struct KnownOption {
    ReportOption option;
    QStringList modes;
};
std::vector<KnownOption> KnownOptions()
{
    std::vector<KnownOption> known;
    for (const ReportMode* m : SortedModes()) {
        for (const ReportOption& o : m->options) {
            auto it =
                std::find_if(known.begin(), known.end(), [&](const KnownOption& k) { return k.option.name == o.name; });
            if (it == known.end()) {
                known.push_back({o, {m->option}});
            } else {
                it->modes << m->option;
                // Each mode says what the option means for it.
                if (!it->option.description.contains(o.description)) it->option.description += ' ' + o.description;
            }
        }
    }
    return known;
}

QString Dashed(const QStringList& options)
{
    QStringList d;
    for (const QString& o : options) d << QStringLiteral("--") + o;
    return d.join(QStringLiteral(" or "));
}

// The offscreen platform warns when the session has no runtime directory; a
// report writes nothing on success, so the warning is dropped.
QtMessageHandler gDefaultHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (gDefaultHandler) gDefaultHandler(type, context, message);
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

void AddOptions(QCommandLineParser& p)
{
    QString description = QStringLiteral("Steam locomotive valve gear simulator (outside admission).\n"
                                         "Exit status: 0 done, 1 bad arguments, 2 the design cannot be read,\n"
                                         "3 the output cannot be written, 4 no solution / the design fails what was "
                                         "asked.");
    p.setApplicationDescription(description);
    p.addHelpOption();
    p.addVersionOption();
    for (const ReportMode* m : SortedModes()) {
        if (m->valueName.isEmpty()) {
            p.addOption({m->option, m->description});
        } else {
            p.addOption({m->option, m->description, m->valueName});
        }
    }
    for (const KnownOption& k : KnownOptions()) {
        const QString goesWith = QStringLiteral(" (with %1)").arg(Dashed(k.modes));
        if (k.option.values == 0) {
            p.addOption({k.option.name, k.option.description + goesWith});
        } else {
            p.addOption({k.option.name, k.option.description + goesWith, k.option.valueName});
        }
    }
    p.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A design file (.vgw or .json, or .vgd to import)."),
                            QStringLiteral("[FILE]"));
}

bool WriteStandardOutput(const QString& text, std::string& error)
{
#ifdef _WIN32
    // CSV carries its own CR LF: no translation of line ends.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const QByteArray bytes = text.toUtf8();
    errno = 0;
    const std::size_t written = bytes.isEmpty() ? 0 : std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    const bool flushed = std::fflush(stdout) == 0;
    if (written == static_cast<std::size_t>(bytes.size()) && flushed && !std::ferror(stdout)) return true;
    error = IoErrorReason(SystemFileError(errno ? errno : EIO), true);
    return false;
}

} // namespace

ReportRegistration::ReportRegistration(ReportMode mode) { Modes().push_back(std::move(mode)); }

QStringList ProgramArguments(int argc, char** argv)
{
    QStringList all;
    if (QCoreApplication::instance()) {
        all = QCoreApplication::arguments();
    } else {
        // A short-lived application object reads them as Qt reads them
        // (Unicode; on Windows from the wide command line).
        QCoreApplication probe(argc, argv);
        all = QCoreApplication::arguments();
    }
    QStringList args;
    for (int i = 0; i < all.size(); ++i) {
        bool takesValue = false;
        if (i > 0 && IsQtOption(all[i], takesValue)) {
            if (takesValue) ++i;
            continue;
        }
        args << all[i];
    }
    return args;
}

bool IsReportRun(const QStringList& arguments)
{
    for (int i = 1; i < arguments.size(); ++i)
        if (arguments[i].size() > 1 && arguments[i].startsWith(QLatin1Char('-'))) return true;
    return false;
}

QString UsageText()
{
    QString text = QStringLiteral("Usage: quelf [FILE]\n");
    for (const ReportMode* m : SortedModes()) {
        QString line = QStringLiteral("       quelf --") + m->option;
        if (!m->valueName.isEmpty()) line += QLatin1Char(' ') + m->valueName;
        for (const QString& a : m->arguments) line += QLatin1Char(' ') + a;
        for (const ReportOption& o : m->options) {
            line += QStringLiteral(" [--") + o.name;
            if (!o.valueName.isEmpty()) line += QLatin1Char(' ') + o.valueName;
            line += QLatin1Char(']');
        }
        text += line + QStringLiteral(" [FILE]\n");
    }
    text += QStringLiteral("       quelf --help | --version\n"
                           "Exit status: 0 done, 1 bad arguments, 2 the design cannot be read, 3 the output cannot be\n"
                           "written, 4 no solution / the design fails what was asked.\n");
    return text;
}

bool ParseCommandLine(const QStringList& arguments, CommandLine& out, QString& error)
{
    out = CommandLine{};
    const std::vector<KnownOption> known = KnownOptions();
    // Options of two values (which may be negative numbers) are taken out
    // before the parser sees them: it would read "-5" as an option.
    QStringList args;
    for (int i = 0; i < arguments.size(); ++i) {
        bool taken = false;
        for (const KnownOption& k : known) {
            if (k.option.values != 2 || i == 0) continue;
            const QString dashed = QStringLiteral("--") + k.option.name;
            if (arguments[i].startsWith(dashed + QLatin1Char('='))) {
                error = QStringLiteral("%1 takes two values: %1 %2").arg(dashed, k.option.valueName);
                return false;
            }
            if (arguments[i] != dashed) continue;
            if (i + 2 >= arguments.size()) {
                error = QStringLiteral("%1 needs two values: %2").arg(dashed, k.option.valueName);
                return false;
            }
            out.options[k.option.name] = QStringList{arguments[i + 1], arguments[i + 2]};
            i += 2;
            taken = true;
            break;
        }
        if (!taken) args << arguments[i];
    }
    QCommandLineParser p;
    AddOptions(p);
    if (!p.parse(args)) {
        error = p.errorText();
        return false;
    }
    if (p.isSet(QStringLiteral("help"))) p.showHelp(0);
    if (p.isSet(QStringLiteral("version"))) p.showVersion();

    QStringList given;
    for (const ReportMode* m : SortedModes())
        if (p.isSet(m->option)) given << m->option;
    if (given.size() > 1) {
        QStringList all;
        for (const ReportMode* m : SortedModes()) all << m->option;
        error =
            QStringLiteral("choose one of %1").arg(Dashed(all).replace(QStringLiteral(" or "), QStringLiteral(", ")));
        return false;
    }
    const ReportMode* mode = given.isEmpty() ? nullptr : ModeNamed(given[0]);
    for (const KnownOption& k : known) {
        const bool set = k.option.values == 2 ? out.options.contains(k.option.name) : p.isSet(k.option.name);
        if (!set) continue;
        if (!mode || !k.modes.contains(mode->option)) {
            error = QStringLiteral("--%1 goes with %2").arg(k.option.name, Dashed(k.modes));
            return false;
        }
        if (k.option.values == 1) out.options[k.option.name] = p.values(k.option.name);
        if (k.option.values == 0) out.options[k.option.name] = QStringList{};
    }

    const QStringList pos = p.positionalArguments();
    const int before = mode ? static_cast<int>(mode->arguments.size()) : 0;
    if (pos.size() < before) {
        QStringList need;
        if (!mode->valueName.isEmpty()) need << mode->valueName;
        need << mode->arguments;
        error = QStringLiteral("--%1 needs %2").arg(mode->option, need.join(QStringLiteral(" and ")));
        return false;
    }
    if (pos.size() > before + 1) {
        error = QStringLiteral("unexpected argument \"%1\"").arg(pos[before + 1]);
        return false;
    }
    out.arguments = pos.mid(0, before);
    if (pos.size() == before + 1) out.file = pos[before];
    if (mode) {
        out.mode = mode->option;
        if (!mode->valueName.isEmpty()) out.modeValue = p.value(mode->option);
    }
    return true;
}

bool LoadDesignForReport(AppState& s, const QString& file, std::string& error)
{
    StartupModel(s);
    if (file.isEmpty()) return true;
    const std::string path = file.toStdString(); // UTF-8
    const bool older = QFileInfo(file).suffix().compare(QLatin1String("vgd"), Qt::CaseInsensitive) == 0;
    // No one can be asked here: huge values are refused like values that are
    // not numbers.
    const DesignFileResult r = older                    ? ImportOlderFile(s, path, HugeValues::Refuse)
                               : IsJsonDesignPath(path) ? OpenJsonDesign(s, path, HugeValues::Refuse)
                                                        : OpenNativeFile(s, path, HugeValues::Refuse);
    if (r.ok) return true;
    error = OpenFailureMessage(file.toStdString(), r).OneLine();
    return false;
}

bool LoadDesignOrTell(AppState& s, const CommandLine& cl, QTextStream& err)
{
    std::string error;
    if (LoadDesignForReport(s, cl.file, error)) return true;
    err << "quelf: " << QString::fromStdString(error) << "\n";
    return false;
}

bool LoadReferenceOrTell(AppState& s, const CommandLine& cl, QTextStream& err)
{
    if (!cl.Has(QStringLiteral("compare"))) return true;
    AppState ref;
    std::string error;
    if (!LoadDesignForReport(ref, cl.Value(QStringLiteral("compare")), error)) {
        err << "quelf: the reference: " << QString::fromStdString(error) << "\n";
        return false;
    }
    s.compare.Reference = ref.gear;
    s.compare.ReferenceName = ref.display.DataSetName;
    return true;
}

int BadArguments(QTextStream& err, const QString& why)
{
    err << "quelf: " << why << "\n" << UsageText();
    return exit_status::kBadArguments;
}

bool RevArmWithinTravel(const Gear& g, long double revArm, const CommandLine& cl, QTextStream& err, float& position)
{
    const long double a = static_cast<long double>(g.RevArmCentre()) - g.RevArmMax;
    const long double b = static_cast<long double>(g.RevArmCentre()) + g.RevArmMax;
    const long double lo = std::min(a, b), hi = std::max(a, b);
    if (!(revArm >= lo && revArm <= hi)) {
        BadArguments(err, QStringLiteral("--rev-arm %1 is beyond the reverse arm's travel, %2 to %3")
                              .arg(cl.Value(QStringLiteral("rev-arm")), QString::fromStdString(DecimalText(lo, 3)),
                                   QString::fromStdString(DecimalText(hi, 3))));
        return false;
    }
    position = ToModelFloat(revArm);
    return true;
}

bool IsDesignOutName(const QString& out) { return DesignFormatOfPath(out.toStdString()) != DesignFormat::Unknown; }

int BadDesignOutName(QTextStream& err, const QString& out)
{
    return BadArguments(err, QStringLiteral("\"%1\" must end in .json or .vgw").arg(out));
}

int CannotWrite(QTextStream& err, const QString& path, const std::string& why)
{
    err << "quelf: cannot write \"" << path << "\": " << QString::fromStdString(why) << "\n";
    return exit_status::kOutputUnwritable;
}

QString AssemblyWarning(const AppState& s)
{
    const std::vector<ValveEventsRow> rows = ValveEventsRowsOf(s.gear);
    const auto clamped =
        std::count_if(rows.begin(), rows.end(), [](const ValveEventsRow& r) { return r.events.clamped; });
    if (clamped == 0) return {};
    // What keeps it from it, at the setting of the first row that clamped
    // (a turn solved on a copy there).
    QString why;
    for (const ValveEventsRow& r : rows) {
        if (!r.events.clamped) continue;
        Gear g = s.gear;
        g.RevArmPos = r.events.revArmPos;
        const std::string text = ExplainAssembly(g);
        if (text.empty()) continue;
        why = QStringLiteral("%1 (reverse arm %2); ")
                  .arg(QString::fromStdString(text), QString::fromStdString(DecimalText(g.RevArmPos, 3)));
        break;
    }
    return QStringLiteral("quelf: warning: the gear cannot be assembled everywhere: %1the solver clamped in %2 of the "
                          "%3 rows of the valve events table")
        .arg(why)
        .arg(clamped)
        .arg(rows.size());
}

int RunReport(int argc, char** argv, const QStringList& arguments)
{
    // Pictures need fonts and a paint engine: a GUI application on the
    // offscreen platform, unless the caller chose one.
    bool pictures = false;
    for (const QString& a : arguments)
        for (const ReportMode& m : Modes())
            if (m.pictures && (a == QStringLiteral("--") + m.option ||
                               a.startsWith(QStringLiteral("--") + m.option + QLatin1Char('='))))
                pictures = true;
    std::unique_ptr<QCoreApplication> app;
    if (pictures) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        gDefaultHandler = qInstallMessageHandler(QuietHandler);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("QUELF Outside Admission"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));

    QTextStream err(stderr);
    CommandLine cl;
    QString error;
    if (!ParseCommandLine(arguments, cl, error)) return BadArguments(err, error);
    const ReportMode* mode = ModeNamed(cl.mode);
    if (!mode) return BadArguments(err, QStringLiteral("choose a report mode, or give at most one design file"));

    QString output;
    int status = exit_status::kBadArguments;
    {
        QTextStream out(&output);
        status = mode->run(cl, out, err);
    }
    std::string why;
    if (!WriteStandardOutput(output, why)) {
        err << "quelf: cannot write the output: " << QString::fromStdString(why) << "\n";
        status = exit_status::kOutputUnwritable;
    }
    err.flush();
    return status;
}
