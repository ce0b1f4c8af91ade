#include "app/CommandLine.h"
#include "mainwin/TMainForm.h"
#include "platform/QtServices.h"
#include "platform/QtSound.h"
#include "platform/Services.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Reports, --help and --version write to the terminal and need no display.
    if (IsReportRun(argc, argv)) return RunReport(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QUELF Outside Admission"));
    QApplication::setApplicationVersion(QStringLiteral("2.6"));

    AppState state;
    QtSoundPort sound;
    ClockSeededRandom random;
    QtClock clock;
    TMainForm mainForm(state, sound, random, clock);
    mainForm.CreateChildWindows();
    mainForm.show();
    return app.exec();
}
