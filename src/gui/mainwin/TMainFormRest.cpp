// The timer at rest: while the frame stays still (a stopped gear, nothing
// blinking) the window does not tick; any input to a window of the program,
// or a call queued to one, wakes it. The title's clock keeps its own time.
#include "mainwin/TMainForm.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QTime>
#include <QTimer>

namespace {

// What may change what a tick shows: input, and work queued to a window.
bool WakesTicks(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::MetaCall:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::ScreenChangeInternal: return true;
    default: return false;
    }
}

class TickWaker : public QObject {
public:
    explicit TickWaker(TMainForm* form) : QObject(form), form_(form) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (form_->TicksResting() && WakesTicks(e->type())) form_->WakeTicks();
        return QObject::eventFilter(watched, e);
    }

private:
    TMainForm* form_;
};

// Milliseconds to the next change of the clock's text in the title: the next
// second where the short time shows seconds, else the next minute.
int ToNextClockChange()
{
    const QTime now = QTime::currentTime();
    const bool seconds = QLocale::system().timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s'));
    const int ms = 1000 - now.msec() + (seconds ? 0 : 1000 * (59 - now.second()));
    return ms + 5; // past the change
}

} // namespace

void TMainForm::SetUpRest()
{
    qApp->installEventFilter(new TickWaker(this));
    titleClock_ = new QTimer(this);
    titleClock_->setObjectName(QStringLiteral("TitleClock"));
    titleClock_->setSingleShot(true);
    connect(titleClock_, &QTimer::timeout, this, [this] {
        if (ticksResting_) UpdateCaptions();
        titleClock_->start(ToNextClockChange());
    });
    titleClock_->start(ToNextClockChange());
}

void TMainForm::RestTicks()
{
    // Only the timer's own ticks rest (a test, or a diagram window, may
    // have stopped it to tick by hand or not at all).
    if (ticksResting_ || !Timer1->isActive()) return;
    ticksResting_ = true;
    Timer1->setInterval(kRestIntervalMs); // active still: the animation is on
    if (recoveryTimer_ && recoveryTimer_->isActive()) {
        session_.CheckRecovery(); // the design as it rests
        recoveryTimer_->stop();
        recoveryRested_ = true;
    }
}

void TMainForm::WakeTicks()
{
    if (!ticksResting_) return;
    ticksResting_ = false;
    Timer1->setInterval(kTickIntervalMs);
    if (recoveryRested_ && isVisible()) {
        recoveryRested_ = false;
        recoveryTimer_->start();
    }
}
