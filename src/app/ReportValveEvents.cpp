#include "app/CommandLine.h"

#include <QTextStream>

int RunValveEventsReport(const CommandLine&, QTextStream&, QTextStream& err)
{
    err << "quelf: this report is not available yet\n";
    return 1;
}
