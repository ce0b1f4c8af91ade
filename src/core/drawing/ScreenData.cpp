#include "drawing/ScreenData.h"

#include "drawing/PivotDrawing.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"

using LD = long double;

namespace {

// The left edge of the frame around the readouts on the right.
constexpr int kReadoutsLeft = 541;

// Text at a fixed window anchor, moved by the large-font factors.
void TextAt(Canvas& c, const View& v, LD x, LD y, const std::string& text)
{
    c.TextOut(ToPixel(x * v.FontScaleX), ToPixel(y * v.FontScaleY), text);
}

void UndoLabel(Canvas& c, AppState& s, FrameEffects& fx)
{
    const LD fsx = s.view.FontScaleX;
    // Both coordinates use the horizontal factor, as the panel always has.
    const LD y = s.dyn.DynVarsOn ? 128 : 73;
    fx.undoButton = Vis::Show;
    fx.undoButtonLeft = ToPixel(kUndoButtonLeft * fsx);
    fx.undoButtonTop = ToPixel((y - 1) * fsx);
    // With nothing to undo the line only captions the button. The count of
    // records to redo follows where the line still ends left of the
    // readouts' frame.
    ScreenOnlyPart caption(c, s.dyn.UndoCount == 0);
    std::string text = UndoSummaryText(s);
    const std::string redo = RedoCountText(s);
    if (!redo.empty() && ToPixel(320 * fsx) + c.TextWidth(text + redo) <= ToPixel(kReadoutsLeft * fsx)) text += redo;
    c.TextOut(ToPixel(320 * fsx), ToPixel(y * fsx), text);
}

void Readouts(Canvas& c, AppState& s)
{
    const Gear& g = s.gear;
    const View& v = s.view;
    auto out = [&](LD x, LD y, const std::string& text) { TextAt(c, v, x, y, text + "  "); };
    // A label and its value: a value that fills its width (no space before
    // it) is kept apart from a label that ends without one.
    auto labelled = [](const std::string& label, const std::string& value) {
        const bool apart = label.empty() || label.back() == ' ' || value.empty() || value.front() == ' ';
        return label + (apart ? "" : " ") + value;
    };
    {
        // The captions of the view bars, which no picture shows.
        ScreenOnlyPart captions(c);
        out(199, 25, "Pan Vert");
        out(199, 39, "Pan Horz");
        out(199, 53, "Zoom");
    }
    out(459, 25, labelled("Rev Arm ", FormatFixed(g.RevArmPos, 6, 3)));
    out(459, 39, labelled("Driv Ang ", FormatFixed(g.SolvedDriverAngle, 6, 2)));
    {
        // The step bar's setting: what a picture's frames are apart is not
        // it (an animation's are its own).
        ScreenOnlyPart caption(c);
        out(459, 53, labelled("Step Ang", FormatFixed(s.anim.SelectedStep, 6, 2)));
    }
    out(545, 25, labelled("Piston % ", FormatFixed(static_cast<LD>(g.PistonPx) / 6.4L + 0.00001L, 6, 2)));
    out(545, 37, labelled("ValveCen", FormatFixed(g.ValveCen, 7, 3)));
    out(545, 49, labelled("ValveFSt", FormatFixed(g.FrontSteamOpen, 7, 3)));
    out(545, 61, labelled("ValveFEx", FormatFixed(g.FrontExhOpen, 7, 3)));
    out(545, 73, labelled("ValveRSt", FormatFixed(g.RearSteamOpen, 7, 3)));
    out(545, 85, labelled("ValveREx", FormatFixed(g.RearExhOpen, 7, 3)));
    out(545, 97, labelled("EccStAng", FormatFixed(static_cast<LD>(g.StrapAngle) * 180 / kPi, 7, 2)));
}

void ErrorIndicator(AppState& s, FrameServices& sv, FrameEffects& fx)
{
    Gear& g = s.gear;
    SteamDisplay& st = s.steam;
    if (!g.SolveError) return;
    ++st.ErrorTicks;
    if (st.ErrorTicks < 10) fx.errorItem = Vis::Show;
    if (st.ErrorTicks == 10) {
        fx.errorItem = Vis::Hide;
        sv.sound.PlayWave("Error.wav");
    }
    if (st.ErrorTicks > 20) {
        st.ErrorTicks = 0;
        g.SolveError = false;
    }
}

// One end's cut-off: caught when its steam port closed during this step, the
// piston position at the closing interpolated between the two samples.
void CutOff(Canvas& c, AppState& s, bool front)
{
    Gear& g = s.gear;
    SteamDisplay& st = s.steam;
    const float prevOpen = front ? g.PrevFrontSteamOpen : g.PrevRearSteamOpen;
    const float open = front ? g.FrontSteamOpen : g.RearSteamOpen;
    int& ticks = front ? st.FrontCutOffTicks : st.RearCutOffTicks;
    std::string& text = front ? st.FrontCutOffText : st.RearCutOffText;
    const LD step = s.anim.ActiveStep;

    if (prevOpen > 0 && open < 0) {
        ticks = ToPixel(400 / (step + 0.1L));
        const LD prevPx = g.PrevPistonPx;
        const LD pc = prevPx - prevOpen * (static_cast<LD>(g.PistonPx) - prevPx) / (static_cast<LD>(open) - prevOpen);
        g.PrevPistonPx = ToModelFloat(pc);
        const LD percent = front ? pc / 6.4L : (640 - pc) / 6.4L;
        // One decimal in a column five wide: a 25 % cut-off reads " 25.0".
        text = FormatFixed10(percent, 5, 1);
    }
    if (step != 0 && step < 23) {
        const LD y = front ? 109 : 121;
        TextAt(c, s.view, 545, y, front ? "FrontCO% " : "RearCO% ");
        if (ticks > 0) {
            TextAt(c, s.view, 600, y, text);
            --ticks;
        }
    }
}

void DynVarPanel(Canvas& c, AppState& s, FrameEffects& fx)
{
    const View& v = s.view;
    if (SlotHoldsVariable(s, 1)) {
        for (int k = 1; k <= 4; ++k) {
            // A slot without a dimension only captions its bar.
            ScreenOnlyPart caption(c, !SlotHoldsVariable(s, k));
            const LD y = 71 + 12 * (k - 1);
            TextAt(c, v, 377, y, s.dyn.Slot[k].Name);
            TextAt(c, v, 498, y, SlotValueText(s, k));
        }
    } else {
        ScreenOnlyPart prompt(c); // about the bars
        c.SetFontColour(clRed);
        TextAt(c, v, 377, 71, "*******************************");
        TextAt(c, v, 377, 81, "* First Select Dimensions *");
        TextAt(c, v, 377, 95, "*******************************");
        c.SetFontColour(clBlack);
    }
    fx.dynBarsTouched = true;
    for (int k = 1; k <= 4; ++k) fx.dynBarEnabled[k - 1] = SlotHoldsVariable(s, k);
}

} // namespace

void DrawScreenData(Canvas& c, AppState& s, FrameServices& services, FrameEffects& fx)
{
    Gear& g = s.gear;
    c.SetFontColour(clBlack);

    // 1. Undo label and the "UnDo" button's place.
    if (s.dyn.UndoOn)
        UndoLabel(c, s, fx);
    else
        fx.undoButton = Vis::Hide;

    // 2. Readouts.
    Readouts(c, s);

    // 3. Error indicator.
    ErrorIndicator(s, services, fx);

    // 4. Pivot data and pivot selection messages.
    if (s.display.PivotDataOn) DrawPivotData(c, s);
    if (s.overlay.LinePivotPending) DrawPivotMessages(c, s);
    c.SetFontColour(clBlack);

    // 5.-7. Cut-off figures, then the samples for the next frame.
    CutOff(c, s, true);
    CutOff(c, s, false);
    g.PrevPistonPx = g.PistonPx;
    g.PrevFrontSteamOpen = g.FrontSteamOpen;
    g.PrevRearSteamOpen = g.RearSteamOpen;

    // 8. Reference point marks.
    if (s.display.RefPointsOn) DrawReferenceMarks(c, s);
    c.SetFontColour(clBlack);

    // 9. Dynamic variable panel.
    if (s.dyn.DynVarsOn) DynVarPanel(c, s, fx);
}
