#include "platform/RecordingCanvas.h"

CanvasOp RecordingCanvas::Base(CanvasOp::Kind k) const
{
    CanvasOp op;
    op.kind = k;
    op.colour = PenColour();
    op.penWidth = PenWidth();
    op.penStyle = PenStyleNow();
    op.fontSize = FontSize();
    op.bold = FontBold();
    return op;
}

void RecordingCanvas::DoLine(int x1, int y1, int x2, int y2)
{
    CanvasOp op = Base(CanvasOp::Line);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    ops_.push_back(op);
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    CanvasOp op = Base(CanvasOp::Ellipse);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    ops_.push_back(op);
}

void RecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    CanvasOp op = Base(CanvasOp::Arc);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.x3 = x3;
    op.y3 = y3;
    op.x4 = x4;
    op.y4 = y4;
    ops_.push_back(op);
}

void RecordingCanvas::SetPixel(int x, int y, Colour c)
{
    CanvasOp op = Base(CanvasOp::Pixel);
    op.x1 = x;
    op.y1 = y;
    op.colour = c;
    ops_.push_back(op);
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    CanvasOp op = Base(CanvasOp::Text);
    op.x1 = x;
    op.y1 = y;
    op.colour = FontColour();
    op.text = text;
    ops_.push_back(op);
}

void RecordingCanvas::Clear(Colour c)
{
    CanvasOp op = Base(CanvasOp::Clear);
    op.colour = c;
    ops_.push_back(op);
}

std::vector<CanvasOp> RecordingCanvas::OfKind(CanvasOp::Kind k) const
{
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops_)
        if (op.kind == k) out.push_back(op);
    return out;
}

const CanvasOp* RecordingCanvas::FindText(const std::string& text) const
{
    for (const CanvasOp& op : ops_)
        if (op.kind == CanvasOp::Text && op.text == text) return &op;
    return nullptr;
}

std::vector<CanvasOp> RecordingCanvas::TextsContaining(const std::string& part) const
{
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops_)
        if (op.kind == CanvasOp::Text && op.text.find(part) != std::string::npos) out.push_back(op);
    return out;
}

bool RecordingCanvas::HasLine(int x1, int y1, int x2, int y2) const
{
    for (const CanvasOp& op : ops_) {
        if (op.kind != CanvasOp::Line) continue;
        if (op.x1 == x1 && op.y1 == y1 && op.x2 == x2 && op.y2 == y2) return true;
        if (op.x1 == x2 && op.y1 == y2 && op.x2 == x1 && op.y2 == y1) return true;
    }
    return false;
}

int RecordingCanvas::CountPixels() const
{
    int n = 0;
    for (const CanvasOp& op : ops_)
        if (op.kind == CanvasOp::Pixel) ++n;
    return n;
}
