#include "app/CommandLine.h"
#include "mainwin/TMainForm.h"
#include "model/ProgramVersion.h"
#include "platform/QtDesktop.h"
#include "platform/QtServices.h"
#include "platform/QtSound.h"
#include "platform/Services.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    // Reports, --help and --version write to the terminal and need no display.
    if (IsReportRun(argc, argv)) return RunReport(argc, argv);
    // So does a mistake on the window's command line.
    CommandLine cl;
    QString error;
    if (!ParseWindowCommandLine(argc, argv, cl, error)) {
        QTextStream(stderr) << "quelf: " << error << "\n" << UsageText();
        return 1;
    }

    QApplication app(argc, argv);
    // The names also place the remembered settings (recent designs, last folder).
    QApplication::setOrganizationName(QStringLiteral("QUELF"));
    QApplication::setApplicationName(QStringLiteral("QUELF Outside Admission"));
    QApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("quelf"));
    QApplication::setWindowIcon(ProgramIcon());

    AppState state;
    QtSoundPort sound;
    ClockSeededRandom random;
    QtClock clock;
    TMainForm mainForm(state, sound, random, clock);
    mainForm.CreateChildWindows();
    mainForm.show();
    // A design named on the command line opens once the window is up.
    if (!cl.file.isEmpty()) mainForm.OpenDesignWhenShown(cl.file);
    return app.exec();
}
