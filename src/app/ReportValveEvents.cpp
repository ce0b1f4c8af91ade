// quelf --valve-events [FILE]: the valve events table of a design as CSV on
// standard output.
#include "analysis/ValveEventsTable.h"
#include "app/CommandLine.h"
#include "files/TextTable.h"
#include "model/AppState.h"

#include <QTextStream>

// Exit status when the design cannot be read.
inline constexpr int kDesignUnreadable = 2;

int RunValveEventsReport(const CommandLine& cl, QTextStream& out, QTextStream& err)
{
    AppState s;
    std::string error;
    if (!LoadDesignForReport(s, cl.file, error)) {
        err << "quelf: " << QString::fromStdString(error) << "\n";
        return kDesignUnreadable;
    }
    out << QString::fromStdString(CsvText(ValveEventsTextOf(s.gear)));
    return 0;
}
