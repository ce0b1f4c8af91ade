// Saves a picture of the main window, the oval and sine diagrams and each
// small window of the program into the directory given on the command line
// (the README's screenshots). Built on demand:
//   cmake --build build --target screenshots
//   (cd build && QT_QPA_PLATFORM=offscreen ./screenshots ../docs)
//   (cd build && QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 ./screenshots ../docs)   main-window-200.png only
#include "aids/TAboutBox.h"
#include "aids/TDrawLines.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TStpAng.h"
#include "graphs/TOvalDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSineDia.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMainForm.h"
#include "mainwin/TRefPnts.h"
#include "platform/QtServices.h"
#include "platform/Services.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

bool Shoot(QWidget* w, const QString& dir, const char* file, bool hide = true)
{
    if (!w) {
        std::fprintf(stderr, "no window for %s\n", file);
        return false;
    }
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    QTest::qWait(100);
    const bool ok = w->grab().save(QDir(dir).filePath(QString::fromLatin1(file)));
    if (hide) w->hide();
    std::printf("%s %s\n", ok ? "saved" : "FAILED", file);
    return ok;
}

// A diagram window as it first draws, at its layout's size (the positions
// as their dialog settles them, without showing it).
bool ShootDiagram(TDiagramWindow* w, TSetRevArm* positions, const QString& dir, const char* file)
{
    positions->LayoutRevArmDialog();
    TSetRevArm* own = w->PositionsDialog();
    w->SetPositionsDialog(nullptr);
    const bool ok = Shoot(w, dir, file);
    w->SetPositionsDialog(own);
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
    // At 200 % the main window only.
    if (QGuiApplication::primaryScreen()->devicePixelRatio() >= 2)
        return Shoot(&form, dir, "main-window-200.png", false) ? 0 : 1;
    ok &= Shoot(&form, dir, "main-window.png", false);
    ok &= ShootDiagram(f.OvalDia, f.SetRevArm, dir, "oval-diagram.png");
    ok &= ShootDiagram(f.SineDia, f.SetRevArm, dir, "sine-diagram.png");
    ok &= Shoot(f.DrawLines, dir, "draw-lines.png");
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

    // The question about a design a program that died left behind.
    std::unique_ptr<QMessageBox> recover(
        NewRecoverBox(nullptr, QStringLiteral("my gear"), QStringLiteral("2024-05-01 14:03")));
    ok &= Shoot(recover.get(), dir, "recover-question.png");
    // A gear that cannot be assembled: the main window and the frame dialog say why.
    state.gear.EccRodLength = 11;
    state.gear.DriverAngle = 0;
    state.anim.ActiveStep = 0;
    for (int i = 0; i < 3; ++i) form.Tick();
    const bool shot = form.grab().save(QDir(dir).filePath(QStringLiteral("main-window-unassembled.png")));
    std::printf("%s main-window-unassembled.png\n", shot ? "saved" : "FAILED");
    ok &= shot;
    ok &= Shoot(f.FrameDi, dir, "frame-dimensions-unassembled.png");
    return ok ? 0 : 1;
}
