// Saves a picture of each small window of the program into the directory
// given on the command line (the README's screenshots). Built on demand:
//   cmake --build build --target screenshots
//   (cd build && QT_QPA_PLATFORM=offscreen ./screenshots ../docs)
#include "aids/TAboutBox.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TScaleDesign.h"
#include "dialogs/TStpAng.h"
#include "graphs/DiagramPictures.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TValveEvents.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMainForm.h"
#include "mainwin/TRefPnts.h"
#include "model/Model.h"
#include "platform/QtPicture.h"
#include "platform/QtServices.h"
#include "platform/Services.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>

namespace {

// `shown`: what to do once the window is up (its opening has run).
bool Shoot(QWidget* w, const QString& dir, const char* file, const std::function<void()>& shown = {})
{
    if (!w) {
        std::fprintf(stderr, "no window for %s\n", file);
        return false;
    }
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    if (shown) shown();
    QTest::qWait(100);
    const bool ok = w->grab().save(QDir(dir).filePath(QString::fromLatin1(file)));
    w->hide();
    std::printf("%s %s\n", ok ? "saved" : "FAILED", file);
    return ok;
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

    // Scale Design, working a factor out from two gauges.
    ok &= Shoot(f.ScaleDesign, dir, "scale-design.png", [&f] {
        f.ScaleDesign->FromScale->setCurrentText(QString::fromUtf8("4 ft 8½ in"));
        f.ScaleDesign->ToScale->setCurrentText(QStringLiteral("5 in"));
        f.ScaleDesign->RoundBox->setChecked(true);
    });

    // A change compared with the design it came from: a longer eccentric
    // travel with wider laps against the built-in design.
    state.compare.Reference = state.gear;
    state.compare.ReferenceName = "Nominal";
    state.display.DataSetName = "Longer travel";
    state.gear.EccCircleDiam = 1.375f;
    state.gear.Cyl(ciValveLengthFrontHalf) = 1.25f;
    state.gear.Cyl(ciValveLengthRearHalf) = 1.25f;
    RecomputeRevArmCentre(state.gear);
    state.compare.GhostOn = true;
    if (f.ValveEvents) f.ValveEvents->ShowDifference->setChecked(true);
    ok &= Shoot(f.ValveEvents, dir, "valve-events-compare.png");
    for (const auto& [kind, file] : {std::pair{DiagramKind::Oval, "oval-compare.png"},
                                     std::pair{DiagramKind::PortForward, "port-graph-compare.png"}}) {
        DisplayList list(DiagramPictureWidth(kind), DiagramPictureHeight(kind));
        DisplayListCanvas c(list);
        DrawDiagramAsOpened(c, state, kind);
        const bool saved = DisplayListImage(list).save(QDir(dir).filePath(QString::fromLatin1(file)));
        std::printf("%s %s\n", saved ? "saved" : "FAILED", file);
        ok &= saved;
    }
    // The ghost of the built-in design beneath one with a main rod, an
    // eccentric rod and a frame 1 3/8 longer: the cylinder, rocker and valve
    // move back with them.
    state.gear = state.compare.Reference.value();
    state.display.DataSetName = "Long rods";
    state.gear.MainRodLength += 1.375f;
    state.gear.EccRodLength += 1.375f;
    state.gear.PointX[15] += 1.375f;
    state.gear.Cyl(ciCylCtrToDriverCtr) += 1.375f;
    RecomputeRevArmCentre(state.gear);
    state.gear.DriverAngle = 60;
    for (int i = 0; i < 3; ++i) form.Tick();
    ok &= Shoot(&form, dir, "main-window-ghost.png");
    return ok ? 0 : 1;
}
