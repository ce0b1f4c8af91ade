#include "platform/GifAnimation.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>

struct GifAnimation::Encoder {
    GifFileType* gif = nullptr;
    std::vector<std::uint8_t> bytes;
    int error = 0;
};

namespace {

int Collect(GifFileType* gif, const GifByteType* data, int n)
{
    auto& bytes = *static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    bytes.insert(bytes.end(), data, data + n);
    return n;
}

constexpr std::uint32_t kRgb = 0xFFFFFFu;

int Red(std::uint32_t c) { return static_cast<int>(c >> 16 & 0xFF); }
int Green(std::uint32_t c) { return static_cast<int>(c >> 8 & 0xFF); }
int Blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

} // namespace

GifAnimation::GifAnimation(int width, int height, int delay)
    : enc_(std::make_unique<Encoder>()), width_(std::max(1, width)), height_(std::max(1, height)),
      delay_(std::clamp(delay, 0, 65535))
{}

GifAnimation::~GifAnimation()
{
    if (enc_->gif) EGifCloseFile(enc_->gif, &enc_->error);
}

bool GifAnimation::Start()
{
    enc_->gif = EGifOpen(&enc_->bytes, Collect, &enc_->error);
    if (!enc_->gif) return false;
    GifFileType* gif = enc_->gif;
    EGifSetGifVersion(gif, true);
    // No global colour table: every frame brings its own.
    if (EGifPutScreenDesc(gif, width_, height_, 8, 0, nullptr) == GIF_ERROR) return false;
    // The application extension that makes viewers loop for ever.
    static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kForever[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_ERROR &&
           EGifPutExtensionBlock(gif, sizeof kNetscape, kNetscape) != GIF_ERROR &&
           EGifPutExtensionBlock(gif, sizeof kForever, kForever) != GIF_ERROR &&
           EGifPutExtensionTrailer(gif) != GIF_ERROR;
}

GifAnimation::Palette GifAnimation::PaletteOf(const std::vector<std::uint32_t>& colours,
                                              const std::vector<std::uint32_t>& counts, std::size_t limit)
{
    Palette p;
    const std::size_t n = colours.size();
    limit = std::clamp<std::size_t>(limit, 1, 256);
    p.index.assign(n, 0);
    if (n <= limit) {
        p.entries = colours;
        std::iota(p.index.begin(), p.index.end(), std::uint8_t{0});
        return p;
    }
    p.exact = false;
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return counts[a] != counts[b] ? counts[a] > counts[b] : colours[a] < colours[b];
    });
    for (std::size_t k = 0; k < limit; ++k) {
        p.entries.push_back(colours[order[k]]);
        p.index[order[k]] = static_cast<std::uint8_t>(k);
    }
    for (std::size_t k = limit; k < n; ++k) {
        const std::uint32_t c = colours[order[k]];
        std::size_t best = 0;
        long bestDistance = -1;
        for (std::size_t e = 0; e < limit; ++e) {
            const std::uint32_t q = p.entries[e];
            const long dr = Red(c) - Red(q), dg = Green(c) - Green(q), db = Blue(c) - Blue(q);
            const long d = dr * dr + dg * dg + db * db;
            // Entries run from the most frequent: the first of equals wins.
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = e;
            }
        }
        p.index[order[k]] = static_cast<std::uint8_t>(best);
    }
    return p;
}

bool GifAnimation::AddFrame(const std::uint32_t* pixels, std::size_t stride)
{
    if (failed_) return false;
    if (frames_ == 0 && !Start()) {
        failed_ = true;
        return false;
    }
    GifFileType* gif = enc_->gif;
    const auto w = static_cast<std::size_t>(width_), h = static_cast<std::size_t>(height_);
    auto at = [&](std::size_t x, std::size_t y) { return pixels[y * stride + x] & kRgb; };

    // The rectangle that changed since the last frame (all of the first;
    // one pixel when nothing changed, as a frame must hold one).
    std::size_t left = 0, top = 0, right = w, bottom = h;
    if (frames_ > 0) {
        auto rowSame = [&](std::size_t y) {
            for (std::size_t x = 0; x < w; ++x)
                if (at(x, y) != previous_[y * w + x]) return false;
            return true;
        };
        auto columnSame = [&](std::size_t x) {
            for (std::size_t y = top; y < bottom; ++y)
                if (at(x, y) != previous_[y * w + x]) return false;
            return true;
        };
        while (top < h && rowSame(top)) ++top;
        if (top == h) {
            top = 0;
            bottom = 1;
            right = 1;
        } else {
            while (bottom > top + 1 && rowSame(bottom - 1)) --bottom;
            while (left + 1 < w && columnSame(left)) ++left;
            while (right > left + 1 && columnSame(right - 1)) --right;
        }
    }
    // The rectangle's colours and how often each occurs, for the pixels that
    // changed; a pixel as it was is left transparent (the last frame shows
    // through). Runs of one colour are looked up once.
    constexpr std::uint32_t kSame = 0xFFFFFFFFu;
    std::unordered_map<std::uint32_t, std::uint32_t> slot; // colour -> place in colours
    std::vector<std::uint32_t> colours, counts;
    auto slotOf = [&](std::uint32_t c) {
        auto [it, added] = slot.try_emplace(c, static_cast<std::uint32_t>(colours.size()));
        if (added) {
            colours.push_back(c);
            counts.push_back(0);
        }
        return it->second;
    };
    const std::size_t rw = right - left, rh = bottom - top;
    std::vector<std::uint32_t> slots(rw * rh);
    bool same = false;
    previous_.resize(w * h);
    for (std::size_t y = 0; y < rh; ++y) {
        std::uint32_t last = 0, lastSlot = 0;
        bool have = false;
        for (std::size_t x = 0; x < rw; ++x) {
            const std::uint32_t c = at(left + x, top + y);
            std::uint32_t& before = previous_[(top + y) * w + left + x];
            if (frames_ > 0 && c == before) {
                slots[y * rw + x] = kSame;
                same = true;
                continue;
            }
            before = c;
            if (!have || c != last) {
                last = c;
                lastSlot = slotOf(c);
                have = true;
            }
            slots[y * rw + x] = lastSlot;
            ++counts[lastSlot];
        }
    }
    // The first frame has no last one: all of it is kept.
    const Palette palette = PaletteOf(colours, counts, same ? 255 : 256);
    if (!palette.exact) ++quantised_;
    const std::size_t transparent = palette.entries.size();

    // A colour table of a power of two entries, the unused ones black.
    const std::size_t used = palette.entries.size() + (same ? 1 : 0);
    int bits = 1;
    while ((std::size_t{1} << bits) < used) ++bits;
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    if (!map) {
        failed_ = true;
        return false;
    }
    for (int e = 0; e < map->ColorCount; ++e) {
        const auto i = static_cast<std::size_t>(e);
        const std::uint32_t c = i < palette.entries.size() ? palette.entries[i] : 0;
        map->Colors[e] = GifColorType{static_cast<GifByteType>(Red(c)), static_cast<GifByteType>(Green(c)),
                                      static_cast<GifByteType>(Blue(c))};
    }

    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = delay_;
    gcb.TransparentColor = same ? static_cast<int>(transparent) : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&gcb, extension);
    bool ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) != GIF_ERROR &&
              EGifPutImageDesc(gif, static_cast<int>(left), static_cast<int>(top), static_cast<int>(rw),
                               static_cast<int>(rh), false, map) != GIF_ERROR;
    GifFreeMapObject(map);
    std::vector<GifPixelType> line(rw);
    for (std::size_t y = 0; ok && y < rh; ++y) {
        for (std::size_t x = 0; x < rw; ++x) {
            const std::uint32_t k = slots[y * rw + x];
            line[x] = k == kSame ? static_cast<GifPixelType>(transparent) : palette.index[k];
        }
        ok = EGifPutLine(gif, line.data(), static_cast<int>(rw)) != GIF_ERROR;
    }
    if (!ok) {
        failed_ = true;
        return false;
    }
    ++frames_;
    return true;
}

bool GifAnimation::Finish(std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (failed_ || frames_ == 0) {
        error = frames_ == 0 && !failed_ ? "the animation has no frame" : "the GIF encoder failed";
        return false;
    }
    const bool closed = EGifCloseFile(enc_->gif, &enc_->error) != GIF_ERROR;
    enc_->gif = nullptr;
    if (!closed) {
        error = GifErrorString(enc_->error) ? GifErrorString(enc_->error) : "the GIF encoder failed";
        return false;
    }
    bytes = std::move(enc_->bytes);
    return true;
}
