// An animated image as a strip of equal frames side by side in one SVG (sharp at any scale). Its root
// element states the frame count and the time each frame shows, in seconds:
//   <svg xmlns:anim="urn:orvik:k3100:animation" anim:frames="12" anim:frame-duration="0.09" ...>
// A strip that leaves them out has a duration of 0 and, without a count, one frame of its full width.
#pragma once

#include "ViewImage.h"

#include <QPixmap>
#include <QSize>

#include <cstdint>
#include <memory>
#include <string_view>

class AnimationStrip {
public:
    // The strip resource of that name in the main bundle; null when there is none.
    static std::shared_ptr<const AnimationStrip> named(std::string_view name);
    static std::shared_ptr<const AnimationStrip> fromFile(const QString& path);

    std::int32_t frameCount() const { return mFrameCount; }
    float duration() const { return mDuration; } // seconds per frame
    // One frame's size in points.
    QSize frameSize() const;
    // Frame index (0 .. frameCount - 1) drawn at size points for that device pixel ratio.
    QPixmap frame(std::int32_t index, QSize size, qreal dpr) const;

private:
    AnimationStrip(std::shared_ptr<const ViewImage> image, std::int32_t frames, float duration)
        : mImage(std::move(image)), mFrameCount(frames), mDuration(duration) {}

    std::shared_ptr<const ViewImage> mImage;
    std::int32_t mFrameCount;
    float mDuration;
};
