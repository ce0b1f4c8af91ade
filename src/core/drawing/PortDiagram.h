// Port open/close graph: the eight port events (front and rear steam port
// opening and closing, front and rear exhaust opening and closing) as percent
// of piston travel, traced across 19 reverse arm settings from mid gear out to
// full gear, for forward gear, reverse gear or both.
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"

#include <array>
#include <functional>

// Event kinds in the order they are tested at every sample.
enum PortEventKind : int {
    peFrontSteamOpens = 0,
    peFrontExhOpens = 1,
    peRearSteamOpens = 2,
    peRearExhOpens = 3,
    peFrontSteamCloses = 4,
    peFrontExhCloses = 5,
    peRearSteamCloses = 6,
    peRearExhCloses = 7,
};
inline constexpr int kPortEventKinds = 8;

// One sample of the gear: piston position (0..640) and the four openings
// (FrontSteamOpen, FrontExhOpen, RearSteamOpen, RearExhOpen; positive = open).
struct PortSample {
    float piston = 0;
    std::array<float, 4> open{};
};

// Finds the port events between consecutive samples and draws each event's
// line from its last occurrence. One tracer lives for one pass (19 rows).
class PortEventTracer {
public:
    // `reference`: the lines of a reference design, all in kReferenceGrey.
    explicit PortEventTracer(bool forward, bool reference = false);

    // Event tests between the previous and the current sample of row `row`
    // (0..18, drawn at y = 343 - 16 row).
    void TestEvents(Canvas& c, int row, const PortSample& prev, const PortSample& cur);

    bool Occurred(int kind) const { return occurred_[kind]; }
    // Piston position of the kind's last occurrence (-1 before the first).
    float LastPosition(int kind) const { return last_[kind]; }
    // Unrounded screen x of the front port's events on row 13
    // (admission, cut-off, release, compression); 0 when none occurred there.
    float XA() const { return xa_; }
    float XC() const { return xc_; }
    float XR() const { return xr_; }
    float XK() const { return xk_; }

    static bool IsFront(int kind) { return kind % 4 < 2; }
    // Screen x of an event at piston position e (rear events are measured
    // from the other end of the stroke).
    static int EventX(int kind, long double e);

private:
    Colour KindColour(int kind) const;

    bool forward_;
    bool reference_;
    std::array<float, kPortEventKinds> last_{};
    std::array<bool, kPortEventKinds> occurred_{};
    float xa_ = 0, xc_ = 0, xr_ = 0, xk_ = 0;
};

// One pass of the graph for the current PortGraphMode ('F' or 'R'): frame,
// grid, labels, the 19 rows of events and the stroke annotation (while
// PortGraphAnnotate is set); the diagram window adds the dynamic-variable
// panel and the undo line. RevArmPos and DriverAngle are as before afterwards;
// the piston position, openings and their previous-sample copies hold the
// last sample. While a comparison is set, the reference's event lines are
// drawn first, in grey, over its own 19 notches.
void DrawPortDiagram(Canvas& c, AppState& s);

// The "BothGraphs" sequence over a window's operations: `clear`, then the
// forward pass, then the reverse pass over it without the annotation (`pass`
// draws one pass for the current mode, closing panel included). Leaves
// PortGraphMode 'B' and PortGraphAnnotate set.
void RunPortBothGraphs(AppState& s, const std::function<void()>& clear, const std::function<void()>& pass);

// The same sequence on a canvas with DrawPortDiagram as the pass.
void DrawPortBothGraphs(Canvas& c, AppState& s);

// Any other request to draw the window ("ReDraw", bars, undo): in mode 'B'
// the "BothGraphs" sequence, otherwise `clear` first when `clearFirst` is set,
// then one pass.
void RunPortDraw(AppState& s, bool clearFirst, const std::function<void()>& clear, const std::function<void()>& pass);

// The same on a canvas with DrawPortDiagram as the pass.
void RedrawPortDiagram(Canvas& c, AppState& s, bool clearFirst);
