// A canvas that records what was drawn, for tests and for headless runs.
#pragma once

#include "platform/Canvas.h"

#include <string>
#include <vector>

struct CanvasOp {
    enum Kind { Line, Ellipse, Arc, Pixel, Text, Clear } kind = Line;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // line ends, box corners, pixel/text point in x1,y1
    int x3 = 0, y3 = 0, x4 = 0, y4 = 0; // arc start and end points
    Colour colour = 0;                  // pen colour, pixel colour, font colour, clear colour
    int penWidth = 1;
    PenStyle penStyle = PenStyle::Solid;
    int fontSize = 0;
    bool bold = false;
    std::string text;
};

class RecordingCanvas : public Canvas {
public:
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void SetPixel(int x, int y, Colour c) override;
    void TextOut(int x, int y, const std::string& text) override;
    void Clear(Colour c) override;

    const std::vector<CanvasOp>& Ops() const { return ops_; }
    void Reset() { ops_.clear(); }

    // Queries used by tests.
    std::vector<CanvasOp> OfKind(CanvasOp::Kind k) const;
    // First text op whose text equals `text` (nullptr if none).
    const CanvasOp* FindText(const std::string& text) const;
    // All text ops whose text contains `part`.
    std::vector<CanvasOp> TextsContaining(const std::string& part) const;
    bool HasLine(int x1, int y1, int x2, int y2) const; // either direction
    int CountPixels() const;

protected:
    void DoLine(int x1, int y1, int x2, int y2) override;

private:
    CanvasOp Base(CanvasOp::Kind k) const;
    std::vector<CanvasOp> ops_;
};
