#include "drawing/EnvelopeDrawing.h"

#include "model/Model.h"

#include <vector>

Colour EnvelopeColour(GearPart p)
{
    // The colour each part is drawn in, seven parts in eight white.
    switch (p) {
    case GearPart::CrankMainRod: return RGBColour(255, 200, 200);
    case GearPart::EccentricStrap: return RGBColour(200, 200, 255);
    case GearPart::ReverseHead: return RGBColour(255, 210, 230);
    case GearPart::EccentricRod: return RGBColour(190, 235, 190);
    case GearPart::Rocker: return RGBColour(190, 225, 245);
    case GearPart::ValveRod: return RGBColour(215, 240, 190);
    case GearPart::Frame:
    case GearPart::Cylinder: break;
    }
    return RGBColour(215, 215, 215);
}

void DrawSweptEnvelope(Canvas& c, const AppState& s)
{
    if (!s.display.SweptEnvelopeOn || !s.display.SweptOutlines) return;
    const View& v = s.view;
    std::vector<ScreenPt> pts;
    for (const PartOutline& o : *s.display.SweptOutlines) {
        c.SetPenColour(EnvelopeColour(o.part));
        for (const auto& loop : o.loops) {
            if (loop.size() < 2) continue;
            pts.clear();
            for (const EnvelopePoint& p : loop) pts.push_back({WorldToScreenX(v, p.x), WorldToScreenY(v, p.y)});
            pts.push_back(pts.front());
            c.Polyline(pts.data(), static_cast<int>(pts.size()));
        }
    }
    c.SetPenColour(clBlack);
}
