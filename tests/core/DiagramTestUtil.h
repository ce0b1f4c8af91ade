// Helpers shared by the diagram tests.
#pragma once

#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <vector>

inline AppState StartedState()
{
    AppState s;
    StartupModel(s);
    return s;
}

inline bool SameOp(const CanvasOp& a, const CanvasOp& b)
{
    return a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.x3 == b.x3 &&
           a.y3 == b.y3 && a.x4 == b.x4 && a.y4 == b.y4 && a.colour == b.colour && a.penWidth == b.penWidth &&
           a.penStyle == b.penStyle && a.fontSize == b.fontSize && a.bold == b.bold && a.text == b.text;
}

inline bool SameOps(const std::vector<CanvasOp>& a, const std::vector<CanvasOp>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameOp(a[i], b[i])) return false;
    return true;
}

inline std::vector<CanvasOp> LinesOfColour(const RecordingCanvas& c, Colour colour)
{
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.Ops())
        if (op.kind == CanvasOp::Line && op.colour == colour) out.push_back(op);
    return out;
}

inline std::vector<CanvasOp> TextsAt(const RecordingCanvas& c, int x, int y)
{
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.Ops())
        if (op.kind == CanvasOp::Text && op.x1 == x && op.y1 == y) out.push_back(op);
    return out;
}
