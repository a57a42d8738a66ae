// The preview frame in a scroll area, driven with the mouse offscreen: resizing and moving the crop
// rectangle, what it posts while and after dragging, hand mode on a zoomed page, and its pictures.
#include "QSPreviewFrame.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "QtTestApp.h"

#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

using PreviewFrame = ComOrvikElectronicsK3100QSPreviewFrame;

class QSPreviewFrameTest : public testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        mArea.resize(340, 440);
        mArea.setWidgetResizable(false);
        mArea.setWidget(mFrame);
        mFrame->setBaseResolution(1200);
        mFrame->setBaseSize(QSizeF(10200, 13200));
        mFrame->setMinCropSize(QSizeF(384, 384));
        mFrame->setMouseTrackerEnabled(true);
        mArea.show();
        mFrame->setZoomRatio(1);
        mFrame->setCropRect(QRectF(1200, 1200, 6000, 6000));
        for (const char* name : {kCropChangingNotification, kCropChangedNotification})
            fnd::NotificationCenter::defaultCenter().addObserver(
                this, name, [this](const fnd::Notification& n) {
                    const fnd::Array& r = *n.object.asArray();
                    mPosted.emplace_back(n.name, QRectF(*r[0].asDouble(), *r[1].asDouble(), *r[2].asDouble(),
                                                        *r[3].asDouble()));
                });
    }
    void TearDown() override { fnd::NotificationCenter::defaultCenter().removeObserver(this); }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(mFrame, Qt::LeftButton, {}, from);
        QTest::mouseMove(mFrame, (from + to) / 2);
        QTest::mouseMove(mFrame, to);
        QTest::mouseRelease(mFrame, Qt::LeftButton, {}, to);
    }
    static QImage Page() {
        QImage page(1275, 1650, QImage::Format_Grayscale8); // letter at 150 dpi
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.setFont(QFont(painter.font().family(), 24));
        for (int line = 0; line < 30; ++line)
            painter.drawText(120, 200 + line * 45,
                             QStringLiteral("The quick brown fox jumps over the lazy dog"));
        painter.fillRect(100, 100, 1075, 20, Qt::black);
        return page;
    }

    QScrollArea mArea;
    PreviewFrame* mFrame = new PreviewFrame; // owned by the scroll area
    std::vector<std::pair<std::string, QRectF>> mPosted;
};

TEST_F(QSPreviewFrameTest, DraggingTheCornerResizesAndTheInsideMovesWithinThePage) {
    const QRectF before = mFrame->cropRect();
    const QPoint corner = mFrame->cropBounds().bottomRight().toPoint();
    Drag(corner, corner + QPoint(30, 20));
    ASSERT_GE(mPosted.size(), 2u);
    EXPECT_EQ(mPosted.front().first, kCropChangingNotification);
    EXPECT_EQ(mPosted.back().first, kCropChangedNotification);
    const QRectF resized = mFrame->cropRect();
    EXPECT_EQ(resized.topLeft(), before.topLeft());
    EXPECT_NEAR(resized.width(), before.width() + 30 * 10200 / mFrame->imageFrame().width(), 60);
    EXPECT_GT(resized.height(), before.height());
    EXPECT_EQ(mPosted.back().second, resized);

    // Dragged far beyond the page, the inside stops at its edge with its size kept.
    mPosted.clear();
    const QPoint inside = mFrame->cropBounds().center().toPoint();
    Drag(inside, inside + QPoint(500, 500));
    EXPECT_EQ(mFrame->cropRect().size(), resized.size());
    EXPECT_NEAR(mFrame->cropRect().right(), 10200, 40);
    EXPECT_NEAR(mFrame->cropRect().bottom(), 13200, 40);
}

TEST_F(QSPreviewFrameTest, TheLeftEdgePulledPastTheRightStopsAtTheMinimumWidth) {
    const QRectF before = mFrame->cropRect();
    const QPoint left(static_cast<int>(mFrame->cropBounds().left()),
                      static_cast<int>(mFrame->cropBounds().center().y()));
    Drag(left, left + QPoint(300, 0));
    EXPECT_NEAR(mFrame->cropRect().width(), 384, 40);
    EXPECT_NEAR(mFrame->cropRect().right(), before.right(), 40);
}

TEST_F(QSPreviewFrameTest, WithoutCropEditingAPressChangesNothingAndTheFrameSleeps) {
    EXPECT_TRUE(mFrame->isIdleTimerActive());
    mFrame->setMouseTrackerEnabled(false);
    EXPECT_FALSE(mFrame->isIdleTimerActive());
    mPosted.clear();
    const QPoint corner = mFrame->cropBounds().bottomRight().toPoint();
    Drag(corner, corner + QPoint(30, 20));
    EXPECT_TRUE(mPosted.empty());
}

TEST_F(QSPreviewFrameTest, HandModeDragsAZoomedPageAndEditsTheCropAtZoomOne) {
    mFrame->setPreviewResolution(150);
    mFrame->setPreviewImage(Page());
    mFrame->setDragImageMode(true);
    // At zoom 1 the hand does nothing: the crop is edited as usual.
    const QPoint corner = mFrame->cropBounds().bottomRight().toPoint();
    Drag(corner, corner + QPoint(10, 10));
    EXPECT_FALSE(mPosted.empty());
    mFrame->setMouseTrackerEnabled(false);
    mFrame->setZoomRatio(4);
    EXPECT_TRUE(mFrame->isIdleTimerActive()); // for the hand cursor
    mArea.hide();
    EXPECT_FALSE(mFrame->isIdleTimerActive());
    mArea.show();
    EXPECT_GT(mFrame->width(), mArea.viewport()->width());
    mPosted.clear();
    const int before = mArea.verticalScrollBar()->value();
    Drag(QPoint(100, 300), QPoint(100, 250));
    EXPECT_GT(mArea.verticalScrollBar()->value(), before);
    EXPECT_TRUE(mPosted.empty());
}

TEST_F(QSPreviewFrameTest, Screenshots) {
    mFrame->setInformationMessage(
        QStringLiteral("Press Preview to see the page in the feeder here, then drag "
                       "a frame round the part you want to scan."));
    QTest::qWait(20);
    saveScreenshots(&mArea, "ds-preview-frame-empty");
    mFrame->setPreviewResolution(150);
    mFrame->setPreviewImage(Page());
    saveScreenshots(&mArea, "ds-preview-frame-page");
    mFrame->setZoomRatio(2);
    saveScreenshots(&mArea, "ds-preview-frame-zoomed");
}

} // namespace
