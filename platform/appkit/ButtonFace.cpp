#include "ButtonFace.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

// The first and the last column that equals the next, away from the edges (where the rounding of
// corners lies); none when there is no such column.
std::optional<std::pair<int, int>> plainColumns(const QImage& image) {
    std::vector<int> plain;
    for (int x = image.width() / 8; x < image.width() - 1 - image.width() / 8; ++x) {
        bool same = true;
        for (int y = 0; y < image.height() && same; ++y)
            same = image.pixel(x, y) == image.pixel(x + 1, y);
        if (same)
            plain.push_back(x);
    }
    if (plain.empty())
        return std::nullopt;
    return std::pair(plain.front(), plain.back());
}

} // namespace

namespace appkit {

QSize grownWhole(QSize drawn, int height) {
    if (height <= drawn.height() || drawn.height() <= 0)
        return drawn;
    return {drawn.width() * height / drawn.height(), height};
}

QPixmap widenedFace(const QPixmap& face, int width) {
    const qreal dpr = face.devicePixelRatio();
    const int extra = static_cast<int>(std::lround(width * dpr)) - face.width();
    const QImage drawn = face.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto columns = extra > 0 ? plainColumns(drawn) : std::nullopt;
    if (!columns)
        return face;
    // Half the extra at each plain column (all at one when the two are the same).
    const auto [first, last] = *columns;
    const int firstExtra = first == last ? extra : extra / 2;
    QImage wider(drawn.width() + extra, drawn.height(), QImage::Format_ARGB32_Premultiplied);
    wider.fill(Qt::transparent);
    QPainter painter(&wider);
    int at = 0;
    const auto place = [&](int begin, int end, int span) {
        painter.drawImage(QRect(at, 0, span, drawn.height()), drawn,
                          QRect(begin, 0, end - begin, drawn.height()));
        at += span;
    };
    place(0, first + 1, first + 1);
    place(first, first + 1, firstExtra);
    if (last > first)
        place(first + 1, last + 1, last - first);
    if (extra - firstExtra > 0)
        place(last, last + 1, extra - firstExtra);
    place(last + 1, drawn.width(), drawn.width() - last - 1);
    painter.end();
    QPixmap out = QPixmap::fromImage(wider);
    out.setDevicePixelRatio(dpr);
    return out;
}

QSize titleRoom(QSizeF words, QPointF off, int margin) {
    return QSizeF(words.width() + 2 * (std::abs(off.x()) + margin),
                  words.height() + 2 * (std::abs(off.y()) + margin / 2))
               .toSize() +
           QSize(1, 1);
}

QSize faceForTitle(QSize drawn, QSize room) {
    return grownWhole(drawn, room.height()).expandedTo(room);
}

} // namespace appkit
