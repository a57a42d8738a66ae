#include "AnimationStrip.h"

#include "Bundle.h"

#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

constexpr auto kNamespace = "urn:orvik:k3100:animation";
constexpr std::int32_t kMostFrames = 1000; // a count beyond this is a damaged file, not an animation

} // namespace

std::shared_ptr<const AnimationStrip> AnimationStrip::named(std::string_view name) {
    const auto path = fnd::Bundle::main().pathForResource(name, "svg");
    return path ? fromFile(QString::fromStdString(path->string())) : nullptr;
}

std::shared_ptr<const AnimationStrip> AnimationStrip::fromFile(const QString& path) {
    auto image = ViewImage::fromFile(path);
    QFile file(path);
    if (!image || !file.open(QIODevice::ReadOnly))
        return nullptr;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd() && !xml.isStartElement())
        xml.readNext();
    const QXmlStreamAttributes attributes = xml.attributes();
    bool countOk = false, durationOk = false;
    const int frames = attributes.value(kNamespace, "frames").toInt(&countOk);
    const float duration = attributes.value(kNamespace, "frame-duration").toFloat(&durationOk);
    const std::int32_t count =
        countOk ? std::clamp(frames, 0, std::min(kMostFrames, image->size().width())) : 0;
    return std::shared_ptr<const AnimationStrip>(
        new AnimationStrip(std::move(image), count, durationOk && duration > 0 ? duration : 0.0f));
}

QSize AnimationStrip::frameSize() const {
    const QSize whole = mImage->size();
    return {whole.width() / std::max(mFrameCount, 1), whole.height()};
}

QPixmap AnimationStrip::frame(std::int32_t index, QSize size, qreal dpr) const {
    const std::int32_t frames = std::max(mFrameCount, 1);
    if (index < 0 || index >= frames || size.isEmpty())
        return {};
    // Rendering the whole strip at frames times the wanted width keeps every frame sharp.
    const QPixmap strip = mImage->pixmap(dpr, QSize(size.width() * frames, size.height()));
    const int frameWidth = strip.width() / frames; // device pixels
    QPixmap out = strip.copy(index * frameWidth, 0, frameWidth, strip.height());
    out.setDevicePixelRatio(dpr);
    return out;
}
