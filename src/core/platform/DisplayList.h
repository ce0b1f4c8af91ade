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
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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
    // Exchanges the contents (and storage) of two lists.
    void Swap(DisplayList& other) noexcept;

    // Operations of each kind (what Replay would draw), for tests and reports.
    int CountLines() const;
    int CountTexts(Part part = Part::Screen) const;
    std::size_t StorageBytes() const { return words_.size() * sizeof(std::int32_t); }

private:
    enum Op : std::uint32_t { kPen = 1, kFont, kLine, kEllipse, kArc, kPixel, kText, kClear, kScreenOnly };

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
