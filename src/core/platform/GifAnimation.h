// A looping GIF animation written frame by frame from pixels (giflib).
//
// Each frame after the first holds only the rectangle that changed since the
// frame before it, drawn over it (nothing is disposed), with its unchanged
// pixels transparent and a colour table of its own. Colours are exact when
// the pixels a frame changes have no more than 256 colours (255 when some are
// transparent); otherwise the most frequent colours of those pixels fill the
// table exactly and every other pixel takes the nearest of them (least
// squared distance in red, green and blue; the more frequent colour on a
// tie).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GifAnimation {
public:
    // Frames of width x height pixels, each shown for `delay` hundredths of
    // a second; the animation repeats for ever.
    GifAnimation(int width, int height, int delay);
    ~GifAnimation();
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // Adds a frame: `height` rows of `width` pixels 0x..RRGGBB (the top byte
    // is ignored, as in an RGB32 image), rows `stride` pixels apart. False
    // when the encoder failed (the animation is then unusable).
    bool AddFrame(const std::uint32_t* pixels, std::size_t stride);

    // Ends the animation and hands over its bytes; false with a reason when
    // the encoder failed or no frame was added.
    bool Finish(std::vector<std::uint8_t>& bytes, std::string& error);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Frames() const { return frames_; }
    // Frames whose changed pixels had more colours than their table holds.
    int QuantisedFrames() const { return quantised_; }

    // The palette of a set of colours with their counts, as a frame gets it:
    // every colour when there are no more than `limit` (at most 256), else
    // the `limit` most frequent (by count, then by value); `index[i]` is the
    // entry colour `colours[i]` is written with (itself, or the nearest).
    struct Palette {
        std::vector<std::uint32_t> entries;
        std::vector<std::uint8_t> index;
        bool exact = true;
    };
    static Palette PaletteOf(const std::vector<std::uint32_t>& colours, const std::vector<std::uint32_t>& counts,
                             std::size_t limit = 256);

private:
    struct Encoder;
    bool Start();
    std::unique_ptr<Encoder> enc_;
    int width_, height_, delay_;
    int frames_ = 0, quantised_ = 0;
    bool failed_ = false;
    std::vector<std::uint32_t> previous_; // the last frame's pixels, width_ x height_
};
