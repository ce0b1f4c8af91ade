#include "drawing/MainPicture.h"

#include "drawing/FrameDrawing.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/Services.h"

#include <algorithm>
#include <cmath>

using LD = long double;

void PrepareMainPicture(AppState& s)
{
    Gear& g = s.gear;
    View& v = s.view;
    g.RevArmPos = g.RevArmCentre();
    v.ViewScale = v.HomeScale;
    v.ViewOffsetX = v.HomeOffsetX;
    v.ViewOffsetY = v.HomeOffsetY;
    s.highlight.HighlightDim = 0;
}

DisplayList MainPictureAt(AppState& s, float driverAngle, int width, int height)
{
    s.gear.DriverAngle = driverAngle;
    s.anim.ActiveStep = 0;
    TickModel(s);
    DisplayList list(kFrameWidth, kFrameHeight);
    RecordingSound silent;
    FixedRandom random;
    FrameServices services{silent, random};
    FrameEffects fx;
    DisplayListCanvas c(list);
    ComposeFrame(c, s, services, fx);
    list.Crop(0, 0, width, height);
    return list;
}

DisplayList MainExportPicture(AppState& s)
{
    PrepareMainPicture(s);
    return MainPictureAt(s, 0);
}

float RevolutionAngle(float start, int k, int frames, RunDirection direction)
{
    const LD step = frames > 0 ? 360.0L * k / frames : 0;
    LD a = std::fmod(direction == RunDirection::Fwd ? start + step : start - step, 360.0L);
    if (a < 0) a += 360;
    const float angle = ToModelFloat(a);
    return angle >= 360 || angle == 0 ? 0 : angle; // never -0
}

int AnimationFrameDelay(int frames) { return std::max(2, ToPixel(300.0L / std::max(1, frames))); }

MainAnimation::MainAnimation(const AppState& s, int frames, float start, int width, int height)
    : copy_(s), frames_(frames), width_(width), height_(height), start_(start)
{
    copy_.highlight.HighlightDim = 0;
}

float MainAnimation::Angle(int k) const { return RevolutionAngle(start_, k, frames_, copy_.anim.Direction); }

DisplayList MainAnimation::Frame(int k) { return MainPictureAt(copy_, Angle(k), width_, height_); }
