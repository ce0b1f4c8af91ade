// The program's command line: the interactive window, or one of the report
// modes that write a result and exit without opening a window (and without a
// display).
//
//   quelf [FILE]                                      the simulator
//   quelf --valve-events [FILE]                       the valve events table as CSV
//   quelf --export WHAT OUT [--scale N] [FILE]        one picture as PNG, SVG or PDF
//   quelf --balance TARGET DIMENSION [--range LO HI] [FILE]
//                                                     a dimension that balances the events
//
// FILE is a design (.vgw, opened as the open menu does; .vgd, imported); without
// it the built-in design is used.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

struct AppState;
class QTextStream;

struct CommandLine {
    enum class Mode { Gui, ValveEvents, Export, Balance };
    Mode mode = Mode::Gui;
    // The mode's own arguments in order: WHAT and OUT for --export, TARGET and
    // DIMENSION for --balance.
    QStringList args;
    QString file; // empty: the built-in design
    bool hasRange = false;
    QString rangeLo, rangeHi;
    QString scale; // --scale as typed; empty: not given
};

// True when argv holds a long option (a report mode, --help, --version or a
// mistake) or -h, -v, -?: the caller then runs RunReport instead of starting
// the window (decided before any application object exists, so that no
// display is needed).
bool IsReportRun(int argc, char** argv);

// Creates the application object the mode needs, parses, runs the report and
// returns the exit status (0 done, 1 bad arguments, other codes as the report
// defines them).
int RunReport(int argc, char** argv);

// Parses the arguments (argv[0] included). On bad arguments returns false with
// a one-line reason. --help and --version are handled by the parser itself.
bool ParseCommandLine(const QStringList& arguments, CommandLine& out, QString& error);

// The window mode's command line, read before the application object exists
// (so that a mistake is told without a display). Qt's own options (-platform,
// -style, -geometry and the like) are left for the application object; the
// rest is parsed as ParseCommandLine does.
bool ParseWindowCommandLine(int argc, char** argv, CommandLine& out, QString& error);

// The usage text printed with a bad-arguments error.
QString UsageText();

// The design a report works on: the built-in one (StartupModel), then FILE
// when given, loaded as the open menu loads it (.vgd imported, anything else
// opened as a native design). On failure returns false with a one-line reason
// that names the file; a file with values that are not numbers or that no gear
// can have is refused.
bool LoadDesignForReport(AppState& s, const QString& file, std::string& error);

// The reports (one file each). `out` is standard output, `err` standard error.
int RunValveEventsReport(const CommandLine& cl, QTextStream& out, QTextStream& err);
int RunExportReport(const CommandLine& cl, QTextStream& out, QTextStream& err);
int RunBalanceReport(const CommandLine& cl, QTextStream& out, QTextStream& err);
