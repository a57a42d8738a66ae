// The preview frame of the settings dialog: the prescanned page in a paper-shaped frame, or a message
// while there is none, and the crop rectangle the user draws, moves and resizes with the mouse (eight
// handles, a moving dashed outline). Zoomed in, hand mode drags the page instead. It lives as the widget of
// a scroll area and knows nothing of capabilities or units: the controller gives it a base size and
// resolution and reads the crop rectangle back. Crop changes are posted as "PreviewFrameCropChanging"
// (during a drag) and "PreviewFrameCropChanged" (at its end and on every setCropRect), each with the
// rectangle in base units as an array [x, y, width, height].
#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QTimer>
#include <QWidget>

class QScrollArea;

class ComOrvikElectronicsK3100QSPreviewFrame final : public QWidget {
public:
    static constexpr int kIdleIntervalMs = 200;

    explicit ComOrvikElectronicsK3100QSPreviewFrame(QWidget* parent = nullptr);

    void setMouseTrackerEnabled(bool enabled);
    bool isMouseTrackerEnabled() const { return mEnableMouseTrack; }
    void setDragImageMode(bool on);
    bool dragImageMode() const { return mDragImageMode; }
    void setBaseSize(QSizeF size);
    QSizeF baseSize() const { return mBaseSize; }
    void setBaseResolution(float resolution) { mBaseResolution = resolution; }
    float baseResolution() const { return mBaseResolution; }
    void setPreviewResolution(float resolution) { mImageResolution = resolution; }
    void setMinCropSize(QSizeF size) { mMinCropSize = size; }
    void setPreviewImage(const QImage& image);
    const QImage& previewImage() const { return mImage; }
    bool hasPreviewImage() const { return !mImage.isNull(); }
    void setInformationMessage(const QString& message);
    void setZoomRatio(float zoom);
    float zoomRatio() const { return mZoomRatio; }
    void setCropRect(QRectF rect);
    QRectF cropRect() const { return mCropRect; }
    QRectF imageFrame() const { return mImageFrame; }
    QRectF cropBounds() const { return mCropBounds; }
    // The region under the pointer as the idle timer last found it, -1 for none.
    int mouseRegion() const { return mMouseRegion; }
    bool isIdleTimerActive() const { return mTimer.isActive(); }
    // One step of the idle timer: the cursor for the region under the pointer, the outline's next phase.
    void mouseIdle();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollArea* scrollArea() const;
    // The idle timer runs only while it has something to do on screen, so an idle dialog sleeps.
    void updateIdleTimer();
    void calcImageFrame();
    void drawImage(QPainter& painter) const;
    void drawMessage(QPainter& painter) const;
    void drawCrop(QPainter& painter) const;
    void dragCrop(QPointF point);
    void dragImage(QPointF globalPoint);
    void postCrop(const char* name, QRectF rect) const;

    float mZoomRatio = 1.0f;
    float mImageResolution = 0; // dots per inch of the image
    float mBaseResolution = 0;  // units per inch of the base size
    bool mEnableMouseTrack = false;
    bool mMouseTracking = false;
    bool mDragImageMode = false;
    QSizeF mBaseSize;
    QSizeF mMinCropSize;
    int mMouseRegion = -1;
    int mLinePhase = 0;
    QImage mImage;
    QString mInfoMessage;
    QRectF mImageFrame;
    QRectF mCropRect;   // base units
    QRectF mCropBounds; // view coordinates
    // The drag under way: its region, where it began and the last step's bounds and rectangle.
    int mDragRegion = -1;
    QPointF mDragStart;
    QRectF mDragStartBounds;
    QRectF mDragBounds;
    QRectF mDragRect;
    QTimer mTimer;
};
