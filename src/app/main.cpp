#include "app/CommandLine.h"
#include "files/Recovery.h"
#include "mainwin/TMainForm.h"
#include "model/ProgramVersion.h"
#include "platform/Services.h"
#include "qt/QtDesktop.h"
#include "qt/QtServices.h"
#include "qt/QtSound.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    const QStringList arguments = ProgramArguments(argc, argv);
    // Reports, --help and --version write to the terminal and need no display.
    if (IsReportRun(arguments)) return RunReport(argc, argv, arguments);
    // So does a mistake on the window's command line (at most one FILE).
    if (arguments.size() > 2) {
        QTextStream(stderr) << "quelf: unexpected argument \"" << arguments[2] << "\"\n" << UsageText();
        return exit_status::kBadArguments;
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
    // Unsaved changes are kept in the user's state folder while the program
    // runs; what a program that died left there is offered back.
    mainForm.EnableRecovery(QString::fromStdString(
        RecoveryFolder(qEnvironmentVariable("XDG_STATE_HOME").toStdString(), QDir::homePath().toStdString())));
    // A design named on the command line opens once the window is up.
    if (arguments.size() == 2) mainForm.OpenDesignWhenShown(arguments[1]);
    return app.exec();
}
