#include "mainwin/SweptEnvelopeView.h"

#include "dialogs/QtSearchRunner.h"
#include "mainwin/TMainForm.h"
#include "model/DesignEdit.h"
#include "model/GearParts.h"

#include <QTimer>

namespace {
constexpr int kWatchMs = 100;
} // namespace

SweptEnvelopeView::SweptEnvelopeView(AppState& state, QObject* parent) : QObject(parent), s_(state)
{
    watch_ = new QTimer(this);
    watch_->setInterval(kWatchMs);
    connect(watch_, &QTimer::timeout, this, &SweptEnvelopeView::Watch);
    runner_ = new QtSearchRunner(this);
}

SweptEnvelopeView::~SweptEnvelopeView() { runner_->End(); }

SweptEnvelopeView* SweptEnvelopeView::Of(QObject* window, AppState& state)
{
    if (auto* v = window->findChild<SweptEnvelopeView*>(QString(), Qt::FindDirectChildrenOnly)) return v;
    auto* v = new SweptEnvelopeView(state, window);
    v->setObjectName(QStringLiteral("SweptEnvelopeView"));
    return v;
}

void SweptEnvelopeView::SetDrawing(bool on)
{
    drawing_ = on;
    s_.display.SweptEnvelopeOn = on;
    Watch();
}

void SweptEnvelopeView::SetWindowOpen(bool open)
{
    window_ = open;
    Watch();
}

void SweptEnvelopeView::SetSettings(const EnvelopeSettings& settings)
{
    settings_ = settings;
    Watch();
}

std::vector<float> SweptEnvelopeView::Snapshot() const
{
    const Gear& g = s_.gear;
    std::vector<float> v = DimensionValues(g);
    v.insert(v.end(), g.RevArm.begin(), g.RevArm.end());
    v.push_back(static_cast<float>(g.Unit));
    for (const OverlayItem& it : s_.overlay.Item)
        v.insert(v.end(), {it.X1, it.Y1, it.X2, it.Y2, it.Kind, it.Reference, it.Pivot1Index, it.Pivot2Index,
                           it.KeepOut ? 1.0f : 0.0f});
    for (bool n : settings_.notch) v.push_back(n ? 1.0f : 0.0f);
    return v;
}

bool SweptEnvelopeView::Measuring() const
{
    return runner_->Running() || ((drawing_ || window_) && measured_ != Snapshot());
}

void SweptEnvelopeView::Watch()
{
    const bool wanted = drawing_ || window_;
    if (!wanted) {
        watch_->stop();
        return;
    }
    if (!watch_->isActive()) watch_->start();
    if (runner_->Running() || measured_ == Snapshot()) return;
    Start();
}

void SweptEnvelopeView::Start()
{
    measured_ = Snapshot();
    const Gear design = s_.gear;
    const Overlay overlay = s_.overlay;
    const EnvelopeSettings settings = settings_;
    const LengthUnit unit = s_.gear.Unit;
    // The worker writes only its result, which the runner keeps.
    runner_->Run<SweptEnvelope>(
        [design, overlay, settings](BalanceControl& control) {
            return SweepEnvelope(design, overlay, settings, &control);
        },
        [this](int permille) { emit Progressed(permille); },
        [this, unit, overlay](SweptEnvelope&& measured) {
            const bool stopped = measured.stopped;
            if (!stopped) {
                auto e = std::make_shared<const SweptEnvelope>(std::move(measured));
                result_ = e;
                overlay_ = overlay;
                unit_ = unit;
                s_.display.SweptOutlines = std::shared_ptr<const std::vector<PartOutline>>(e, &e->outlines);
                // The result comes by the runner's poll, which is no input: a
                // main window whose timer rests would not draw it.
                if (auto* form = qobject_cast<TMainForm*>(parent()); form && drawing_) form->WakeTicks();
            }
            // (A design changed while it was measured is measured again at the next look.)
            emit Finished(stopped);
        });
}

void SweptEnvelopeView::Stop() { runner_->Stop(); }
