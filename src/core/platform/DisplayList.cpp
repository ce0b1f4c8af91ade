#include "platform/DisplayList.h"

#include <cctype>
#include <utility>

void DisplayList::Reset(int width, int height)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    originX_ = originY_ = 0;
    used_ = 0;
    textCount_ = 0;
    penValid_ = fontValid_ = false;
    screenOnly_ = false;
}

void DisplayList::WritePen(const Canvas& c)
{
    pen_ = c.PenColour();
    penWidth_ = c.PenWidth();
    penStyle_ = c.PenStyleNow();
    penValid_ = true;
    Put(kPen, static_cast<std::int32_t>(pen_), penWidth_, static_cast<int>(penStyle_), 0);
}

void DisplayList::SyncFont(const Canvas& c)
{
    if (fontValid_ && c.FontColour() == font_ && c.FontSize() == fontSize_ && c.FontBold() == bold_) return;
    font_ = c.FontColour();
    fontSize_ = c.FontSize();
    bold_ = c.FontBold();
    fontValid_ = true;
    Put(kFont, static_cast<std::int32_t>(font_), fontSize_, bold_ ? 1 : 0, 0);
}

void DisplayList::AddArc(const Canvas& c, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    SyncPen(c);
    Put(kArc, x1, y1, x2, y2);
    std::int32_t* w = Append(4);
    w[0] = x3;
    w[1] = y3;
    w[2] = x4;
    w[3] = y4;
}

void DisplayList::AddText(const Canvas& c, int x, int y, const std::string& text)
{
    SyncScreenOnly(c);
    SyncFont(c);
    if (textCount_ == texts_.size())
        texts_.push_back(text);
    else
        texts_[textCount_] = text; // reuses the string's storage
    Put(kText, x, y, static_cast<std::int32_t>(textCount_), 0);
    ++textCount_;
}

void DisplayList::AddClear(const Canvas& c, Colour colour)
{
    SyncScreenOnly(c);
    std::int32_t* w = Append(2);
    w[0] = kClear;
    w[1] = static_cast<std::int32_t>(colour);
}

template <typename F>
void DisplayList::ForEach(F&& f) const
{
    const std::int32_t* w = words_.data();
    const std::int32_t* end = w + used_;
    while (w < end) {
        const auto head = static_cast<std::uint32_t>(*w);
        const std::uint32_t op = (head >> 24) ? (head >> 24) : head;
        f(op, w);
        switch (op) {
        case kPixel: w += 3; break;
        case kArc: w += 9; break;
        case kClear:
        case kScreenOnly: w += 2; break;
        default: w += 5; break;
        }
    }
}

bool DisplayList::Visible(int x1, int y1, int x2, int y2, int margin) const
{
    const long long left = std::min(x1, x2) - static_cast<long long>(originX_) - margin;
    const long long right = std::max(x1, x2) - static_cast<long long>(originX_) + margin;
    const long long top = std::min(y1, y2) - static_cast<long long>(originY_) - margin;
    const long long bottom = std::max(y1, y2) - static_cast<long long>(originY_) + margin;
    return right >= 0 && bottom >= 0 && left < width_ && top < height_;
}

namespace {

// Texts are put into the picture's coordinates only if they start in it; the
// largest text runs well below this many pixels to the left or up.
constexpr int kTextReach = 2000;

} // namespace

void DisplayList::Replay(Canvas& c, Part part) const
{
    const int dx = -originX_, dy = -originY_;
    int penWidth = 1;
    bool left = false; // in a screen-only part that this replay leaves out
    ForEach([&](std::uint32_t op, const std::int32_t* w) {
        if (op == kScreenOnly) {
            left = w[1] != 0 && part == Part::Picture;
            return;
        }
        // Pen and font changes hold for what follows, drawn or not.
        if (left && op != kPen && op != kFont) return;
        switch (op) {
        case kPen:
            c.SetPenColour(static_cast<Colour>(w[1]));
            c.SetPenWidth(w[2]);
            c.SetPenStyle(static_cast<PenStyle>(w[3]));
            penWidth = c.PenWidth();
            break;
        case kFont:
            c.SetFontColour(static_cast<Colour>(w[1]));
            c.SetFontSize(w[2]);
            c.SetFontBold(w[3] != 0);
            break;
        case kLine:
            if (Visible(w[1], w[2], w[3], w[4], penWidth)) c.Line(w[1] + dx, w[2] + dy, w[3] + dx, w[4] + dy);
            break;
        case kEllipse:
            if (Visible(w[1], w[2], w[3], w[4], penWidth)) c.Ellipse(w[1] + dx, w[2] + dy, w[3] + dx, w[4] + dy);
            break;
        case kArc:
            if (Visible(w[1], w[2], w[3], w[4], penWidth))
                c.Arc(w[1] + dx, w[2] + dy, w[3] + dx, w[4] + dy, w[5] + dx, w[6] + dy, w[7] + dx, w[8] + dy);
            break;
        case kPixel: {
            const int x = w[1] + dx, y = w[2] + dy;
            if (x >= 0 && y >= 0 && x < width_ && y < height_)
                c.SetPixel(x, y, static_cast<Colour>(static_cast<std::uint32_t>(w[0]) & 0xFFFFFFu));
            break;
        }
        case kText: {
            const int x = w[1] + dx, y = w[2] + dy;
            if (x < width_ && y < height_ && x > -kTextReach && y > -kTextReach)
                c.TextOut(x, y, texts_[static_cast<std::size_t>(w[3])]);
            break;
        }
        case kClear: c.Clear(static_cast<Colour>(w[1])); break;
        default: break;
        }
    });
}

void DisplayList::TakeDrawnOps(std::vector<DrawnOp>& out) const
{
    out.clear();
    const int dx = -originX_, dy = -originY_;
    std::int32_t pen[3] = {static_cast<std::int32_t>(clBlack), 1, static_cast<std::int32_t>(PenStyle::Solid)};
    std::int32_t font[3] = {static_cast<std::int32_t>(clBlack), 0, 0};
    // The same operations as Replay draws on the screen, in the same state.
    ForEach([&](std::uint32_t op, const std::int32_t* w) {
        DrawnOp d;
        d.op = op;
        switch (op) {
        case kPen:
            pen[0] = w[1];
            pen[1] = std::max(1, w[2]);
            pen[2] = w[3];
            return;
        case kFont:
            font[0] = w[1];
            font[1] = std::max(0, w[2]);
            font[2] = w[3] != 0 ? 1 : 0;
            return;
        case kLine:
        case kEllipse:
        case kArc: {
            if (!Visible(w[1], w[2], w[3], w[4], pen[1])) return;
            d.count = op == kArc ? 8 : 4;
            for (int i = 0; i < d.count; ++i) d.v[i] = w[1 + i] + (i % 2 ? dy : dx);
            std::copy(pen, pen + 3, d.state);
            // The figure lies in the box of its first two points (an arc on
            // its ellipse); a wide pen reaches past it by half its width. The
            // curves of a flat ellipse are drawn from so few straight pieces
            // that its ends may reach past the box by a tenth of its length.
            int m = pen[1] + 2;
            if (op != kLine && !NearCircle(d)) m += std::max(std::abs(d.v[2] - d.v[0]), std::abs(d.v[3] - d.v[1])) / 4;
            d.box = {std::min(d.v[0], d.v[2]) - m, std::min(d.v[1], d.v[3]) - m, std::max(d.v[0], d.v[2]) + m + 1,
                     std::max(d.v[1], d.v[3]) + m + 1};
            break;
        }
        case kPixel: {
            const int x = w[1] + dx, y = w[2] + dy;
            if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
            d.count = 2;
            d.v[0] = x;
            d.v[1] = y;
            d.state[0] = static_cast<std::int32_t>(static_cast<std::uint32_t>(w[0]) & 0xFFFFFFu);
            d.box = {x, y, x + 1, y + 1};
            break;
        }
        case kText: {
            const int x = w[1] + dx, y = w[2] + dy;
            if (!(x < width_ && y < height_ && x > -kTextReach && y > -kTextReach)) return;
            d.count = 2;
            d.v[0] = x;
            d.v[1] = y;
            std::copy(font, font + 3, d.state);
            d.text = &texts_[static_cast<std::size_t>(w[3])];
            break;
        }
        case kClear:
            d.state[0] = w[1];
            d.box = {0, 0, width_, height_};
            break;
        default: return;
        }
        out.push_back(d);
    });
}

bool DrawnOp::SameAs(const DrawnOp& o) const
{
    return op == o.op && count == o.count && std::equal(v, v + count, o.v) && std::equal(state, state + 3, o.state) &&
           (text == o.text || (text && o.text && *text == *o.text));
}

void ReplayDrawnOps(Canvas& c, const std::vector<DrawnOp>& ops, const std::vector<char>& draw)
{
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (!draw[i]) continue;
        const DrawnOp& d = ops[i];
        const std::int32_t* v = d.v;
        switch (d.op) {
        case DisplayList::kLineOp:
        case DisplayList::kEllipseOp:
        case DisplayList::kArcOp:
            c.SetPenColour(static_cast<Colour>(d.state[0]));
            c.SetPenWidth(d.state[1]);
            c.SetPenStyle(static_cast<PenStyle>(d.state[2]));
            if (d.op == DisplayList::kLineOp)
                c.Line(v[0], v[1], v[2], v[3]);
            else if (d.op == DisplayList::kEllipseOp)
                c.Ellipse(v[0], v[1], v[2], v[3]);
            else
                c.Arc(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
            break;
        case DisplayList::kPixelOp: c.SetPixel(v[0], v[1], static_cast<Colour>(d.state[0])); break;
        case DisplayList::kTextOp:
            c.SetFontColour(static_cast<Colour>(d.state[0]));
            c.SetFontSize(d.state[1]);
            c.SetFontBold(d.state[2] != 0);
            c.TextOut(v[0], v[1], *d.text);
            break;
        case DisplayList::kClearOp: c.Clear(static_cast<Colour>(d.state[0])); break;
        default: break;
        }
    }
}

void DrawnOpsDiffer(const std::vector<DrawnOp>& before, std::vector<DrawnOp>& now, std::vector<char>& changedBefore,
                    std::vector<char>& changedNow,
                    const std::function<PictureBox(int size, bool bold, const std::string& text)>& textBox)
{
    const std::size_t n = before.size(), m = now.size();
    changedBefore.assign(n, 1);
    changedNow.assign(m, 1);
    const auto pair = [&](std::size_t i, std::size_t j) {
        changedBefore[i] = 0;
        changedNow[j] = 0;
        now[j].box = before[i].box;
    };
    // An order-keeping pairing: the common start, then the rest from the end
    // (one run of operations put in or taken out, or a list of the same
    // length whose operations changed in place).
    std::size_t start = 0;
    while (start < n && start < m && before[start].SameAs(now[start])) pair(start, start), ++start;
    for (std::size_t t = 0; start + t < n && start + t < m; ++t)
        if (before[n - 1 - t].SameAs(now[m - 1 - t])) pair(n - 1 - t, m - 1 - t);
    for (std::size_t j = 0; j < m; ++j) {
        DrawnOp& d = now[j];
        if (!changedNow[j] || d.op != DisplayList::kTextOp) continue;
        const PictureBox b = textBox(d.state[1], d.state[2] != 0, *d.text);
        d.box = {b.left + d.v[0], b.top + d.v[1], b.right + d.v[0], b.bottom + d.v[1]};
    }
}

void DisplayList::Crop(int x, int y, int width, int height)
{
    originX_ += x;
    originY_ += y;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

bool DisplayList::SameAs(const DisplayList& o) const
{
    if (width_ != o.width_ || height_ != o.height_ || originX_ != o.originX_ || originY_ != o.originY_ ||
        used_ != o.used_ || textCount_ != o.textCount_)
        return false;
    if (!std::equal(words_.begin(), words_.begin() + static_cast<std::ptrdiff_t>(used_), o.words_.begin()))
        return false;
    return std::equal(texts_.begin(), texts_.begin() + static_cast<std::ptrdiff_t>(textCount_), o.texts_.begin());
}

void DisplayList::Swap(DisplayList& o) noexcept
{
    std::swap(width_, o.width_);
    std::swap(height_, o.height_);
    std::swap(originX_, o.originX_);
    std::swap(originY_, o.originY_);
    words_.swap(o.words_);
    std::swap(used_, o.used_);
    texts_.swap(o.texts_);
    std::swap(textCount_, o.textCount_);
    std::swap(penValid_, o.penValid_);
    std::swap(fontValid_, o.fontValid_);
    std::swap(pen_, o.pen_);
    std::swap(font_, o.font_);
    std::swap(penWidth_, o.penWidth_);
    std::swap(fontSize_, o.fontSize_);
    std::swap(penStyle_, o.penStyle_);
    std::swap(bold_, o.bold_);
    std::swap(screenOnly_, o.screenOnly_);
}

int DisplayList::CountLines() const
{
    int n = 0, penWidth = 1;
    ForEach([&](std::uint32_t op, const std::int32_t* w) {
        if (op == kPen) penWidth = std::max(1, w[2]);
        if (op == kLine && Visible(w[1], w[2], w[3], w[4], penWidth)) ++n;
    });
    return n;
}

int DisplayList::CountTexts(Part part) const
{
    int n = 0;
    bool left = false;
    ForEach([&](std::uint32_t op, const std::int32_t* w) {
        if (op == kScreenOnly) left = w[1] != 0 && part == Part::Picture;
        if (op == kText && !left && w[1] - originX_ < width_ && w[2] - originY_ < height_) ++n;
    });
    return n;
}

// ---------------------------------------------------------------- picture files
PictureFormat PictureFormatOf(const std::string& path)
{
    const auto dot = path.find_last_of('.');
    const auto sep = path.find_last_of("/\\");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return PictureFormat::None;
    std::string ext = path.substr(dot + 1);
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == "png") return PictureFormat::Png;
    if (ext == "svg") return PictureFormat::Svg;
    if (ext == "pdf") return PictureFormat::Pdf;
    return PictureFormat::None;
}

const char* PictureExtension(PictureFormat f)
{
    switch (f) {
    case PictureFormat::Png: return "png";
    case PictureFormat::Svg: return "svg";
    case PictureFormat::Pdf: return "pdf";
    case PictureFormat::None: break;
    }
    return "";
}

std::string PictureFileStem(const std::string& dataSetName, const std::string& pictureName)
{
    // A data set name comes from a file name; characters that a file name
    // cannot hold on some systems are replaced.
    std::string base;
    for (char ch : dataSetName) base += (std::string("/\\:*?\"<>|").find(ch) != std::string::npos) ? '_' : ch;
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
    if (base.empty()) base = "Picture";
    return base + "-" + pictureName;
}

std::string ProposedPictureName(const std::string& dataSetName, const std::string& pictureName, PictureFormat f)
{
    return PictureFileStem(dataSetName, pictureName) + "." + PictureExtension(f);
}
