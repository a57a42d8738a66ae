// The drawn views pixel by pixel (QWidget::grab at 100%): the rounded corners of the function panel,
// the job summary box growing from its top edge, the strips' tiles, the step parts by mode and flag,
// and repaints that happen only on a change.
#include "DrawTones.h"
#include "TlvFuncBaseView.h"
#include "TlvJobInfoView.h"
#include "TlvPlainViews.h"
#include "TlvStepPartsView.h"
#include "TlvStripViews.h"
#include "ViewsTestSupport.h"

#include <QTest>

namespace {

QRgb tone(int tag) {
    return TlvColorMnager::colorForDrawByTag(tag)->rgb();
}

// Pixel (x, y) counted from the bottom-left corner, as the views' drawings are measured.
QRgb upPixel(const QImage& image, int x, int y) {
    return image.pixel(x, image.height() - 1 - y);
}

struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class DrawnViewsTest : public testing::Test, public WithTestApplication {
protected:
    QImage grab(QWidget* view) { return view->grab().toImage(); }
    QWidget window;
};

TEST_F(DrawnViewsTest, FunctionPanelRoundsItsCornersPointByPoint) {
    TlvFuncBaseView view(&window);
    view.resize(10, 10);
    const QImage image = grab(&view);
    EXPECT_EQ(upPixel(image, 0, 0), view.palette().color(QPalette::Window).rgb()) << "clipped";
    EXPECT_EQ(upPixel(image, 1, 0), tone(23));
    EXPECT_EQ(upPixel(image, 2, 0), tone(20));
    EXPECT_EQ(upPixel(image, 1, 1), tone(20));
    EXPECT_EQ(upPixel(image, 2, 1), tone(24));
    EXPECT_EQ(upPixel(image, 1, 2), tone(24));
    EXPECT_EQ(upPixel(image, 5, 5), tone(25));
    EXPECT_EQ(upPixel(image, 5, 8), tone(24)) << "the inner top line";
    EXPECT_EQ(upPixel(image, 8, 5), tone(25)) << "no inner line on the right";
}

TEST_F(DrawnViewsTest, JobSummaryBoxGrowsAndShrinksFromItsTopEdge) {
    window.resize(400, 400);
    auto* box = new TlvJobInfoView(&window);
    box->setGeometry(0, 100, 300, 150);
    box->setBaseFrame(QRect(0, 100, 300, 150));
    box->setIsExpansion(true);
    EXPECT_EQ(box->geometry(), QRect(0, 100, 300, 240));
    box->setIsExpansion(false);
    EXPECT_EQ(box->geometry(), QRect(0, 100, 300, 150));

    box->setIsExpansion(true);
    box->setDrawLineLftBtmPt(QPoint(37, 120));
    const QImage image = grab(box);
    const QRgb inside = image.pixel(150, 50);
    EXPECT_EQ(image.pixel(10, 109), tone(20)) << "10 points above the point, 10 in from the left";
    EXPECT_EQ(image.pixel(289, 109), tone(20));
    EXPECT_EQ(image.pixel(290, 109), inside) << "and 10 in from the right";
    EXPECT_EQ(image.pixel(10, 110), inside);
    EXPECT_EQ(image.pixel(0, 0), tone(17));
    EXPECT_EQ(image.pixel(1, 0), tone(19));
    EXPECT_EQ(image.pixel(1, 1), tone(18));
    EXPECT_EQ(image.pixel(299, 239), tone(17));
    EXPECT_EQ(image.pixel(150, 239), tone(20));

    box->setIsExpansion(false);
    EXPECT_NE(grab(box).pixel(10, 109), tone(20)) << "collapsed: no separator";
}

TEST_F(DrawnViewsTest, StripsTileFromTheLeftInTheirModesLook) {
    EXPECT_EQ(TlvModeStripView::tileCount(500, 64), 8);
    EXPECT_EQ(TlvModeStripView::tileCount(512, 64), 9);
    EXPECT_EQ(TlvModeStripView::tileCount(500, 0), 501) << "a width of nothing counts as 1";

    TlvStepInfoView strip(&window);
    strip.resize(500, 32);
    const QImage foa = grab(&strip);
    EXPECT_EQ(foa.pixel(499, 10), foa.pixel(499 - 64, 10)) << "the last copy reaches the edge";
    strip.setScnModeForView(1);
    const QImage job = grab(&strip);
    EXPECT_NE(job.pixel(250, 10), foa.pixel(250, 10)) << "the job mode's own tile";
    strip.setScnModeForView(2);
    EXPECT_EQ(grab(&strip).pixel(250, 10), strip.palette().color(QPalette::Window).rgb())
        << "no look of its own";
}

TEST_F(DrawnViewsTest, StepPartsShowTheirStepOrNothing) {
    TlvStepPartsView part(&window);
    part.resize(part.sizeHint());
    const QRgb background = part.palette().color(QPalette::Window).rgb();
    const QPoint middle(part.width() / 2, part.height() / 2);
    const QRgb inactive = grab(&part).pixel(middle);
    part.setIsDrawImg(true);
    const QRgb active = grab(&part).pixel(middle);
    EXPECT_NE(inactive, active);
    EXPECT_NE(inactive, background);

    part.setIsFinishView(true);
    EXPECT_NE(grab(&part).pixel(middle), background) << "the current finish step";
    part.setIsDrawImg(false);
    const QImage blank = grab(&part);
    for (const QPoint p : {middle, QPoint(5, 5), QPoint(part.width() - 5, part.height() - 5)})
        EXPECT_EQ(blank.pixel(p), background) << "a finish step still to come is blank";
}

TEST_F(DrawnViewsTest, ModeAndFlagChangesRepaintOnlyWhenTheyChange) {
    window.resize(400, 100);
    auto* strip = new TlvExpView(&window);
    auto* part = new TlvStepPartsView(&window);
    strip->setGeometry(0, 0, 200, 48);
    part->setGeometry(0, 50, 160, 32);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintCount stripPaints, partPaints;
    strip->installEventFilter(&stripPaints);
    part->installEventFilter(&partPaints);

    strip->setScnModeForView(0);
    part->setScnModeForView(0);
    part->setIsDrawImg(false);
    QTest::qWait(50);
    EXPECT_EQ(stripPaints.paints, 0);
    EXPECT_EQ(partPaints.paints, 0);

    strip->setScnModeForView(1);
    part->setIsDrawImg(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return stripPaints.paints > 0 && partPaints.paints > 0; }, 2000));
}

TEST_F(DrawnViewsTest, PlainViewsFillAndFrameInTheirTones) {
    TlvFrameView frame(&window);
    frame.resize(20, 20);
    const QImage framed = grab(&frame);
    EXPECT_EQ(framed.pixel(0, 10), tone(2));
    EXPECT_EQ(framed.pixel(19, 19), tone(2));
    EXPECT_EQ(framed.pixel(10, 10), frame.palette().color(QPalette::Window).rgb());

    TlvPrefHelpView help(&window);
    help.resize(40, 20);
    const QImage strip = grab(&help);
    EXPECT_EQ(strip.pixel(5, 0), tone(3));
    EXPECT_EQ(strip.pixel(5, 1), tone(4));
    EXPECT_EQ(strip.pixel(5, 2), tone(5));
    EXPECT_EQ(strip.pixel(5, 10), tone(0));
}

} // namespace
