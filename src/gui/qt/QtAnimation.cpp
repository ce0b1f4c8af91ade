#include "qt/QtAnimation.h"

#include "platform/GifAnimation.h"
#include "platform/RecordFile.h"
#include "qt/QtPicture.h"

#include <QFile>
#include <QImage>

#include <algorithm>

QByteArray EncodeAnimation(const AnimationFrames& frames, AnimationResult& result)
{
    result = AnimationResult{};
    if (frames.count <= 0 || !frames.draw) {
        result.error = "the animation has no frame";
        return {};
    }
    const int scale = std::clamp(frames.scale, 1, 8);
    std::unique_ptr<GifAnimation> gif;
    for (int k = 0; k < frames.count; ++k) {
        const DisplayList list = frames.draw(k);
        const QImage image = DisplayListImage(list, scale);
        if (!gif) gif = std::make_unique<GifAnimation>(image.width(), image.height(), frames.delay);
        if (image.width() != gif->Width() || image.height() != gif->Height() ||
            !gif->AddFrame(reinterpret_cast<const std::uint32_t*>(image.constBits()),
                           static_cast<std::size_t>(image.bytesPerLine() / 4))) {
            result.error = "the GIF encoder failed";
            return {};
        }
        if (frames.progress && !frames.progress(k + 1)) {
            result.stopped = true;
            return {};
        }
    }
    std::vector<std::uint8_t> bytes;
    if (!gif->Finish(bytes, result.error)) return {};
    result.ok = true;
    result.quantised = gif->QuantisedFrames();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

AnimationResult WriteAnimation(const AnimationFrames& frames, const QString& path)
{
    AnimationResult result;
    const QByteArray bytes = EncodeAnimation(frames, result);
    if (!result.ok) return result;
    std::string error;
    if (!WriteWholeFile(path.toStdString(), reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                        static_cast<std::size_t>(bytes.size()), error)) {
        result.ok = false;
        result.error = error;
    }
    return result;
}
