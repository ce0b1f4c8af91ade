// Saves a picture of the main window, the oval and sine diagrams and each
// small window of the program into the directory given on the command line
// (the README's screenshots). Built on demand:
//   cmake --build build --target screenshots
//   (cd build && QT_QPA_PLATFORM=offscreen ./screenshots ../docs)
//   (cd build && QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 ./screenshots ../docs)   main-window-200.png only
#include "aids/TAboutBox.h"
#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "dialogs/TClearance.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TEngineData.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TScaleDesign.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TStpAng.h"
#include "dialogs/TTolerance.h"
#include "drawing/DiagramPictures.h"
#include "graphs/TIndicator.h"
#include "graphs/TOvalDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSineDia.h"
#include "graphs/TValveEvents.h"
#include "mainwin/ChildWindows.h"
#include "mainwin/SweptEnvelopeView.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMainForm.h"
#include "mainwin/TRefPnts.h"
#include "model/DesignScale.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "platform/Services.h"
#include "qt/QtPicture.h"
#include "qt/QtQuestionBoxes.h"
#include "qt/QtServices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// `shown`: what to do once the window is up (its opening has run).
bool Shoot(QWidget* w, const QString& dir, const char* file, bool hide = true, const std::function<void()>& shown = {})
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
    form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    form.CreateChildWindows();
    form.show();
    for (int i = 0; i < 20; ++i) form.Tick();
    const ChildWindows f = ChildWindowsOf(form);
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
    ok &= ShootWhenDone(
        f.Sensitivity, dir, "sensitivity.png", [&] { return f.Sensitivity->Measuring(); }, [] {});
    ok &= ShootWhenDone(
        f.Tolerance, dir, "tolerance-study.png", [&] { return f.Tolerance->Running(); },
        [&] {
            f.Tolerance->PinClearance->setText(QStringLiteral("0.002"));
            f.Tolerance->RunButClick();
        });

    // Scale Design, working a factor out from two gauges.
    ok &= Shoot(f.ScaleDesign, dir, "scale-design.png", true, [&f] {
        f.ScaleDesign->FromScale->setCurrentText(QString::fromUtf8("4 ft 8½ in"));
        f.ScaleDesign->ToScale->setCurrentText(QStringLiteral("5 in"));
        f.ScaleDesign->RoundBox->setChecked(true);
    });

    // The space the gear sweeps, with three keep-out shapes: the upper guide
    // bar over the crosshead, the rail under the wheel and the wheel's tyre.
    {
        const AppState before = state;
        state.overlay.Item[1] = {8.5f, 1.0f, 14.5f, 1.0f, 0, 0, 0, 0, 0, 255, 0, 0, 0, true};
        state.overlay.Item[2] = {-6, -4.75f, 16, -4.75f, 0, 0, 0, 0, 0, 8421504, 0, 0, 0, true};
        state.overlay.Item[3] = {0, 0, 4.6f, 0, 0, 0, 0, 0, 1, 16711680, 0, 0, 0, true};
        QAction* envelope = form.findChild<QAction*>(QStringLiteral("SweptEnvelope"));
        const SweptEnvelopeView* view = SweptEnvelopeView::Of(&form, state);
        envelope->trigger();
        QDeadlineTimer deadline(600000);
        while (view->Measuring() && !deadline.hasExpired()) QTest::qWait(50);
        state.gear.DriverAngle = 40;
        for (int i = 0; i < 3; ++i) form.Tick();
        ok &= Shoot(&form, dir, "main-window-envelope.png", false);
        ok &= ShootWhenDone(
            f.Clearance, dir, "clearance.png", [&] { return view->Measuring(); }, [] {});
        if (f.DataTable) f.DataTable->DataTabs->setCurrentIndex(1);
        ok &= Shoot(f.DataTable, dir, "data-table-parts.png");
        if (f.DataTable) f.DataTable->DataTabs->setCurrentIndex(0);
        envelope->trigger();
        state.overlay = before.overlay;
        state.gear = before.gear;
        for (int i = 0; i < 3; ++i) form.Tick();
    }

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
    // The question about a design a program that died left behind.
    std::unique_ptr<QMessageBox> recover(
        NewRecoverBox(nullptr, QStringLiteral("my gear"), QStringLiteral("2024-05-01 14:03")));
    ok &= Shoot(recover.get(), dir, "recover-question.png");
    // The question before a recovered design replaces a file changed since,
    // and the notice that no recovery copy can be kept.
    std::unique_ptr<QMessageBox> replace(NewYesOrCancelBox(
        nullptr, "ConfirmBox",
        "\"my gear.vgw\" has changed since the recovered design was last opened or saved there. Replace it with the "
        "recovered design?"));
    ok &= Shoot(replace.get(), dir, "replace-question.png");
    QMessageBox* notice = NewNoticeBox(
        nullptr, "Unsaved changes cannot be kept for recovery after a crash: \"/home/me/.local/state/quelf\" may be "
                 "read by others (mode 0755); \"chmod 700\" makes it yours alone. Save the design to keep them.");
    ok &= Shoot(notice, dir, "recovery-notice.png");
    notice->close();
    // A gear that cannot be assembled: the main window and the frame dialog say why.
    state.gear = state.compare.Reference.value();
    state.compare = {};
    state.display.DataSetName = "Nominal";
    state.gear.EccRodLength = 11;
    state.gear.DriverAngle = 0;
    state.anim.ActiveStep = 0;
    for (int i = 0; i < 3; ++i) form.Tick();
    const bool shot = form.grab().save(QDir(dir).filePath(QStringLiteral("main-window-unassembled.png")));
    std::printf("%s main-window-unassembled.png\n", shot ? "saved" : "FAILED");
    ok &= shot;
    ok &= Shoot(f.FrameDi, dir, "frame-dimensions-unassembled.png");
    // The built-in design at full size with engine data: the check's engine
    // rules, and the optimiser asked for more power at 120 rpm.
    StartupModel(state);
    state.display.DataSetName = "Full size";
    ApplyScale(state, {7, LengthUnit::Inch, RoundGrid::None});
    RecomputeRevArmCentre(state.gear);
    state.gear.HasEngine = true;
    state.gear.Engine = DefaultEngineData(state.gear);
    for (int i = 0; i < 3; ++i) form.Tick();
    ok &= ShootWhenDone(
        f.DesignCheck, dir, "design-check-engine.png", [&] { return f.DesignCheck->Measuring(); }, [] {});
    ok &= ShootWhenDone(
        f.Optimise, dir, "optimise-engine.png", [&] { return f.Optimise->Searching(); },
        [&] {
            for (QCheckBox* b : f.Optimise->TargetBox) b->setChecked(false);
            f.Optimise->TargetBox[static_cast<size_t>(DesignTarget::Power)]->setChecked(true);
            f.Optimise->DimensionBox[0]->setCurrentIndex(f.Optimise->DimensionBox[0]->findData(15));
            f.Optimise->DimensionBox[1]->setCurrentIndex(0);
            f.Optimise->FindButClick();
        });

    // The engine: the built-in design at full size in inches with a higher
    // chest pressure, against the same design at the default pressure.
    AppState builtIn;
    StartupModel(builtIn);
    state.gear = builtIn.gear;
    ApplyScale(state, {7, LengthUnit::Inch, RoundGrid::None});
    RecomputeRevArmCentre(state.gear);
    state.compare.Reference = state.gear;
    state.compare.ReferenceName = "200 psi";
    SetDesignEngineValue(state.gear, evChestPressure, 250);
    state.display.DataSetName = "Full size";
    for (int i = 0; i < 3; ++i) form.Tick();
    ok &= Shoot(f.EngineData, dir, "engine-data.png");
    ok &= ShootWhenDone(
        f.Indicator, dir, "indicator-pane.png", [&] { return f.Indicator->Computing(); }, [] {});
    ok &= ShootWhenDone(
        f.Indicator, dir, "performance-map-pane.png", [&] { return f.Indicator->Computing(); },
        [&] { f.Indicator->Panes->setCurrentWidget(f.Indicator->MapPane); });
    return ok ? 0 : 1;
}
