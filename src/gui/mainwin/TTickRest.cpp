#include "mainwin/TTickRest.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include <utility>

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
    explicit TickWaker(TTickRest* rest) : QObject(rest), rest_(rest) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (rest_->Resting() && WakesTicks(e->type())) rest_->Wake();
        return QObject::eventFilter(watched, e);
    }

private:
    TTickRest* rest_;
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

TTickRest::TTickRest(QWidget* window, QTimer* tick, int tickIntervalMs, std::function<void()> clockChanged)
    : QObject(window), window_(window), tick_(tick), tickIntervalMs_(tickIntervalMs),
      clockChanged_(std::move(clockChanged))
{
    qApp->installEventFilter(new TickWaker(this));
    clock_ = new QTimer(window);
    clock_->setObjectName(QStringLiteral("TitleClock"));
    clock_->setSingleShot(true);
    connect(clock_, &QTimer::timeout, this, [this] {
        if (resting_) clockChanged_();
        clock_->start(ToNextClockChange());
    });
    clock_->start(ToNextClockChange());
}

void TTickRest::SetRecovery(QTimer* recovery, std::function<void()> check)
{
    recovery_ = recovery;
    checkRecovery_ = std::move(check);
}

void TTickRest::Rest()
{
    // Only the timer's own ticks rest (a test, or a diagram window, may
    // have stopped it to tick by hand or not at all).
    if (resting_ || !tick_->isActive()) return;
    resting_ = true;
    tick_->setInterval(kRestIntervalMs); // active still: the animation is on
    if (recovery_ && recovery_->isActive()) {
        checkRecovery_(); // the design as it rests
        recovery_->stop();
        recoveryRested_ = true;
    }
}

void TTickRest::Wake()
{
    if (!resting_) return;
    resting_ = false;
    tick_->setInterval(tickIntervalMs_);
    if (recoveryRested_ && window_->isVisible()) {
        recoveryRested_ = false;
        recovery_->start();
    }
}
