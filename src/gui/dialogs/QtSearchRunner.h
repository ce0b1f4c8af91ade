// A long search of a window on a worker thread: the window's timer looks at
// it every 30 ms, shows its progress and, once it has ended, hands its result
// over on the GUI thread. The balance, optimise, design check, sensitivity and
// tolerance windows use it (TSearchWindow); each search works on its own copy of
// the design.
#pragma once

#include "analysis/Balance.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QTimer;

class QtSearchRunner : public QObject {
    Q_OBJECT

public:
    // How often the window looks at a running search (ms).
    static constexpr int kPollMs = 30;

    explicit QtSearchRunner(QObject* parent);
    ~QtSearchRunner() override; // stops the search and waits for it

    // Runs `work` on a worker thread with a fresh control (stop, progress).
    // While it runs, `progress` is called on every look with 0..1000; when it
    // has ended, `done` is called once on the GUI thread. The work hands its
    // result over through what it captures, which `done` then reads.
    void Start(std::function<void(BalanceControl&)> work, std::function<void(int)> progress,
               std::function<void()> done);
    // Asks the search to end at its next trial (done is still called).
    void Stop();
    // Stops the search and waits for it; done is not called.
    void End();
    bool Running() const { return worker_.joinable(); }

private:
    void Poll();

    QTimer* poll_ = nullptr;
    std::thread worker_;
    std::unique_ptr<BalanceControl> control_;
    std::atomic<bool> finished_{false};
    std::function<void(int)> progress_;
    std::function<void()> done_;
};

struct AppState;
class DesignSession;

// Applies the values a search found as typing them into the dimension dialogs
// and closing them does (ApplyBalance: one undo record per dimension), the
// reverse arm to mid gear as the dialogs' Close puts it
// (DesignSession::ApplyFoundValues; without a session, on the state alone).
// False when no value differed from the design.
bool ApplyFoundValues(AppState& s, DesignSession* session, const std::vector<DimensionValue>& values);
