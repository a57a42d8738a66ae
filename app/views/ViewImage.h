// A named image of the application's resources ("<name>.svg" or "<name>.png"), drawn sharp at the
// device pixel ratio of the screen it lands on: an SVG is rendered anew for each ratio, never scaled.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <map>
#include <memory>
#include <string_view>

class ViewImage {
public:
    // The resource of that name in the main bundle; null when there is none or it cannot be read.
    static std::shared_ptr<const ViewImage> named(std::string_view name);
    // The image in the file at path; null when it cannot be read.
    static std::shared_ptr<const ViewImage> fromFile(const QString& path);

    const QString& path() const { return mPath; }
    // Size in device-independent pixels (points).
    QSize size() const { return mSize; }
    // The whole image drawn at pointSize (its own size when empty) for that device pixel ratio; the
    // pixmap carries the ratio, so it paints pointSize points. Null when rendering fails.
    QPixmap pixmap(qreal dpr, QSize pointSize = {}) const;

private:
    ViewImage(QString path, QSize size) : mPath(std::move(path)), mSize(size) {}
    QImage render(QSize pixels) const;

    QString mPath;
    QSize mSize;
    // Renders by pixel size, so each ratio and stretch is made once.
    mutable std::map<std::pair<int, int>, QPixmap> mRendered;
};
