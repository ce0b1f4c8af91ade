// The program's command line: the interactive window, or one of the report
// modes that write a result and exit without opening a window (and without a
// display).
//
//   quelf [FILE]                                      the simulator
//   quelf --valve-events [FILE]                       the valve events table as CSV
//   quelf --export WHAT OUT [--scale N] [FILE]        one picture as PNG, SVG or PDF
//   quelf --balance TARGET DIMENSION [--range LO HI] [FILE]
//                                                     a dimension that balances the events
//   quelf --scale-design FACTOR OUT.vgw [FILE]        the design scaled, saved as OUT
//   ... and the modes the other Report*.cpp files register.
//
// FILE is a design (.vgw or .json, opened as the open menu does; .vgd,
// imported); without it the built-in design is used.
//
// Each report mode lives in a file of its own (Report*.cpp) and registers
// itself with a ReportRegistration: its option, the arguments it takes, the
// options that go with it and the function that runs it. The parser, the
// usage text and --help are made from what is registered.
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

struct AppState;
struct Gear;
class QTextStream;

// Exit status of every mode, told on standard error in one line when not 0.
namespace exit_status {
inline constexpr int kDone = 0;
inline constexpr int kBadArguments = 1;
inline constexpr int kDesignUnreadable = 2;
inline constexpr int kOutputUnwritable = 3;
inline constexpr int kNoSolution = 4; // or: the design fails what was asked
} // namespace exit_status

struct CommandLine {
    QString mode;                       // the report mode's option ("valve-events"); empty: the window
    QString modeValue;                  // the mode's own value (WHAT of --export), empty for a flag
    QStringList arguments;              // the mode's positional arguments before FILE, in order
    QString file;                       // empty: the built-in design
    QMap<QString, QStringList> options; // the other options given, with their values

    bool Has(const QString& option) const { return options.contains(option); }
    QString Value(const QString& option) const { return options.value(option).value(0); }
    QStringList Values(const QString& option) const { return options.value(option); }
};

// An option that goes with one or more report modes.
struct ReportOption {
    QString name;      // "scale"
    QString valueName; // "N"; "LO HI" for two values; empty for a flag
    QString description;
    int values = 1; // 0 (flag), 1 or 2
};

// What a report is given: its command line, and standard error. What it
// prints for standard output goes to `out`, which the program writes at the
// end (a failure to write it is exit status 3).
using ReportFunction = std::function<int(const CommandLine& cl, QTextStream& out, QTextStream& err)>;

struct ReportMode {
    QString option;              // "valve-events"
    QString valueName;           // the option's own value ("WHAT"); empty for a flag
    QString description;         // one line for --help
    QStringList arguments;       // positional arguments before [FILE]: {"OUT"} for --export
    QList<ReportOption> options; // options that go with this mode
    bool pictures = false;       // draws pictures: needs fonts and a paint engine
    int order = 100;             // place in the usage text
    ReportFunction run;
};

// Registers a mode (one static object per Report*.cpp file).
struct ReportRegistration {
    explicit ReportRegistration(ReportMode mode);
};

// The program's arguments as Unicode texts, read through
// QCoreApplication::arguments() (on Windows from the wide command line), with
// Qt's own options (-platform, -style and the like) taken out; argv[0] first.
QStringList ProgramArguments(int argc, char** argv);

// True when the arguments hold an option of ours (a report mode, --help,
// --version, or a mistake to tell on the terminal): the program then runs
// RunReport instead of starting the window.
bool IsReportRun(const QStringList& arguments);

// Creates the application object the mode needs, parses, runs the report,
// writes its output and returns the exit status.
int RunReport(int argc, char** argv, const QStringList& arguments);

// Parses the arguments (argv[0] included, Qt's options taken out). On bad
// arguments returns false with a one-line reason. --help and --version are
// handled by the parser (they print and exit).
bool ParseCommandLine(const QStringList& arguments, CommandLine& out, QString& error);

// The usage text printed with a bad-arguments error.
QString UsageText();

// The design a report works on: the built-in one (StartupModel), then FILE
// when given, loaded as the open menu loads it (.vgd imported, .json read as
// the design as JSON, anything else opened as a native design). On failure returns false with a one-line reason
// that names the file; a file with values that are not numbers or that no gear
// can have is refused.
bool LoadDesignForReport(AppState& s, const QString& file, std::string& error);

// Loads the design for a report or tells why not on `err`: true when loaded.
bool LoadDesignOrTell(AppState& s, const CommandLine& cl, QTextStream& err);

// The reference design of --compare REF, loaded as LoadDesignForReport loads
// a design, into s.compare (with its data set name); true when there is no
// --compare or the reference was loaded, else the reason on `err`.
bool LoadReferenceOrTell(AppState& s, const CommandLine& cl, QTextStream& err);

// A mistake in the arguments, found by a report: told with the usage;
// returns exit_status::kBadArguments.
int BadArguments(QTextStream& err, const QString& why);

// --rev-arm R of a report, within the travel the "SetRevArmPos" dialog allows
// (mid gear ± RevArmMax): true with R in `position`; else the mistake told
// (BadArguments) and false.
bool RevArmWithinTravel(const Gear& g, long double revArm, const CommandLine& cl, QTextStream& err, float& position);

// OUT of a mode that writes a design: its name chooses the format
// (files/DesignFile: .vgw a design file, .json the design as JSON).
bool IsDesignOutName(const QString& out);
// Any other name, told as a mistake in the arguments ("OUT" must end in
// .json or .vgw); returns exit_status::kBadArguments.
int BadDesignOutName(QTextStream& err, const QString& out);

// An output file that could not be written, told on `err` with the reason;
// returns exit_status::kOutputUnwritable.
int CannotWrite(QTextStream& err, const QString& path, const std::string& why);

// The warning line of a report on a design that cannot be assembled at some
// notches (the solver clamped); empty when the gear assembles everywhere.
QString AssemblyWarning(const AppState& s);
