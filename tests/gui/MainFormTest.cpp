// The main window driven as a user drives it: clicks, scroll-bar changes, menus.
#include "gui/GuiTestSupport.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/Services.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

struct MainFixture : ::testing::Test {
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(state, sound, random, clock);
        Named<QTimer>(*form, "Timer1")->stop(); // ticks are driven by the tests
        form->CreateChildWindows();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }

    // An arrow click on a horizontal scroll bar (right arrow when forward).
    static void ArrowClick(QScrollBar* bar, bool forward)
    {
        const int x = forward ? bar->width() - 3 : 3;
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
    }
};

} // namespace

TEST_F(MainFixture, StartStateControlsAndCaption)
{
    EXPECT_EQ(form->centralWidget()->width(), kClientWidth);
    EXPECT_EQ(form->centralWidget()->height(), kClientHeight);
    form->Tick();
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("QUELF Outside Admission            Nominal[*]     08/12/2026   12:00   Version 2.6"));
    EXPECT_FALSE(form->isWindowModified());
    for (const char* name : {"SBRevArm", "SBDrvAng", "SBStepAng", "SBPanVert", "SBPanHorz", "SBZoom", "SBDynVar1",
                             "SBDynVar4", "SBRef1Vert", "SBRef2Horz"})
        EXPECT_NE(form->findChild<QScrollBar*>(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name :
         {"Run", "Center", "Fwd", "Rev", "Deg00", "Deg180", "Step1", "Step10", "Step45", "NormVHZ", "Preset0",
          "Preset1", "Preset6", "RefPt1", "RefPt2", "RefPt1Zero", "DataTableBut", "UnDoDn"})
        EXPECT_NE(form->findChild<QPushButton*>(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name : {"OpenDimensions", "OpenDosDimensions", "SaveAsDimensions", "Exit1",
                             "RevArmPos",      "DriverAng",         "StepAng1",         "RefPoints1",
                             "LargeFont",      "FindRevArmCent",    "SetSteam",         "SetBeepOnError",
                             "SetLineWidth",   "SetScreenData",     "SetPanZoom",       "FrameDim",
                             "CylDim",         "SetGraphicZoom",    "ResetAll",         "RefPoints",
                             "DrawLines1",     "SetPivotData",      "DynamicVariables", "SetUnDo",
                             "SineDiag",       "OvalDiag",          "SteamDiag",        "FourEvents",
                             "Instructions",   "SpecInstr",         "About1",           "Error"})
        EXPECT_NE(form->findChild<QAction*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(form->findChild<QToolButton*>("ToolButton16")->toolTip(),
              QStringLiteral("View Port Events vs Reverse Arm Position"));
    EXPECT_EQ(Named<QAction>(*form, "SetSteam")->text(), QStringLiteral("SetS&teamDisp On"));
    EXPECT_FALSE(Named<QAction>(*form, "SetPanZoom")->isEnabled());
    EXPECT_FALSE(Named<QAction>(*form, "DrawLines1")->isEnabled());
    EXPECT_FALSE(Named<QToolButton>(*form, "ToolButton23")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(*form, "Center")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(*form, "Step10")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(*form, "NormVHZ")->isEnabled());
    EXPECT_FALSE(Named<QAction>(*form, "Error")->isVisible());
    EXPECT_EQ(Named<QPushButton>(*form, "Run")->text(), QStringLiteral("Stop"));
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->minimum(), -1300);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 1300);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_EQ(sound.volume, 0x80008000u);
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBRevArm")->hasFocus() || QApplication::focusWidget() == nullptr);
}

TEST_F(MainFixture, TheFrameShowsTheGearAndTheTickAdvances)
{
    form->Tick();
    EXPECT_FLOAT_EQ(state.gear.DriverAngle, 10);
    const QImage& img = form->FrameImage();
    int red = 0, gray = 0;
    for (int y = 0; y < kClientHeight; ++y)
        for (int x = 0; x < kClientWidth; ++x) {
            const QRgb p = img.pixel(x, y);
            if (p == qRgb(255, 0, 0)) ++red;
            if (p == qRgb(128, 128, 128)) ++gray;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(gray, 100);
    // The timer drives ticks too.
    Named<QTimer>(*form, "Timer1")->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.gear.DriverAngle > 10; }, 10000));
    Named<QTimer>(*form, "Timer1")->stop();
}

TEST_F(MainFixture, RunStopAndDeadCentres)
{
    state.gear.DriverAngle = 123.456f;
    QTest::mouseClick(Named<QPushButton>(*form, "Run"), Qt::LeftButton);
    EXPECT_EQ(Named<QPushButton>(*form, "Run")->text(), QStringLiteral("Run"));
    EXPECT_EQ(state.anim.ActiveStep, 0.0f);
    EXPECT_TRUE(Named<QScrollBar>(*form, "SBDrvAng")->isEnabled());
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->value(), 12346);
    EXPECT_NEAR(state.gear.DriverAngle, 123.46f, 1e-4);
    form->Tick();
    EXPECT_NEAR(state.gear.DriverAngle, 123.46f, 1e-4); // stopped but still solved and drawn
    QTest::mouseClick(Named<QPushButton>(*form, "Run"), Qt::LeftButton);
    EXPECT_EQ(Named<QPushButton>(*form, "Run")->text(), QStringLiteral("Stop"));
    EXPECT_EQ(state.anim.ActiveStep, 10.0f);
    EXPECT_FALSE(Named<QScrollBar>(*form, "SBDrvAng")->isEnabled());

    QTest::mouseClick(Named<QPushButton>(*form, "Deg180"), Qt::LeftButton);
    EXPECT_EQ(state.gear.DriverAngle, 180.0f);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->value(), 18000);
    EXPECT_EQ(Named<QPushButton>(*form, "Run")->text(), QStringLiteral("Run"));
    EXPECT_FALSE(Named<QPushButton>(*form, "Deg180")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(*form, "Deg00")->isEnabled());
    QTest::mouseClick(Named<QPushButton>(*form, "Deg00"), Qt::LeftButton);
    EXPECT_EQ(state.gear.DriverAngle, 0.0f);
    EXPECT_FALSE(Named<QPushButton>(*form, "Deg00")->isEnabled());

    // The driver angle bar while stopped: -40..400 degrees, folded by the tick.
    Named<QScrollBar>(*form, "SBDrvAng")->setValue(-50);
    EXPECT_FLOAT_EQ(state.gear.DriverAngle, -0.5f);
    form->Tick();
    EXPECT_FLOAT_EQ(state.gear.DriverAngle, 359.5f);
}

TEST_F(MainFixture, StepBarBandsAndStepButtons)
{
    QTest::mouseClick(Named<QPushButton>(*form, "Run"), Qt::LeftButton); // stop
    Named<QScrollBar>(*form, "SBStepAng")->setValue(704);
    EXPECT_FLOAT_EQ(state.anim.SelectedStep, 0.01f);
    EXPECT_EQ(state.anim.ActiveStep, 0.0f); // stopped: the step waits
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->singleStep(), 1);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->pageStep(), 5);
    EXPECT_TRUE(Named<QPushButton>(*form, "Step10")->isEnabled());
    Named<QScrollBar>(*form, "SBStepAng")->setValue(705);
    EXPECT_FLOAT_EQ(state.anim.SelectedStep, 0.02f);
    QTest::mouseClick(Named<QPushButton>(*form, "Run"), Qt::LeftButton); // run
    EXPECT_FLOAT_EQ(state.anim.ActiveStep, 0.02f);
    QTest::mouseClick(Named<QPushButton>(*form, "Step45"), Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBStepAng")->value(), 14613);
    EXPECT_EQ(state.anim.SelectedStep, 45.0f);
    EXPECT_EQ(state.anim.ActiveStep, 45.0f);
    EXPECT_FALSE(Named<QPushButton>(*form, "Step45")->isEnabled());
    EXPECT_EQ(Named<QScrollBar>(*form, "SBDrvAng")->singleStep(), 4500);
    QTest::mouseClick(Named<QPushButton>(*form, "Step1"), Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBStepAng")->value(), 8000);
    EXPECT_TRUE(Named<QPushButton>(*form, "Step45")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(*form, "Step1")->isEnabled());
    // An unarmed bar only re-arms.
    state.anim.StepBarArmed = false;
    state.anim.SelectedStep = 2.5f;
    Named<QScrollBar>(*form, "SBStepAng")->setValue(12000);
    EXPECT_TRUE(state.anim.StepBarArmed);
    EXPECT_EQ(state.anim.SelectedStep, 2.5f);
}

TEST_F(MainFixture, ReverseArmBarDirectionAndButtons)
{
    Gear& g = state.gear;
    const float c = g.RevArmCentre();
    state.steam.FrontCutOffText = " 25.0";
    Named<QScrollBar>(*form, "SBRevArm")->setValue(-1);
    EXPECT_EQ(state.anim.Direction, RunDirection::Rev);
    EXPECT_FLOAT_EQ(g.RevArmPos, c - 0.001f);
    EXPECT_TRUE(Named<QPushButton>(*form, "Center")->isEnabled());
    EXPECT_TRUE(state.steam.FrontCutOffText.empty());
    Named<QScrollBar>(*form, "SBRevArm")->setValue(0);
    EXPECT_EQ(state.anim.Direction, RunDirection::Fwd);
    EXPECT_FALSE(Named<QPushButton>(*form, "Center")->isEnabled());

    QTest::mouseClick(Named<QPushButton>(*form, "Fwd"), Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 1000);
    EXPECT_FLOAT_EQ(g.RevArmPos, c + 1.0f);
    EXPECT_FALSE(Named<QPushButton>(*form, "Fwd")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(*form, "Rev")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(*form, "Center")->isEnabled());
    // Pressing "Fwd" at the forward position again does not re-run the bar handler.
    Named<QPushButton>(*form, "Fwd")->setEnabled(true);
    QTest::mouseClick(Named<QPushButton>(*form, "Fwd"), Qt::LeftButton);
    EXPECT_FALSE(Named<QPushButton>(*form, "Fwd")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(*form, "Rev")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(*form, "Center")->isEnabled());

    QTest::mouseClick(Named<QPushButton>(*form, "Rev"), Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), -1000);
    EXPECT_EQ(state.anim.Direction, RunDirection::Rev);
    const float before = g.DriverAngle;
    form->Tick();
    EXPECT_FLOAT_EQ(g.DriverAngle, std::fmod(before - 10 + 360, 360.0f));
    QTest::mouseClick(Named<QPushButton>(*form, "Center"), Qt::LeftButton);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_EQ(g.RevArmPos, c);
    EXPECT_FALSE(Named<QPushButton>(*form, "Center")->isEnabled());
}

TEST_F(MainFixture, CalcCentRevArmAndSwitches)
{
    state.gear.EccRodLength = 10.2f;
    Named<QScrollBar>(*form, "SBRevArm")->setValue(300);
    Named<QAction>(*form, "FindRevArmCent")->trigger();
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre());
    EXPECT_FALSE(Named<QPushButton>(*form, "Center")->isEnabled());

    Named<QAction>(*form, "SetLineWidth")->trigger();
    EXPECT_EQ(state.display.LineWidth, 2);
    EXPECT_EQ(Named<QAction>(*form, "SetLineWidth")->text(), QStringLiteral("Set&LineWidth 1"));
    Named<QAction>(*form, "SetLineWidth")->trigger();
    EXPECT_EQ(state.display.LineWidth, 1);
    Named<QAction>(*form, "SetBeepOnError")->trigger();
    EXPECT_FALSE(state.gear.ErrorBeepOn);
    EXPECT_EQ(Named<QAction>(*form, "SetBeepOnError")->text(), QStringLiteral("Set&ErrorBeep On"));
    Named<QAction>(*form, "LargeFont")->trigger();
    EXPECT_FLOAT_EQ(state.view.FontScaleX, 1.27f);
    EXPECT_FLOAT_EQ(state.view.FontScaleY, 1.22f);
    EXPECT_EQ(Named<QAction>(*form, "LargeFont")->text(), QStringLiteral("SetSmall&Font"));
    Named<QAction>(*form, "LargeFont")->trigger();
    EXPECT_FLOAT_EQ(state.view.FontScaleX, 1.0f);
    Press(*form, "SetPanZoom");
    EXPECT_EQ(Named<QAction>(*form, "SetPanZoom")->text(), QStringLiteral("SetP&anZoom Off"));
    Press(*form, "SetPanZoom");
    EXPECT_FALSE(Named<QScrollBar>(*form, "SBZoom")->isVisible());
}

TEST_F(MainFixture, PanZoomWithTheMouseAndNorm)
{
    View& v = state.view;
    ArrowClick(Named<QScrollBar>(*form, "SBZoom"), true);
    EXPECT_NEAR(v.ViewScale, 22 * 1.001, 1e-4);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBZoom")->value(), 0);
    EXPECT_TRUE(Named<QPushButton>(*form, "NormVHZ")->isEnabled());
    ArrowClick(Named<QScrollBar>(*form, "SBPanHorz"), true);
    EXPECT_NEAR(v.ViewOffsetX, (100 - 320) * 1.001 + 320 + 0.1, 1e-3);
    ArrowClick(Named<QScrollBar>(*form, "SBPanVert"), true);
    ArrowClick(Named<QScrollBar>(*form, "SBPanVert"), true);
    EXPECT_NEAR(v.ViewOffsetY, (260 - 240) * 1.001 + 240 - 0.2, 1e-3);
    QTest::mouseClick(Named<QPushButton>(*form, "NormVHZ"), Qt::LeftButton);
    EXPECT_EQ(v.ViewScale, 22.0f);
    EXPECT_EQ(v.ViewOffsetX, 100.0f);
    EXPECT_EQ(v.ViewOffsetY, 260.0f);
    EXPECT_FALSE(Named<QPushButton>(*form, "NormVHZ")->isEnabled());
}

TEST_F(MainFixture, FitGearToWindowFillsTheAreaBelowTheControlsAndNormReturns)
{
    View& v = state.view;
    QAction* fit = Named<QMenu>(*form, "SetUp1")->findChild<QAction*>("FitView", Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(fit == Named<QAction>(*form, "FitView") && fit &&
                Named<QMenu>(*form, "SetUp1")->actions().contains(fit));
    fit->trigger();
    EXPECT_GT(v.ViewScale, 22.0f); // the gear is larger than at home
    EXPECT_TRUE(Named<QPushButton>(*form, "NormVHZ")->isEnabled());
    form->Tick();
    // Nothing of the gear above the control strip's lowest control.
    const int strip = Named<QScrollBar>(*form, "SBZoom")->geometry().bottom();
    for (int y = 0; y < strip; ++y)
        for (int x = 0; x < 250; ++x) ASSERT_NE(form->FrameImage().pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
    QTest::mouseClick(Named<QPushButton>(*form, "NormVHZ"), Qt::LeftButton);
    EXPECT_EQ(v.ViewScale, 22.0f);
    EXPECT_EQ(v.ViewOffsetX, 100.0f);
}

TEST_F(MainFixture, PresetsWithP)
{
    View& v = state.view;
    ArrowClick(Named<QScrollBar>(*form, "SBPanHorz"), false);
    QTest::mouseClick(Named<QPushButton>(*form, "Preset0"), Qt::LeftButton);
    EXPECT_FALSE(Named<QPushButton>(*form, "Preset0")->isEnabled());
    QTest::mouseClick(Named<QPushButton>(*form, "Preset", 3), Qt::LeftButton);
    EXPECT_NEAR(v.PresetTable[10], 99.9f, 1e-4);
    EXPECT_TRUE(Named<QPushButton>(*form, "Preset0")->isEnabled());
    QTest::mouseClick(Named<QPushButton>(*form, "Preset", 4), Qt::LeftButton);
    EXPECT_EQ(v.PresetTable[12], 80.0f); // recalled, not overwritten
    EXPECT_EQ(v.ViewScale, 80.0f);
    QTest::mouseClick(Named<QPushButton>(*form, "Preset", 3), Qt::LeftButton);
    EXPECT_NEAR(v.ViewOffsetX, 99.9f, 1e-4);
}

TEST_F(MainFixture, GraphicZoomDialog)
{
    ASSERT_NE(ChildWindowsOf(*form).GraphZoom, nullptr);
    auto run = [&](const char* typed, bool ok) {
        QTimer::singleShot(0, [&, typed, ok] {
            TGraphZoom* d = ChildWindowsOf(*form).GraphZoom;
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Set Zoom of Dimensional Graphic Position"));
            d->Edit1->clear();
            QTest::keyClicks(d->Edit1, QString::fromLatin1(typed));
            QTest::mouseClick(ok ? d->OK : d->Cancel, Qt::LeftButton);
        });
        Named<QAction>(*form, "SetGraphicZoom")->trigger();
    };
    run("0", true);
    EXPECT_EQ(state.view.GraphicZoom, 0.5f);
    run("5000", true);
    EXPECT_EQ(state.view.GraphicZoom, 2000.0f);
    run("1a2.5.5-", true); // letters, a second "." and "-" are dropped
    EXPECT_FLOAT_EQ(state.view.GraphicZoom, 12.55f);
    run("15", false);
    EXPECT_FLOAT_EQ(state.view.GraphicZoom, 12.55f);
    // The edit shows the factor with two decimals when the dialog opens.
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(ChildWindowsOf(*form).GraphZoom->Edit1->text(), QStringLiteral("12.55"));
        ChildWindowsOf(*form).GraphZoom->reject();
    });
    Named<QAction>(*form, "SetGraphicZoom")->trigger();
}

TEST_F(MainFixture, GraphicZoomTypingReplacesTheSelectedFactorAndPasteKeepsTheRule)
{
    QTimer::singleShot(0, [&] {
        TGraphZoom* d = ChildWindowsOf(*form).GraphZoom;
        QTest::keyClicks(d->Edit1, "2.5"); // over the selected "1.00"
        EXPECT_EQ(d->Edit1->text(), QStringLiteral("2.5"));
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        QTest::keyClick(d->Edit1, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(d->Edit1->text(), QStringLiteral("2.5"));
        QTest::mouseClick(d->OK, Qt::LeftButton);
    });
    Named<QAction>(*form, "SetGraphicZoom")->trigger();
    EXPECT_EQ(state.view.GraphicZoom, 2.5f);
}

TEST_F(MainFixture, TimerKeepsTickingUnderAModalDialog)
{
    Named<QTimer>(*form, "Timer1")->start();
    const float before = state.gear.DriverAngle;
    QTimer::singleShot(200, [&] { ChildWindowsOf(*form).GraphZoom->reject(); });
    Named<QAction>(*form, "SetGraphicZoom")->trigger();
    Named<QTimer>(*form, "Timer1")->stop();
    EXPECT_NE(state.gear.DriverAngle, before);
}

TEST_F(MainFixture, TheErrorPictureBlinksWithoutMovingOrGrowingTheWindow)
{
    auto settle = [] { QCoreApplication::processEvents(); }; // the layout's posted requests
    settle();
    const QRect window = form->geometry(), area = form->Area()->geometry();
    const int bar = form->menuBar()->height();
    EXPECT_EQ(area.size(), QSize(kClientWidth, kClientHeight));
    state.gear.SolveError = true; // as a clamp of the solver raises it
    int shown = 0;
    for (int tick = 1; tick <= 25; ++tick) {
        form->Tick();
        settle();
        shown += Named<QAction>(*form, "Error")->isVisible() ? 1 : 0;
        EXPECT_EQ(form->menuBar()->height(), bar) << "tick " << tick;
        EXPECT_EQ(form->Area()->geometry(), area) << "tick " << tick;
        EXPECT_EQ(form->geometry(), window) << "tick " << tick;
    }
    EXPECT_EQ(shown, 9); // ticks 1 to 9, hidden from the tenth on
    EXPECT_FALSE(Named<QAction>(*form, "Error")->isVisible());
}

TEST_F(MainFixture, ToolBarIconsAreDrawnAtTheDevicePixelRatio)
{
    // Each 2 x 2 block of one colour: an enlarged picture, not one drawn at that size.
    auto enlarged = [](const QImage& img) {
        for (int y = 0; y + 1 < img.height(); y += 2)
            for (int x = 0; x + 1 < img.width(); x += 2) {
                const QRgb p = img.pixel(x, y);
                if (img.pixel(x + 1, y) != p || img.pixel(x, y + 1) != p || img.pixel(x + 1, y + 1) != p) return false;
            }
        return true;
    };
    const auto buttons = Named<QToolBar>(*form, "ToolBar1")
                             ->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^ToolButton\\d+$")));
    ASSERT_EQ(buttons.size(), 18);
    for (QToolButton* b : buttons) {
        SCOPED_TRACE(b->objectName().toStdString());
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
                const QPixmap pm = b->icon().pixmap(QSize(22, 22), ratio, mode);
                EXPECT_EQ(pm.size(), QSize(22, 22) * ratio) << ratio;
                EXPECT_EQ(pm.devicePixelRatio(), ratio);
                if (ratio == 2) {
                    EXPECT_FALSE(enlarged(pm.toImage())) << "drawn at 1x and enlarged";
                }
            }
        }
    }
    // The menu bar's error picture too (22 x 18).
    const QPixmap error = Named<QAction>(*form, "Error")->icon().pixmap(QSize(22, 22), 2.0);
    EXPECT_EQ(error.size(), QSize(44, 36));
    EXPECT_FALSE(enlarged(error.toImage()));
}
