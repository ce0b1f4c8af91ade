// The GIF animation read back with giflib (frames, rectangles, loop, delays,
// colours exact or quantised as stated), and one revolution of the main
// window's picture drawn on a copy of the design.
#include "drawing/MainPicture.h"
#include "model/Model.h"
#include "platform/GifAnimation.h"

#include "support/GifFrames.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Pixels = std::vector<std::uint32_t>;

// A w x h frame of colour f(x, y).
Pixels Frame(int w, int h, const std::function<std::uint32_t(int, int)>& f)
{
    Pixels p(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[static_cast<std::size_t>(y) * w + x] = f(x, y);
    return p;
}

// White with a black 3 x 3 square at (x0, y0); the top byte (alpha in an
// RGB32 image) set, as the encoder must ignore it.
Pixels Square(int x0, int y0)
{
    return Frame(20, 10, [=](int x, int y) {
        const bool in = x >= x0 && x < x0 + 3 && y >= y0 && y < y0 + 3;
        return 0xFF000000u | (in ? 0x000000u : 0xFFFFFFu);
    });
}

// 256 colours (i, 0, 0) twice each, then 44 colours (i, 1, 0) once each.
Pixels ThreeHundredColours()
{
    return Frame(556, 1, [](int x, int) {
        if (x < 512) return static_cast<std::uint32_t>(x / 2) << 16;
        return static_cast<std::uint32_t>(x - 512) << 16 | 0x000100u;
    });
}

Pixels Rgb(const Pixels& p)
{
    Pixels out = p;
    for (auto& c : out) c &= 0xFFFFFFu;
    return out;
}

} // namespace

TEST(GifAnimation, FramesReadBackAsTheyWereDrawnWithTheLoopAndOnlyWhatChanged)
{
    struct Rect {
        int left, top, width, height;
    };
    struct Case {
        const char* name;
        std::vector<Pixels> frames;
        std::vector<Rect> rects; // of each frame in the file
        std::vector<Pixels> shown;
        int quantised;
    };
    const Pixels q = ThreeHundredColours();
    const Pixels nearest =
        Frame(556, 1, [](int x, int) { return static_cast<std::uint32_t>(x < 512 ? x / 2 : x - 512) << 16; });
    const std::vector<Case> cases = {
        {"a square moving",
         {Square(1, 1), Square(4, 2), Square(4, 2), Square(16, 7)},
         {{0, 0, 20, 10}, {1, 1, 6, 4}, {0, 0, 1, 1}, {4, 2, 15, 8}},
         {Rgb(Square(1, 1)), Rgb(Square(4, 2)), Rgb(Square(4, 2)), Rgb(Square(16, 7))},
         0},
        {"more than 256 colours, then back",
         {q, Frame(556, 1, [](int, int) { return 0xFFFFFFu; })},
         {{0, 0, 556, 1}, {0, 0, 556, 1}},
         {nearest, Frame(556, 1, [](int, int) { return 0xFFFFFFu; })},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int w = c.rects[0].width, h = c.rects[0].height;
        GifAnimation gif(w, h, 4);
        for (const Pixels& f : c.frames) ASSERT_TRUE(gif.AddFrame(f.data(), static_cast<std::size_t>(w)));
        std::vector<std::uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(gif.Finish(bytes, error)) << error;
        EXPECT_EQ(gif.QuantisedFrames(), c.quantised);

        const GifFrames read = ReadGif(bytes);
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.width, w);
        EXPECT_EQ(read.height, h);
        EXPECT_TRUE(read.loopExtension);
        EXPECT_EQ(read.loopCount, 0);
        ASSERT_EQ(read.frames.size(), c.frames.size());
        for (std::size_t k = 0; k < c.frames.size(); ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(read.delays[k], 4);
            EXPECT_EQ(read.disposals[k], DISPOSE_DO_NOT);
            EXPECT_EQ(read.left[k], c.rects[k].left);
            EXPECT_EQ(read.top[k], c.rects[k].top);
            EXPECT_EQ(read.rectWidth[k], c.rects[k].width);
            EXPECT_EQ(read.rectHeight[k], c.rects[k].height);
            EXPECT_TRUE(read.frames[k] == c.shown[k]);
        }
    }
    // Nothing added: no file.
    GifAnimation none(4, 4, 4);
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(none.Finish(bytes, error));
    EXPECT_EQ(error, "the animation has no frame");
}

TEST(GifAnimation, APaletteKeepsTheMostFrequentColoursAndMapsTheOthersToTheNearest)
{
    struct Case {
        std::vector<std::uint32_t> colours, counts;
        std::size_t limit;
        std::vector<std::uint32_t> entries;
        std::vector<std::uint8_t> index;
        bool exact;
    };
    const std::vector<Case> cases = {
        {{0xFF0000, 0x00FF00}, {1, 9}, 256, {0xFF0000, 0x00FF00}, {0, 1}, true},
        // Two kept (by count, then the smaller value); the third goes to the nearest.
        {{0x101010, 0x000000, 0xFFFFFF}, {5, 5, 1}, 2, {0x000000, 0x101010}, {1, 0, 1}, false},
        // A tie of distance: the more frequent entry.
        {{0x000000, 0x000002, 0x000001}, {3, 7, 1}, 2, {0x000002, 0x000000}, {1, 0, 0}, false},
        {{0x000000, 0x0000FF, 0xFF0000}, {2, 2, 2}, 1, {0x000000}, {0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        const GifAnimation::Palette p = GifAnimation::PaletteOf(c.colours, c.counts, c.limit);
        EXPECT_EQ(p.entries, c.entries);
        EXPECT_EQ(p.index, c.index);
        EXPECT_EQ(p.exact, c.exact);
    }
}

TEST(MainAnimation, OneRevolutionEvenlySpacedInTheSenseTheGearRuns)
{
    struct Case {
        float start;
        int k, frames;
        RunDirection direction;
        float angle;
    };
    constexpr RunDirection F = RunDirection::Fwd, R = RunDirection::Rev;
    for (const Case& c : {Case{0, 0, 72, F, 0}, Case{0, 1, 72, F, 5}, Case{0, 71, 72, F, 355}, Case{350, 2, 72, F, 0},
                          Case{350, 3, 72, F, 5}, Case{10, 1, 72, R, 5}, Case{0, 1, 4, R, 270}, Case{0, 4, 4, R, 0},
                          Case{37.5f, 1, 3, F, 157.5f}}) {
        EXPECT_FLOAT_EQ(RevolutionAngle(c.start, c.k, c.frames, c.direction), c.angle)
            << c.start << " " << c.k << "/" << c.frames << " " << (c.direction == F ? "Fwd" : "Rev");
    }
    struct Delay {
        int frames, delay;
    };
    for (const Delay& d : {Delay{72, 4}, Delay{36, 8}, Delay{12, 25}, Delay{150, 2}, Delay{3600, 2}})
        EXPECT_EQ(AnimationFrameDelay(d.frames), d.delay) << d.frames;
}

TEST(MainAnimation, EachFrameIsThePictureAtItsAngleAndTheDesignIsNeverTurned)
{
    for (const RunDirection direction : {RunDirection::Fwd, RunDirection::Rev}) {
        SCOPED_TRACE(direction == RunDirection::Fwd ? "Fwd" : "Rev");
        AppState s;
        StartupModel(s);
        s.anim.Direction = direction;
        s.gear.DriverAngle = 123;
        s.gear.RevArmPos = 0.5f;
        s.highlight.HighlightDim = 4; // a close-up is not part of the animation
        const AppState before = s;
        MainAnimation animation(s, 24, 30, 600, 300);
        DisplayList previous;
        for (int k = 0; k < animation.Count(); ++k) {
            SCOPED_TRACE(k);
            const DisplayList frame = animation.Frame(k);
            AppState fresh = before;
            fresh.highlight.HighlightDim = 0;
            const float angle = RevolutionAngle(30, k, 24, direction);
            EXPECT_EQ(animation.Angle(k), angle);
            EXPECT_TRUE(frame.SameAs(MainPictureAt(fresh, angle, 600, 300)));
            EXPECT_EQ(frame.Width(), 600);
            EXPECT_EQ(frame.Height(), 300);
            if (k > 0) {
                EXPECT_FALSE(frame.SameAs(previous));
            }
            previous = frame;
        }
        EXPECT_EQ(s.gear.DriverAngle, 123);
        EXPECT_EQ(s.gear.RevArmPos, 0.5f);
        EXPECT_EQ(s.highlight.HighlightDim, 4);
        EXPECT_EQ(s.gear.ScreenX, before.gear.ScreenX);
    }
    // The command line's picture: mid gear, the home view, driver angle 0.
    AppState s;
    StartupModel(s);
    s.gear.RevArmPos = 0.7f;
    s.view.ViewScale = 40;
    const DisplayList exported = MainExportPicture(s);
    EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
    EXPECT_EQ(s.view.ViewScale, s.view.HomeScale);
    EXPECT_EQ(s.gear.SolvedDriverAngle, 0);
    EXPECT_EQ(exported.Width(), kClientWidth);
    EXPECT_EQ(exported.Height(), kClientHeight);
}
