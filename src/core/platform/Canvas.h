// The drawing surface every picture of the program goes through: the main
// window's frame, the steam display, readouts, highlight view, overlay and the
// analysis diagrams. QtCanvas paints on a QImage; RecordingCanvas keeps a list
// of operations for tests.
#pragma once

#include <cstdint>
#include <string>

// A colour held as a number: 0x00BBGGRR (red in the low byte), as the overlay
// stores it.
using Colour = std::uint32_t;

inline constexpr Colour RGBColour(int r, int g, int b)
{
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int ColourRed(Colour c) { return static_cast<int>(c & 0xFF); }
inline constexpr int ColourGreen(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int ColourBlue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr Colour clBlack = RGBColour(0, 0, 0);
inline constexpr Colour clWhite = RGBColour(255, 255, 255);
inline constexpr Colour clGray = RGBColour(128, 128, 128);
inline constexpr Colour clSilver = RGBColour(192, 192, 192);
inline constexpr Colour clRed = RGBColour(255, 0, 0);
inline constexpr Colour clMaroon = RGBColour(128, 0, 0);
inline constexpr Colour clLime = RGBColour(0, 255, 0);
inline constexpr Colour clGreen = RGBColour(0, 128, 0);
inline constexpr Colour clTeal = RGBColour(0, 128, 128);
inline constexpr Colour clBlue = RGBColour(0, 0, 255);
inline constexpr Colour clYellow = RGBColour(255, 255, 0);
inline constexpr Colour clMagenta = RGBColour(255, 0, 255);
inline constexpr Colour clAqua = RGBColour(0, 255, 255);

enum class PenStyle { Solid, Dot };

class Canvas {
public:
    virtual ~Canvas() = default;

    // State. The setters only record the state; primitives read it.
    void SetPenColour(Colour c) { penColour_ = c; }
    void SetPenWidth(int w) { penWidth_ = w < 1 ? 1 : w; }
    void SetPenStyle(PenStyle s) { penStyle_ = s; }
    void SetFontColour(Colour c) { fontColour_ = c; }
    // 0 = the surface's default size.
    void SetFontSize(int px) { fontSize_ = px < 0 ? 0 : px; }
    void SetFontBold(bool b) { fontBold_ = b; }
    // What is drawn while this is on belongs to the window's controls on the
    // screen (the caption of a bar, the rows of empty dynamic-variable slots,
    // a prompt to click): it is painted on the screen, and a picture that
    // leaves the program (export, copy, print) leaves it out.
    void SetScreenOnly(bool on) { screenOnly_ = on; }

    Colour PenColour() const { return penColour_; }
    int PenWidth() const { return penWidth_; }
    PenStyle PenStyleNow() const { return penStyle_; }
    Colour FontColour() const { return fontColour_; }
    int FontSize() const { return fontSize_; }
    bool FontBold() const { return fontBold_; }
    bool ScreenOnly() const { return screenOnly_; }
    int PenX() const { return penX_; }
    int PenY() const { return penY_; }

    // Primitives (pixel coordinates).
    void MoveTo(int x, int y)
    {
        penX_ = x;
        penY_ = y;
    }
    void LineTo(int x, int y)
    {
        DoLine(penX_, penY_, x, y);
        penX_ = x;
        penY_ = y;
    }
    // Outline of the ellipse inscribed in the box (clear brush).
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    // Arc of the ellipse in the box, counter-clockwise on the screen from the
    // ray through (x3, y3) to the ray through (x4, y4).
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void SetPixel(int x, int y, Colour c) = 0;
    // Text with its top-left corner at (x, y), in the font colour.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    // Fill the whole surface with a colour.
    virtual void Clear(Colour c) = 0;
    // Width in pixels of `text` in the current font. A surface without fonts
    // (a recording) counts 7 pixels a character.
    virtual int TextWidth(const std::string& text) { return 7 * static_cast<int>(text.size()); }

    // Convenience: a polyline through n points.
    template <typename Pt>
    void Polyline(const Pt* pts, int n)
    {
        if (n <= 0) return;
        MoveTo(pts[0].x, pts[0].y);
        for (int i = 1; i < n; ++i) LineTo(pts[i].x, pts[i].y);
    }
    void Line(int x1, int y1, int x2, int y2)
    {
        MoveTo(x1, y1);
        LineTo(x2, y2);
    }

protected:
    virtual void DoLine(int x1, int y1, int x2, int y2) = 0;

private:
    Colour penColour_ = clBlack;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    Colour fontColour_ = clBlack;
    int fontSize_ = 0;
    bool fontBold_ = false;
    bool screenOnly_ = false;
    int penX_ = 0;
    int penY_ = 0;
};

// Draws screen-only on `c` while it lives (when `on`), then as before.
class ScreenOnlyPart {
public:
    explicit ScreenOnlyPart(Canvas& c, bool on = true) : c_(c), was_(c.ScreenOnly())
    {
        if (on) c_.SetScreenOnly(true);
    }
    ~ScreenOnlyPart() { c_.SetScreenOnly(was_); }
    ScreenOnlyPart(const ScreenOnlyPart&) = delete;
    ScreenOnlyPart& operator=(const ScreenOnlyPart&) = delete;

private:
    Canvas& c_;
    bool was_;
};
