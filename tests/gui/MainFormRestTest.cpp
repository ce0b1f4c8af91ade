// The main window's timer rests while the frame stays still, and whatever may
// change the frame wakes it.
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/Services.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include "gui/GuiTestSupport.h"

TEST_F(MainWindowTest, TheTimerRestsWhileTheFrameStaysStillAndAnyInputWakesIt)
{
    auto* timer = Named<QTimer>(*form, "Timer1");
    auto* run = Named<QPushButton>(*form, "Run");
    auto* driver = Named<QScrollBar>(*form, "SBDrvAng");
    const struct {
        const char* what;
        std::function<void()> wake;
    } cases[] = {
        {"a click on Run", [&] { QTest::mouseClick(run, Qt::LeftButton); }},
        {"a key on the driver angle bar", [&] { QTest::keyClick(driver, Qt::Key_Left); }},
        {"a call queued to the window",
         [&] {
             QMetaObject::invokeMethod(
                 form.get(), [&] { state.view.ViewOffsetX += 7; }, Qt::QueuedConnection);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (run->text() == QLatin1String("Stop")) QTest::mouseClick(run, Qt::LeftButton);
        driver->setValue(9000); // 90 degrees
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->TicksResting(); }, 10000));
        // At rest: the timer, still on, waits a day; nothing is painted.
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), TMainForm::kRestIntervalMs);
        EXPECT_GT(timer->remainingTime(), TMainForm::kRestIntervalMs / 2);
        const int painted = form->FramesPainted();
        const QImage still = form->FrameImage().copy();

        c.wake();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->FramesPainted() > painted; }, 10000));
        EXPECT_FALSE(form->FrameImage() == still);
    }
}
