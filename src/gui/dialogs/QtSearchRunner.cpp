#include "dialogs/QtSearchRunner.h"

#include "dialogs/DialogCommon.h"
#include "model/AppState.h"
#include "session/DesignSession.h"

#include <QTimer>

#include <utility>

QtSearchRunner::QtSearchRunner(QObject* parent) : QObject(parent)
{
    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &QtSearchRunner::Poll);
}

QtSearchRunner::~QtSearchRunner() { End(); }

void QtSearchRunner::Start(std::function<void(BalanceControl&)> work, std::function<void(int)> progress,
                           std::function<void()> done)
{
    End();
    control_ = std::make_unique<BalanceControl>();
    finished_.store(false);
    progress_ = std::move(progress);
    done_ = std::move(done);
    BalanceControl* control = control_.get();
    worker_ = std::thread([this, control, work = std::move(work)] {
        work(*control);
        finished_.store(true);
    });
    poll_->start();
}

void QtSearchRunner::Stop()
{
    if (control_) control_->stop.store(true);
}

void QtSearchRunner::End()
{
    if (!worker_.joinable()) return;
    Stop();
    worker_.join();
    poll_->stop();
}

void QtSearchRunner::Poll()
{
    if (!Running()) {
        poll_->stop();
        return;
    }
    if (control_ && progress_) progress_(control_->progress.load());
    if (!finished_.load()) return;
    worker_.join();
    poll_->stop();
    if (progress_) progress_(1000);
    if (done_) done_();
}

bool ApplyFoundValues(AppState& s, DesignSession* session, const std::vector<DimensionValue>& values)
{
    return session ? session->ApplyFoundValues(values) : ApplyBalance(s, values);
}
