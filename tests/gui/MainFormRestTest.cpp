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
    const struct {
        const char* what;
        std::function<void()> wake;
    } cases[] = {
        {"a click on Run", [&] { QTest::mouseClick(form->Run, Qt::LeftButton); }},
        {"a key on the driver angle bar", [&] { QTest::keyClick(form->SBDrvAng, Qt::Key_Left); }},
        {"a call queued to the window",
         [&] {
             QMetaObject::invokeMethod(
                 form.get(), [&] { state.view.ViewOffsetX += 7; }, Qt::QueuedConnection);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (form->IsRunning()) QTest::mouseClick(form->Run, Qt::LeftButton);
        form->SBDrvAng->setValue(9000); // 90 degrees
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->TicksResting(); }, 10000));
        // At rest: the timer, still on, waits a day; nothing is painted.
        EXPECT_TRUE(form->Timer1->isActive());
        EXPECT_EQ(form->Timer1->interval(), TMainForm::kRestIntervalMs);
        EXPECT_GT(form->Timer1->remainingTime(), TMainForm::kRestIntervalMs / 2);
        const int painted = form->FramesPainted();
        const QImage still = form->FrameImage().copy();

        c.wake();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->FramesPainted() > painted; }, 10000));
        EXPECT_FALSE(form->FrameImage() == still);
    }
}
