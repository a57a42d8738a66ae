// What the drawn views share: filling with the grey tones by tag, and rectangles given from the
// bottom-left corner (y up), as the views' drawings are measured, turned into Qt's top-down ones.
#pragma once

#include "TlvColorMnager.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QWidget>

// Fills r with the tone of tag under the palette of the widget painted on; every tag the views use
// is in the table.
inline void fillTone(QPainter& painter, const QRect& r, int tag) {
    const auto* widget = dynamic_cast<const QWidget*>(painter.device());
    painter.fillRect(r, *TlvColorMnager::colorForDrawByTag(tag, widget ? widget->palette() : QPalette()));
}

// The rectangle x..x+w, y..y+h measured upwards from the bottom of a view height points high.
inline QRect bottomUp(int height, int x, int y, int w, int h) {
    return {x, height - y - h, w, h};
}

// A picture drawn for a light ground, as it reads under palette: in a dark one it is multiplied down
// to about the window's tone, keeping its tints and its transparent parts.
inline QPixmap forPalette(const QPixmap& picture, const QPalette& palette) {
    if (!TlvColorMnager::isDark(palette) || picture.isNull())
        return picture;
    const QImage drawn = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage dimmed = drawn;
    QPainter painter(&dimmed);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.fillRect(dimmed.rect(), palette.color(QPalette::Window).lighter(200));
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, drawn);
    painter.end();
    QPixmap out = QPixmap::fromImage(dimmed);
    out.setDevicePixelRatio(picture.devicePixelRatio());
    return out;
}

// A line picture drawn in grey straight on the window's ground, as it reads under palette: in a dark
// one its lines take the palette's text colour of group (its coverage kept), as a theme's icons do.
inline QPixmap inkedForPalette(const QPixmap& picture, const QPalette& palette, QPalette::ColorGroup group) {
    if (!TlvColorMnager::isDark(palette) || picture.isNull())
        return picture;
    QImage inked = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&inked);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(inked.rect(), palette.color(group, QPalette::WindowText));
    painter.end();
    QPixmap out = QPixmap::fromImage(inked);
    out.setDevicePixelRatio(picture.devicePixelRatio());
    return out;
}
