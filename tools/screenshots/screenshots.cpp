// Saves a picture of each small window of the program into the directory
// given on the command line (the README's screenshots). Built on demand:
//   cmake --build build --target screenshots
//   (cd build && QT_QPA_PLATFORM=offscreen ./screenshots ../docs)
#include "aids/TAboutBox.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TStpAng.h"
#include "dialogs/TTolerance.h"
#include "graphs/TSetRevArm.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMainForm.h"
#include "mainwin/TRefPnts.h"
#include "platform/QtServices.h"
#include "platform/Services.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

bool Shoot(QWidget* w, const QString& dir, const char* file)
{
    if (!w) {
        std::fprintf(stderr, "no window for %s\n", file);
        return false;
    }
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    QTest::qWait(100);
    const bool ok = w->grab().save(QDir(dir).filePath(QString::fromLatin1(file)));
    w->hide();
    std::printf("%s %s\n", ok ? "saved" : "FAILED", file);
    return ok;
}

// Shows a window, starts its work and takes its picture once the work is done.
template <class Busy, class Start>
bool ShootWhenDone(QWidget* w, const QString& dir, const char* file, Busy busy, Start start)
{
    if (!w) return Shoot(w, dir, file);
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    start();
    QDeadlineTimer deadline(600000);
    while (busy() && !deadline.hasExpired()) QTest::qWait(50);
    return Shoot(w, dir, file);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    TMainForm form(state, sound, random, clock);
    form.Timer1->stop();
    form.CreateChildWindows();
    form.show();
    for (int i = 0; i < 20; ++i) form.Tick();
    const ChildWindows& f = form.Forms;
    bool ok = true;
    ok &= Shoot(f.SetRevArm, dir, "reverse-arm-positions.png");
    ok &= Shoot(f.RefPnts, dir, "reference-points-dialog.png");
    ok &= Shoot(f.RevPos, dir, "reverse-arm-dialog.png");
    ok &= Shoot(f.DrivAng, dir, "driver-angle-dialog.png");
    ok &= Shoot(f.StpAng, dir, "step-angle-dialog.png");
    ok &= Shoot(f.GraphZoom, dir, "graphic-zoom-dialog.png");
    ok &= Shoot(f.Inst, dir, "instructions.png");
    ok &= Shoot(f.QelSpInst, dir, "qelspins-instructions.png");
    ok &= Shoot(f.AboutBox, dir, "about.png");
    ok &= ShootWhenDone(
        f.DesignCheck, dir, "design-check.png", [&] { return f.DesignCheck->Measuring(); }, [] {});
    ok &= ShootWhenDone(
        f.Optimise, dir, "optimise-design.png", [&] { return f.Optimise->Searching(); },
        [&] { f.Optimise->FindButClick(); });
    ok &= ShootWhenDone(
        f.Sensitivity, dir, "sensitivity.png", [&] { return f.Sensitivity->Measuring(); }, [] {});
    ok &= ShootWhenDone(
        f.Tolerance, dir, "tolerance-study.png", [&] { return f.Tolerance->Running(); },
        [&] {
            f.Tolerance->PinClearance->setText(QStringLiteral("0.002"));
            f.Tolerance->RunButClick();
        });
    return ok ? 0 : 1;
}
