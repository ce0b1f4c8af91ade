#include "drawing/GearDxf.h"

#include "model/GearParts.h"
#include "model/Model.h"

#include <cmath>

int PartDxfColour(GearPart p)
{
    switch (p) {
    case GearPart::Frame: return dxf_colour::kBlackOrWhite;
    case GearPart::CrankMainRod: return dxf_colour::kRed;
    case GearPart::EccentricStrap: return dxf_colour::kBlue;
    case GearPart::ReverseHead: return dxf_colour::kMagenta;
    case GearPart::EccentricRod: return dxf_colour::kGreen;
    case GearPart::Rocker: return dxf_colour::kCyan;
    case GearPart::ValveRod: return dxf_colour::kYellow;
    case GearPart::Cylinder: return dxf_colour::kGrey;
    }
    return dxf_colour::kBlackOrWhite;
}

namespace {

DxfPoint Pt(const WorldPt& p) { return {static_cast<double>(p.x), static_cast<double>(p.y)}; }

void AddShapes(DxfDrawing& d, int layer, const PartShapes& s)
{
    for (const PartSegment& seg : s.segments) {
        DxfEntity e;
        e.layer = layer;
        e.points = {Pt(seg.a), Pt(seg.b)};
        d.entities.push_back(e);
    }
    for (const PartCircle& c : s.circles) {
        DxfEntity e;
        e.kind = DxfEntity::Kind::Circle;
        e.layer = layer;
        e.points = {Pt(c.c)};
        e.radius = static_cast<double>(c.r);
        d.entities.push_back(e);
    }
    for (const PartArc& a : s.arcs) {
        DxfEntity e;
        e.kind = DxfEntity::Kind::Arc;
        e.layer = layer;
        e.points = {Pt(a.c)};
        e.radius = static_cast<double>(a.r);
        e.startDeg = static_cast<double>(a.startDeg);
        e.endDeg = static_cast<double>(a.endDeg);
        d.entities.push_back(e);
    }
    for (const PartPolyline& l : s.polylines) {
        DxfEntity e;
        e.kind = DxfEntity::Kind::Polyline;
        e.layer = layer;
        e.closed = l.closed;
        for (const WorldPt& p : l.points) e.points.push_back(Pt(p));
        d.entities.push_back(e);
    }
}

} // namespace

DxfDrawing GearDxfDrawing(const AppState& s, float driverAngle, float revArmPos)
{
    Gear g = s.gear;
    g.ErrorBeepOn = false;
    g.DriverAngle = driverAngle;
    g.RevArmPos = revArmPos;
    SolveLinkage(g);
    DxfDrawing d;
    d.unit = g.Unit;
    for (int k = 0; k < kGearParts; ++k) {
        const GearPart p = static_cast<GearPart>(k);
        AddShapes(d, d.Layer(PartLayer(p), PartDxfColour(p)), ShapesOfPart(g, p, PinSet::Own));
    }
    const int overlay = d.Layer(kOverlayLayer, dxf_colour::kBlackOrWhite);
    for (int k = 1; k <= kOverlayItems; ++k) {
        const auto shape = OverlayItemShape(s.overlay.Item[static_cast<size_t>(k)], g);
        if (!shape) continue;
        DxfEntity e;
        e.layer = overlay;
        e.points = {Pt(shape->a)};
        if (shape->circle) {
            e.kind = DxfEntity::Kind::Circle;
            e.radius = static_cast<double>(std::fabs(shape->r));
        } else {
            e.points.push_back(Pt(shape->b));
        }
        const bool finite = std::isfinite(e.points.front().x) && std::isfinite(e.points.back().y) &&
                            std::isfinite(e.points.back().x) && std::isfinite(e.points.front().y) &&
                            std::isfinite(e.radius);
        if (finite) d.entities.push_back(e);
    }
    return d;
}

DxfDrawing EnvelopeDxfDrawing(const SweptEnvelope& e, LengthUnit unit)
{
    DxfDrawing d;
    d.unit = unit;
    for (const PartOutline& o : e.outlines) {
        const int layer = d.Layer(PartLayer(o.part), PartDxfColour(o.part));
        for (const auto& loop : o.loops) {
            DxfEntity p;
            p.kind = DxfEntity::Kind::Polyline;
            p.layer = layer;
            p.closed = true;
            for (const EnvelopePoint& q : loop) p.points.push_back({q.x, q.y});
            d.entities.push_back(p);
        }
    }
    return d;
}
