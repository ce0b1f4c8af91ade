// A GIF read back with giflib as a viewer shows it: every frame composed over
// the ones before it, with its delay, disposal and rectangle, and the loop
// extension.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct GifFrames {
    bool ok = false;
    int width = 0, height = 0;
    bool loopExtension = false;                     // "NETSCAPE2.0" with a repeat count
    int loopCount = -1;                             // 0: for ever
    std::vector<std::vector<std::uint32_t>> frames; // composed, 0xRRGGBB, width x height
    std::vector<int> delays, disposals;
    std::vector<int> left, top, rectWidth, rectHeight;
};

namespace gif_frames_detail {
struct Source {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
};
inline int Read(GifFileType* gif, GifByteType* to, int n)
{
    auto* s = static_cast<Source*>(gif->UserData);
    const std::size_t left = s->bytes->size() - s->at;
    const std::size_t k = std::min(left, static_cast<std::size_t>(n));
    std::memcpy(to, s->bytes->data() + s->at, k);
    s->at += k;
    return static_cast<int>(k);
}
} // namespace gif_frames_detail

inline GifFrames ReadGif(const std::vector<std::uint8_t>& bytes)
{
    GifFrames out;
    gif_frames_detail::Source source{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, gif_frames_detail::Read, &error);
    if (!gif) return out;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return out;
    }
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    std::vector<std::uint32_t> canvas(static_cast<std::size_t>(out.width) * out.height, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& im = gif->SavedImages[i];
        for (int e = 0; e + 1 < im.ExtensionBlockCount; ++e) {
            const ExtensionBlock& b = im.ExtensionBlocks[e];
            const ExtensionBlock& next = im.ExtensionBlocks[e + 1];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 && next.Bytes[0] == 1) {
                out.loopExtension = true;
                out.loopCount = next.Bytes[1] | next.Bytes[2] << 8;
            }
        }
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        out.delays.push_back(gcb.DelayTime);
        out.disposals.push_back(gcb.DisposalMode);
        const GifImageDesc& d = im.ImageDesc;
        out.left.push_back(d.Left);
        out.top.push_back(d.Top);
        out.rectWidth.push_back(d.Width);
        out.rectHeight.push_back(d.Height);
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map || d.Interlace) {
            DGifCloseFile(gif, &error);
            return out;
        }
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int k = im.RasterBits[y * d.Width + x];
                if (k == gcb.TransparentColor || k >= map->ColorCount) continue;
                const GifColorType c = map->Colors[k];
                const int cx = d.Left + x, cy = d.Top + y;
                if (cx < out.width && cy < out.height)
                    canvas[static_cast<std::size_t>(cy) * out.width + cx] =
                        static_cast<std::uint32_t>(c.Red) << 16 | static_cast<std::uint32_t>(c.Green) << 8 | c.Blue;
            }
        out.frames.push_back(canvas);
    }
    DGifCloseFile(gif, &error);
    out.ok = true;
    return out;
}

inline GifFrames ReadGifFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ReadGif(bytes);
}
