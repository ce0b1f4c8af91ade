// Helpers shared by the window tests.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// Runs `step` from the event loop every few milliseconds until it returns
// true (or five seconds have passed), so that a test can drive modal windows.
inline void DriveModal(std::function<bool()> step)
{
    auto* t = new QTimer;
    auto* elapsed = new int(0);
    t->setInterval(5);
    QObject::connect(t, &QTimer::timeout, [t, elapsed, step] {
        *elapsed += 5;
        if (step() || *elapsed > 5000) {
            t->stop();
            t->deleteLater();
            delete elapsed;
        }
    });
    t->start();
}
