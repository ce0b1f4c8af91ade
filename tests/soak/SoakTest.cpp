// Long run of the real main window: 20,000 ticks with the steam display, pivot
// data, reference points and dynamic variables on, the dynamic-variable bar
// nudged now and then, and each diagram window opened and closed twice. Resident
// memory must level off once every window has been shown.
#include "gui/GuiTestSupport.h"
#include "mainwin/TMainForm.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "platform/Services.h"

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

long ResidentKiB()
{
    std::ifstream f("/proc/self/statm");
    long size = 0, resident = 0;
    f >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

constexpr int kTicks = 20000;
constexpr int kWarmUpTicks = 10000; // every diagram window has been open once by then
constexpr long kAllowedGrowthKiB = 4096;

} // namespace

TEST(Soak, MainWindowRunsTwentyThousandTicksWithoutGrowing)
{
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    TMainForm form(state, sound, random, clock);
    Named<QTimer>(form, "Timer1")->stop(); // ticks are driven here, at full speed
    form.CreateChildWindows();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    auto action = [&form](const char* name) {
        auto* a = form.findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };
    for (const char* name : {"SetSteam", "RefPoints", "SetPivotData", "DynamicVariables"}) {
        if (QAction* a = action(name)) a->trigger();
    }
    ASSERT_TRUE(state.display.SteamDisplayOn);
    ASSERT_TRUE(state.display.PivotDataOn);
    ASSERT_TRUE(state.display.RefPointsOn);
    ASSERT_TRUE(state.dyn.DynVarsOn);

    // Four dimensions in the dynamic-variable slots, as the dialogs put them there.
    for (int code : {3, 10, 20, 118}) {
        state.dyn.Slot[0].Code = code;
        state.dyn.Slot[0].Value = GetDimension(state.gear, code);
        state.dyn.Slot[0].Name = DimensionShortLabel(code);
        SelectDynVar(state);
    }
    Named<QAction>(form, "DynamicVariables")->trigger(); // off and on again: the bars pick up the slots
    Named<QAction>(form, "DynamicVariables")->trigger();
    auto* bar = form.findChild<QScrollBar*>(QStringLiteral("SBDynVar1"));
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isEnabled());

    const char* diagrams[] = {"FourEvents", "SteamDiag", "OvalDiag", "SineDiag"};
    int opened = 0;
    long atStart = ResidentKiB(), afterWarmUp = 0, peak = 0;
    for (int t = 1; t <= kTicks; ++t) {
        form.Tick();
        if (t % 25 == 0) QApplication::processEvents(); // paint what was drawn
        if (t % 100 == 0)
            bar->triggerAction((t / 100) % 2 ? QAbstractSlider::SliderSingleStepAdd
                                             : QAbstractSlider::SliderSingleStepSub);
        if (t % 2500 == 1250) {
            // Open a diagram window (modal); close whatever modal window is up
            // (the positions dialog first, where a diagram shows it) until the
            // diagram window has closed.
            QTimer closer;
            QObject::connect(&closer, &QTimer::timeout, [] {
                if (QWidget* w = QApplication::activeModalWidget()) w->close();
            });
            closer.start(30);
            if (QAction* a = action(diagrams[opened % 4])) a->trigger();
            closer.stop();
            ++opened;
            ASSERT_EQ(QApplication::activeModalWidget(), nullptr)
                << QApplication::activeModalWidget()->metaObject()->className() << " after "
                << diagrams[(opened - 1) % 4];
            Named<QTimer>(form, "Timer1")->stop(); // the diagram restarted it on closing
        }
        if (t == kWarmUpTicks) afterWarmUp = ResidentKiB();
        if (t >= kWarmUpTicks) peak = std::max(peak, ResidentKiB());
    }
    const long atEnd = ResidentKiB();
    std::printf("soak: %d ticks, %d diagram windows opened; resident memory %ld KiB at start, "
                "%ld KiB after %d ticks, %ld KiB at the end, peak %ld KiB after warm-up\n",
                kTicks, opened, atStart, afterWarmUp, kWarmUpTicks, atEnd, peak);
    EXPECT_EQ(opened, 8);
    EXPECT_LE(peak - afterWarmUp, kAllowedGrowthKiB);
    // The gear kept turning and the undo history stayed within its depth.
    EXPECT_LE(state.dyn.UndoCount, kUndoDepth);
}
