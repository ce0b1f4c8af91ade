// The main window's timer at rest: once a tick of a frame that stays still
// showed nothing new, the tick timer rests: active still, it waits
// kRestIntervalMs, and the recovery timer stops after a last check. Any input
// to a window of the program, or a call queued to one, wakes them; the
// title's clock is kept by a timer of its own (`TitleClock`).
#pragma once

#include <QObject>

#include <functional>

class QTimer;
class QWidget;

class TTickRest : public QObject {
public:
    static constexpr int kRestIntervalMs = 24 * 60 * 60 * 1000;

    // `tick` is the window's frame timer, ticking every `tickIntervalMs`;
    // `clockChanged` is called when the title's clock shows another time
    // while the ticks rest (they keep the title otherwise).
    TTickRest(QWidget* window, QTimer* tick, int tickIntervalMs, std::function<void()> clockChanged);
    // The recovery timer and the check made before it rests.
    void SetRecovery(QTimer* recovery, std::function<void()> check);

    bool Resting() const { return resting_; }
    void Rest();
    void Wake();

private:
    QWidget* window_;
    QTimer *tick_, *recovery_ = nullptr, *clock_ = nullptr;
    int tickIntervalMs_;
    std::function<void()> clockChanged_, checkRecovery_;
    bool resting_ = false, recoveryRested_ = false;
};
