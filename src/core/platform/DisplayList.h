// A picture as the canvas operations that drew it: a compact, replayable list
// with the picture's logical size. The windows keep the list of what they
// show, so that a picture can be written as PNG, SVG or PDF, copied or printed
// by replaying it (QtPicture.h), at any scale, without drawing it again.
//
// Recording is cheap enough to run on every frame of the animation: words
// are appended to a vector that keeps its storage between frames, and the pen
// and font state is written only when it changes.
#pragma once

#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// A box of picture pixels: [left, right) x [top, bottom).
struct PictureBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};

// One operation a list draws on the screen (what Replay draws, in its order):
// its place in the picture, the state it is drawn in and the box of picture
// pixels it may paint. A text's string lives in the list it was taken from:
// valid while that list is neither changed nor destroyed (a Swap keeps it
// valid, with the other list).
struct DrawnOp {
    std::uint32_t op = 0;
    int count = 0;           // coordinates in `v`
    std::int32_t v[8]{};     // x1, y1, x2, y2, ... in the picture
    std::int32_t state[3]{}; // pen (colour, width, style), font (colour, size, bold), or a colour
    const std::string* text = nullptr;
    PictureBox box; // a text's is filled in by DrawnOpsDiffer
    bool SameAs(const DrawnOp& o) const;
};

// True when the ellipse or arc `d` is nearly round: its width and height
// within a fifth and two pixels of each other.
inline bool NearCircle(const DrawnOp& d)
{
    const int w = std::abs(d.v[2] - d.v[0]), h = std::abs(d.v[3] - d.v[1]);
    return std::max(w, h) * 5 <= std::min(w, h) * 6 + 10;
}

// Calls `f(box)` for boxes that together hold every pixel `d` may paint: its
// box, or for a line, or a round ellipse or arc, longer than 16 pixels, the
// boxes of pieces of it no longer than that (the chords of an ellipse, all round,
// each grown by how far the curve strays from it), each grown by the pen as
// the figure's box is: a sloping line's box, or a circle's, holds much that
// the figure never paints.
template <typename F>
void ForEachPieceBox(const DrawnOp& d, F&& f)
{
    constexpr int kPiece = 16;
    const int m = d.state[1] + 2;
    if (d.op == 4 || d.op == 5) { // kEllipseOp, kArcOp: the ellipse in the box of the first two points
        const double cx = (d.v[0] + d.v[2]) / 2.0, cy = (d.v[1] + d.v[3]) / 2.0;
        const double a = std::abs(d.v[2] - d.v[0]) / 2.0, b = std::abs(d.v[3] - d.v[1]) / 2.0;
        const double around = 2 * 3.14159265358979 * std::max(a, b);
        if (around <= 4 * kPiece || !NearCircle(d)) {
            f(d.box);
            return;
        }
        const int pieces = static_cast<int>(std::ceil(around / kPiece));
        const double step = 2 * 3.14159265358979 / pieces;
        const int stray = static_cast<int>(std::ceil(std::max(a, b) * (1 - std::cos(step / 2)))) + 1;
        double x0 = cx + a, y0 = cy;
        for (int i = 1; i <= pieces; ++i) {
            const double x1 = cx + a * std::cos(i * step), y1 = cy + b * std::sin(i * step);
            const int g = m + stray;
            f(PictureBox{static_cast<int>(std::floor(std::min(x0, x1))) - g,
                         static_cast<int>(std::floor(std::min(y0, y1))) - g,
                         static_cast<int>(std::ceil(std::max(x0, x1))) + g + 1,
                         static_cast<int>(std::ceil(std::max(y0, y1))) + g + 1});
            x0 = x1, y0 = y1;
        }
        return;
    }
    const int dx = d.v[2] - d.v[0], dy = d.v[3] - d.v[1];
    const int length = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    if (d.op != 3 || length <= kPiece) { // kLineOp
        f(d.box);
        return;
    }
    const int pieces = (length + kPiece - 1) / kPiece;
    // Piece i runs from point i to point i + 1 of the line cut into `pieces`
    // (the points' coordinates rounded down and up).
    const auto at = [&](int from, int delta, int i, bool up) {
        const long long num = static_cast<long long>(delta) * i;
        long long q = num / pieces;
        if ((num % pieces != 0) && ((num < 0) != up)) q += up ? 1 : -1;
        return from + static_cast<int>(q);
    };
    for (int i = 0; i < pieces; ++i) {
        const int xa = at(d.v[0], dx, i, false), xb = at(d.v[0], dx, i + 1, false);
        const int xa1 = at(d.v[0], dx, i, true), xb1 = at(d.v[0], dx, i + 1, true);
        const int ya = at(d.v[1], dy, i, false), yb = at(d.v[1], dy, i + 1, false);
        const int ya1 = at(d.v[1], dy, i, true), yb1 = at(d.v[1], dy, i + 1, true);
        f(PictureBox{std::min(xa, xb) - m, std::min(ya, yb) - m, std::max(xa1, xb1) + m + 1,
                     std::max(ya1, yb1) + m + 1});
    }
}

// Replays the operations of `ops` for which `draw` is set, each in its own
// state, as DisplayList::Replay draws them.
void ReplayDrawnOps(Canvas& target, const std::vector<DrawnOp>& ops, const std::vector<char>& draw);

class DisplayList {
public:
    DisplayList() = default;
    DisplayList(int width, int height) { Reset(width, height); }

    // Empties the list (keeping its storage) for a picture of that size.
    void Reset(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return used_ == 0; }

    // ---- recording: `c` supplies the pen and font state of the operation
    void AddLine(const Canvas& c, int x1, int y1, int x2, int y2)
    {
        SyncPen(c);
        Put(kLine, x1, y1, x2, y2);
    }
    void AddEllipse(const Canvas& c, int x1, int y1, int x2, int y2)
    {
        SyncPen(c);
        Put(kEllipse, x1, y1, x2, y2);
    }
    void AddArc(const Canvas& c, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void AddPixel(const Canvas& c, int x, int y, Colour colour)
    {
        SyncScreenOnly(c);
        // The opcode shares its word with the 24-bit colour.
        std::int32_t* w = Append(3);
        w[0] = static_cast<std::int32_t>((kPixel << 24) | (colour & 0xFFFFFFu));
        w[1] = x;
        w[2] = y;
    }
    void AddText(const Canvas& c, int x, int y, const std::string& text);
    void AddClear(const Canvas& c, Colour colour);

    // What a replay draws: everything the screen shows, or the picture as it
    // leaves the program, without what was drawn screen-only (Canvas).
    enum class Part { Screen, Picture };
    // Replays the picture on `target`, whose (0, 0) is the picture's top-left
    // corner. Operations that lie wholly outside the picture are left out.
    void Replay(Canvas& target, Part part = Part::Screen) const;

    // Keeps the part of the picture in the rectangle (x, y, width, height) of
    // its current coordinates; that rectangle's top-left becomes (0, 0).
    void Crop(int x, int y, int width, int height);

    // True when both lists draw the same picture: the same size and place and
    // the same operations with the same pen, font and texts.
    bool SameAs(const DisplayList& other) const;
    // The operations Replay draws on the screen, in order, each with its box
    // (a line's, an ellipse's or an arc's grown by the pen's width and a
    // margin; a pixel's; the whole picture for a clear). A text's box is left
    // empty: only the surface that draws it knows its glyphs.
    void TakeDrawnOps(std::vector<DrawnOp>& out) const;

    // Exchanges the contents (and storage) of two lists.
    void Swap(DisplayList& other) noexcept;

    // Operations of each kind (what Replay would draw), for tests and reports.
    int CountLines() const;
    int CountTexts(Part part = Part::Screen) const;
    std::size_t StorageBytes() const { return words_.size() * sizeof(std::int32_t); }

    // The kinds of drawn operations (DrawnOp::op).
    static constexpr std::uint32_t kLineOp = 3, kEllipseOp = 4, kArcOp = 5, kPixelOp = 6, kTextOp = 7, kClearOp = 8;

private:
    enum Op : std::uint32_t { kPen = 1, kFont, kLine, kEllipse, kArc, kPixel, kText, kClear, kScreenOnly };
    static_assert(kLine == kLineOp && kEllipse == kEllipseOp && kArc == kArcOp && kPixel == kPixelOp &&
                  kText == kTextOp && kClear == kClearOp);

    // Room for n more words at the end (the storage only ever grows).
    std::int32_t* Append(std::size_t n)
    {
        if (used_ + n > words_.size()) words_.resize(std::max(2 * words_.size(), used_ + n + 1024));
        std::int32_t* w = words_.data() + used_;
        used_ += n;
        return w;
    }
    void Put(std::int32_t op, int a, int b, int c, int d)
    {
        std::int32_t* w = Append(5);
        w[0] = op;
        w[1] = a;
        w[2] = b;
        w[3] = c;
        w[4] = d;
    }
    void SyncPen(const Canvas& c)
    {
        SyncScreenOnly(c);
        if (penValid_ && c.PenColour() == pen_ && c.PenWidth() == penWidth_ && c.PenStyleNow() == penStyle_) return;
        WritePen(c);
    }
    // A mark where screen-only drawing starts or ends.
    void SyncScreenOnly(const Canvas& c)
    {
        if (c.ScreenOnly() == screenOnly_) return;
        screenOnly_ = c.ScreenOnly();
        std::int32_t* w = Append(2);
        w[0] = kScreenOnly;
        w[1] = screenOnly_ ? 1 : 0;
    }
    void WritePen(const Canvas& c);
    void SyncFont(const Canvas& c);
    // True when a box, grown by `margin`, reaches into the picture.
    bool Visible(int x1, int y1, int x2, int y2, int margin) const;
    // Calls `f(op, words)` for every operation.
    template <typename F>
    void ForEach(F&& f) const;

    int width_ = 0, height_ = 0;
    int originX_ = 0, originY_ = 0;   // the picture's top-left in recorded coordinates
    std::vector<std::int32_t> words_; // words_[0 .. used_) hold the picture
    std::size_t used_ = 0;
    std::vector<std::string> texts_;
    std::size_t textCount_ = 0; // texts_ keeps its strings between frames
    // The state last written to the list.
    bool penValid_ = false, fontValid_ = false;
    bool screenOnly_ = false; // what the operations recorded last were
    Colour pen_ = 0, font_ = 0;
    int penWidth_ = 1, fontSize_ = 0;
    PenStyle penStyle_ = PenStyle::Solid;
    bool bold_ = false;
};

// Pairs the operations of a picture shown (`before`) with those of the next
// one (`now`) in their order: the longest common start, then the rest aligned
// from the end. An operation without an equal partner is marked in
// `changedBefore` / `changedNow`; a pixel that none of the marked operations'
// boxes covers is the same in both pictures, as the same operations paint it
// in the same order. An unmarked operation of `now` takes the box of its
// partner; `textBox` gives the box of a marked text of `now` (its top-left
// corner at (0, 0); font size, boldness, text).
void DrawnOpsDiffer(const std::vector<DrawnOp>& before, std::vector<DrawnOp>& now, std::vector<char>& changedBefore,
                    std::vector<char>& changedNow,
                    const std::function<PictureBox(int size, bool bold, const std::string& text)>& textBox);

// A canvas that only records into a display list (pictures drawn without a
// window: the command-line export, tests).
class DisplayListCanvas : public Canvas {
public:
    explicit DisplayListCanvas(DisplayList& list) : list_(list) {}

    void Ellipse(int x1, int y1, int x2, int y2) override { list_.AddEllipse(*this, x1, y1, x2, y2); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
    {
        list_.AddArc(*this, x1, y1, x2, y2, x3, y3, x4, y4);
    }
    void SetPixel(int x, int y, Colour c) override { list_.AddPixel(*this, x, y, c); }
    void TextOut(int x, int y, const std::string& text) override { list_.AddText(*this, x, y, text); }
    void Clear(Colour c) override { list_.AddClear(*this, c); }

protected:
    void DoLine(int x1, int y1, int x2, int y2) override { list_.AddLine(*this, x1, y1, x2, y2); }

private:
    DisplayList& list_;
};

// ---- picture files
enum class PictureFormat { None, Png, Svg, Pdf };

// The format a file name's extension asks for (any case); None for others.
PictureFormat PictureFormatOf(const std::string& path);
// "png", "svg", "pdf".
const char* PictureExtension(PictureFormat f);
// The file name proposed for a picture without its extension
// ("Nominal-port-graph"), and with it ("Nominal-port-graph.svg").
std::string PictureFileStem(const std::string& dataSetName, const std::string& pictureName);
std::string ProposedPictureName(const std::string& dataSetName, const std::string& pictureName, PictureFormat f);
