// The three views of the page preview: its background with the edge lines (TlvBasePreview), the whole
// page centred like a sheet of paper with a drop shadow (TlvPreview), and the enlarged page inside a
// scroll area that the user drags with the hand cursor (TlvZoomPreview). They only show what the
// preview's controller gives them.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <cstdint>

class TlvBasePreview : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TlvPreview : public QWidget {
    Q_OBJECT
public:
    // The sheet's size when none is given (points).
    static constexpr QSize kDefaultSheet{234, 329};
    // Points kept free around a sheet that had to be made smaller, for its shadow.
    static constexpr int kShadowRoom = 5;

    explicit TlvPreview(QWidget* parent = nullptr);
    // Keeps the image and redraws; nothing for the same image. A null image shows the empty background.
    void setImage(const QImage& image);
    const QImage& image() const { return mImage; }
    // The sheet's size; kDefaultSheet unless both sides are above 0. The sheet stays centred.
    void setImageFrame(QSize size);
    // Where the sheet is drawn, on whole points; made smaller when the view cannot hold it.
    QRect imageFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage mImage;
    QSize mSheet = kDefaultSheet;
};

class TlvZoomPreview : public QWidget {
    Q_OBJECT
public:
    // A move below this many points on both axes is taken as a trembling hand.
    static constexpr int kDragThreshold = 2;

    explicit TlvZoomPreview(QWidget* parent = nullptr);
    // Keeps the image without redrawing (the controller lays the view out next).
    void setImage(const QImage& image);
    const QImage& image() const { return mImage; }
    void setZoom(std::uint16_t zoom) { mZoom = zoom; }
    std::uint16_t zoom() const { return mZoom; }
    // The page's size at this zoom (points); a view larger than that shows it as a sheet, centred.
    void setOriginalSize(QSize size) { mOriginalSize = size; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage mImage;
    std::uint16_t mZoom = 0;
    QSize mOriginalSize;
    QPoint mLastPoint;
    QCursor mMouseDown; // the closed hand, while the page is held
    QCursor mMouseUp;   // the open hand
};
