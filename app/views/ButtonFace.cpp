#include "ButtonFace.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

// The first and the last line along one axis that equals the next, away from the edges (where the
// rounding of corners lies); none when there is no such line.
std::optional<std::pair<int, int>> plainLines(const QImage& image, bool columns) {
    const int length = columns ? image.width() : image.height();
    const int across = columns ? image.height() : image.width();
    std::vector<int> plain;
    for (int at = length / 8; at < length - 1 - length / 8; ++at) {
        bool same = true;
        for (int k = 0; k < across && same; ++k)
            same = columns ? image.pixel(at, k) == image.pixel(at + 1, k)
                           : image.pixel(k, at) == image.pixel(k, at + 1);
        if (same)
            plain.push_back(at);
    }
    if (plain.empty())
        return std::nullopt;
    return std::pair(plain.front(), plain.back());
}

// The image longer by extra along one axis: half the extra at each plain line (all at one when the
// two are the same).
QImage grownAlong(const QImage& image, int extra, bool columns) {
    const auto lines = extra > 0 ? plainLines(image, columns) : std::nullopt;
    if (!lines)
        return image;
    const auto [first, last] = *lines;
    const int firstExtra = first == last ? extra : extra / 2;
    const auto cut = [columns](const QImage& from, int begin, int end) {
        return columns ? QRect(begin, 0, end - begin, from.height())
                       : QRect(0, begin, from.width(), end - begin);
    };
    QImage grown(columns ? image.width() + extra : image.width(),
                 columns ? image.height() : image.height() + extra, QImage::Format_ARGB32_Premultiplied);
    grown.fill(Qt::transparent);
    QPainter painter(&grown);
    int at = 0;
    const auto place = [&](const QRect& source, int span) {
        const QRect target = columns ? QRect(at, 0, span, image.height()) : QRect(0, at, image.width(), span);
        painter.drawImage(target, image, source);
        at += span;
    };
    const int length = columns ? image.width() : image.height();
    place(cut(image, 0, first + 1), first + 1);
    place(cut(image, first, first + 1), firstExtra);
    if (last > first)
        place(cut(image, first + 1, last + 1), last - first);
    if (extra - firstExtra > 0)
        place(cut(image, last, last + 1), extra - firstExtra);
    place(cut(image, last + 1, length), length - last - 1);
    return grown;
}

} // namespace

QPixmap grownFace(const QPixmap& face, QSize frame) {
    const qreal dpr = face.devicePixelRatio();
    const QSize pixels(static_cast<int>(std::lround(frame.width() * dpr)),
                       static_cast<int>(std::lround(frame.height() * dpr)));
    if (face.isNull() || (pixels.width() <= face.width() && pixels.height() <= face.height()))
        return face;
    QImage drawn = face.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // A face with no flat row (a glyph across its whole height) grows whole, as its title does.
    if (pixels.height() > drawn.height() && !plainLines(drawn, false))
        drawn = drawn.scaled(drawn.size().scaled(pixels, Qt::KeepAspectRatio), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    const QImage wider = grownAlong(drawn, pixels.width() - drawn.width(), true);
    QPixmap grown = QPixmap::fromImage(grownAlong(wider, pixels.height() - wider.height(), false));
    grown.setDevicePixelRatio(dpr);
    return grown;
}
