// The swept envelope as the main window keeps it: measured off the window's
// thread (analysis/SweptEnvelope, on a copy of the design with the mid gear
// it holds) while someone wants it — the main window's "Swept Envelope" drawing, or the
// clearance window — and again whenever the design, its lines and circles or
// the ticked notches change (a look every 100 ms). The outlines go to
// AppState::display.SweptOutlines for the frame to draw.
#pragma once

#include "analysis/SweptEnvelope.h"
#include "model/AppState.h"

#include <QObject>

#include <memory>
#include <vector>

class QTimer;
class QtSearchRunner;

class SweptEnvelopeView : public QObject {
    Q_OBJECT

public:
    SweptEnvelopeView(AppState& state, QObject* parent);
    ~SweptEnvelopeView() override; // ends a measurement under way
    // The one envelope of the main window `window`, made at the first ask: the
    // "Swept Envelope" drawing and the clearance window share it.
    static SweptEnvelopeView* Of(QObject* window, AppState& state);

    // Who wants the envelope: the drawing on the main window, the clearance window.
    void SetDrawing(bool on);
    void SetWindowOpen(bool open);

    // The notches swept; a change measures again.
    const EnvelopeSettings& Settings() const { return settings_; }
    void SetSettings(const EnvelopeSettings& settings);

    // The last envelope measured (none yet: null), the lines and circles it was
    // measured with, and the unit of its design.
    std::shared_ptr<const SweptEnvelope> Result() const { return result_; }
    const Overlay& MeasuredOverlay() const { return overlay_; }
    LengthUnit MeasuredUnit() const { return unit_; }

    // A measurement under way, or due (the design changed since the last).
    bool Measuring() const;
    // Ends a measurement under way; the last result stays, and the design is
    // not measured again until it (or the notches) change.
    void Stop();

signals:
    void Progressed(int permille);
    // A measurement ended: measured (Result() is new) or stopped.
    void Finished(bool stopped);

private:
    void Watch();
    void Start();
    std::vector<float> Snapshot() const;

    AppState& s_;
    QTimer* watch_ = nullptr;
    QtSearchRunner* runner_ = nullptr;
    bool drawing_ = false, window_ = false;
    EnvelopeSettings settings_;
    std::vector<float> measured_; // the snapshot last measured (or being measured)
    std::shared_ptr<const SweptEnvelope> result_;
    Overlay overlay_{};
    LengthUnit unit_ = LengthUnit::Unspecified;
};
