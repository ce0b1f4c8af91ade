// A long search of a window on a worker thread: the window's timer looks at
// it every 30 ms, shows its progress and, once it has ended, hands its result
// over on the GUI thread. The balance, optimise, design check, sensitivity and
// tolerance windows use it (TSearchWindow); each search works on its own copy
// of the design and writes nothing but its result, which the runner keeps
// apart from the window, so a window going away never has its members
// written by a worker: the runner (a child of the window) ends the worker
// when the window is hidden or destroyed.
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

    // Runs `work` on a worker thread with a fresh control (stop, progress),
    // ending any search still running first. While it runs, `progress` (if
    // given) is called on every look with 0..1000; when it has ended, `done`
    // is called once on the GUI thread with what the work returned.
    template <class Result>
    void Run(std::function<Result(BalanceControl&)> work, std::function<void(int)> progress,
             std::function<void(Result&&)> done)
    {
        auto slot = std::make_shared<Result>();
        Start([work = std::move(work), slot](BalanceControl& control) { *slot = work(control); }, std::move(progress),
              [done = std::move(done), slot] { done(std::move(*slot)); });
    }
    // Asks the search to end at its next trial (done is still called).
    void Stop();
    // Stops the search and waits for it; done is not called.
    void End();
    bool Running() const { return worker_.joinable(); }

private:
    void Start(std::function<void(BalanceControl&)> work, std::function<void(int)> progress,
               std::function<void()> done);
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
