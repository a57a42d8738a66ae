// The preview of scanned pages in a host window, offscreen: paging and the number field, the zoom steps
// with the view made from the raw file, dragging, quarter turns stored in the page's record, pages
// dropped and a batch reset, and the guards of the zoomed view. Pictures in portrait, landscape, zoomed
// and turned.
#include <gtest/gtest.h>

#include "PreviewTestSupport.h"
#include "QtTestApp.h"
#include "TlvPreviewImages.h"

#include <QScrollBar>
#include <QTest>

#include <chrono>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class Preview : public testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tlv-preview-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        setenv("TMPDIR", dir.c_str(), 1);
        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        cntlr = std::make_unique<tlv::TlvPreviewCntlr>(host);
        cntlr->attach(window.area, &window);
        window.show();
    }
    void TearDown() override {
        cntlr.reset();
        TlvUtilsMethod::removeTmpFolder();
        unsetenv("TMPDIR");
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    // Pages of 200 x 280 pixels at 100 dpi (portrait) or 280 x 200 (landscape), as a scan brings them.
    void AddPages(int count, bool landscape = false) {
        for (int i = 0; i < count; ++i) {
            host.addPage(landscape ? test::markedPage(280, 200) : test::markedPage(200, 280), 100);
            cntlr->followPageCount(static_cast<int>(host.pages.size()));
        }
    }
    QWidget* Control(int tag) { return appkit::viewWithTag(&window, tag); }
    // Clicks the control and lets the views settle (the scroll area shows its bars from a queued call).
    void Click(int tag) {
        QTest::mouseClick(appkit::viewWithTag<QToolButton>(&window, tag), Qt::LeftButton);
        QApplication::processEvents();
    }
    QLineEdit* Number() { return appkit::viewWithTag<QLineEdit>(&window, tlv::kTagPreNumber); }
    QString Count() { return appkit::viewWithTag<QLabel>(&window, tlv::kTagPreCount)->text(); }
    // Types into the page-number field and waits until the field's delay has applied it: the field then
    // shows the current page again, the typed one or the one before a refused number.
    void Type(const QString& text) {
        Number()->selectAll();
        QTest::keyClicks(Number(), text);
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return Number()->text() == QString::number(cntlr->cache().selectedPageIndex()); },
            60000))
            << text.toStdString();
    }
    // The colour the preview shows at a fraction of its sheet.
    QColor ShownAt(double fx, double fy) {
        const QRect sheet = cntlr->preview()->imageFrame().adjusted(1, 1, -1, -1);
        const QImage shot = cntlr->preview()->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        return shot.pixelColor(int((sheet.x() + sheet.width() * fx) * dpr),
                               int((sheet.y() + sheet.height() * fy) * dpr));
    }

    fs::path dir;
    test::PreviewHost host;
    test::PreviewWindow window;
    std::unique_ptr<tlv::TlvPreviewCntlr> cntlr;
};

// The sheet is the thumbnail's size, widened to whole points where it is centred on a half.
void ExpectSheetOf(const QRect& sheet, int width, int height) {
    const tlv::TlvThumbSize thumb = tlv::sizeForPreImg(width, height);
    EXPECT_GE(sheet.width(), thumb.width);
    EXPECT_LE(sheet.width(), thumb.width + 1);
    EXPECT_GE(sheet.height(), thumb.height);
    EXPECT_LE(sheet.height(), thumb.height + 1);
}

bool IsRed(const QColor& c) {
    return c.red() > 150 && c.green() < 80 && c.blue() < 80;
}

} // namespace

TEST_F(Preview, PagesAppearOneByOneAndThePagingControlsFollow) {
    EXPECT_FALSE(Control(tlv::kTagPreZoomIn)->isEnabled());
    EXPECT_FALSE(Control(tlv::kTagPreHidden)->isVisible());
    AddPages(5);
    EXPECT_EQ(cntlr->cache().selectedPageIndex(), 5);
    EXPECT_EQ(Number()->text(), "5");
    EXPECT_EQ(Count(), "5");
    EXPECT_TRUE(Control(tlv::kTagPreFirst)->isEnabled());
    EXPECT_FALSE(Control(tlv::kTagPreNext)->isEnabled());

    Click(tlv::kTagPreFirst);
    EXPECT_EQ(Number()->text(), "1");
    EXPECT_FALSE(Control(tlv::kTagPrePrev)->isEnabled());
    EXPECT_TRUE(Control(tlv::kTagPreLast)->isEnabled());
    Click(tlv::kTagPreNext);
    Click(tlv::kTagPreNext);
    EXPECT_EQ(cntlr->cache().selectedPageIndex(), 3);
    Click(tlv::kTagPrePrev);
    EXPECT_EQ(cntlr->cache().selectedPageIndex(), 2);
    Click(tlv::kTagPreLast);
    EXPECT_EQ(cntlr->cache().selectedPageIndex(), 5);
    ExpectSheetOf(cntlr->preview()->imageFrame(), 200, 280);
    saveScreenshots(&window, "preview-portrait");
}

TEST_F(Preview, ALongBatchKeepsTheLastPicturesAndShowsAnEarlierPageFromThePageList) {
    AddPages(1, true);
    AddPages(2 * tlv::TlvPreviewCache::kKeptImages);
    std::size_t kept = 0;
    for (int i = 0; i < cntlr->cache().maxCount(); ++i)
        kept += cntlr->cache().preInfoAtIndex(static_cast<std::size_t>(i))->image.isNull() ? 0 : 1;
    EXPECT_EQ(kept, tlv::TlvPreviewCache::kKeptImages);

    // The first page, landscape, is shown from its thumbnail again, as it was when it came.
    Click(tlv::kTagPreFirst);
    EXPECT_EQ(cntlr->preview()->image(), tlv::imageOfThumbnail(*host.thumbnailAtIndex(0)));
    Click(tlv::kTagPreLast);
    EXPECT_EQ(cntlr->preview()->image(),
              tlv::imageOfThumbnail(*host.thumbnailAtIndex(host.pages.size() - 1)));
}

TEST_F(Preview, ThePageNumberFieldTakesOnlyAPageThatExists) {
    AddPages(5);
    Type("2");
    EXPECT_EQ(cntlr->cache().selectedPageIndex(), 2);
    for (const char* refused : {"0", "9", "abc"}) {
        Type(refused);
        EXPECT_EQ(cntlr->cache().selectedPageIndex(), 2) << refused;
        EXPECT_EQ(Number()->text(), "2") << refused;
    }
    Number()->clear();
    QTest::keyClicks(Number(), "12345");
    EXPECT_EQ(Number()->text(), "123"); // three digits at most
}

TEST_F(Preview, ZoomStepsGoFromZeroToFourAndBackWithTheViewFromTheRawFile) {
    AddPages(2);
    EXPECT_FALSE(Control(tlv::kTagPreZoomOut)->isEnabled());
    for (int step = 1; step <= 4; ++step) {
        Click(tlv::kTagPreZoomIn);
        EXPECT_EQ(cntlr->cache().scale(), step);
        EXPECT_TRUE(cntlr->zoomScroll()->isVisible());
        if (step == 1)
            saveScreenshots(&window, "preview-zoomed");
        // The page's thumbnail size, twice as large at each step.
        const int thumb = tlv::sizeForPreImg(200, 280).width;
        EXPECT_EQ(cntlr->zoomPreview()->width(),
                  std::max(thumb * 2 * step, cntlr->zoomScroll()->viewport()->width()));
    }
    // 200 x 280 pixels at 100 dpi make 400 x 560 at 200 dpi.
    EXPECT_EQ(cntlr->zoomPreview()->image().size(), QSize(400, 560));
    EXPECT_FALSE(Control(tlv::kTagPreZoomIn)->isEnabled());
    EXPECT_TRUE(cntlr->zoomScroll()->verticalScrollBar()->isVisible());
    for (int step = 3; step >= 0; --step) {
        Click(tlv::kTagPreZoomOut);
        EXPECT_EQ(cntlr->cache().scale(), step);
    }
    EXPECT_FALSE(cntlr->zoomScroll()->isVisible());
    EXPECT_EQ(cntlr->zoomScroll()->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(Control(tlv::kTagPreZoomOut)->isEnabled());

    // A change of page drops the zoom and its picture.
    Click(tlv::kTagPreZoomIn);
    Click(tlv::kTagPreFirst);
    EXPECT_EQ(cntlr->cache().scale(), 0);
    EXPECT_TRUE(cntlr->zoomPreview()->image().isNull());
}

TEST_F(Preview, TheZoomedPageFollowsTheHandFromTwoPointsOn) {
    AddPages(1);
    for (int step = 0; step < 4; ++step)
        Click(tlv::kTagPreZoomIn);
    QScrollBar* bar = cntlr->zoomScroll()->verticalScrollBar();
    QScrollBar* across = cntlr->zoomScroll()->horizontalScrollBar();
    bar->setValue(200);
    across->setValue(200);
    QWidget* page = cntlr->zoomPreview();
    const QPoint start = page->mapFromGlobal(cntlr->zoomScroll()->viewport()->mapToGlobal(QPoint(100, 100)));
    // Our own hands, held at their middle: open, closed while the page is held.
    const auto picture = [page] { return page->cursor().pixmap().toImage(); };
    ASSERT_EQ(page->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(page->cursor().hotSpot(), QPoint(8, 8));
    const QImage open = picture();
    QTest::mousePress(page, Qt::LeftButton, {}, start);
    ASSERT_EQ(page->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(page->cursor().hotSpot(), QPoint(8, 8));
    EXPECT_NE(picture(), open);
    QMouseEvent small(QEvent::MouseMove, QPointF(start + QPoint(1, 1)),
                      page->mapToGlobal(QPointF(start + QPoint(1, 1))), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(page, &small);
    EXPECT_EQ(bar->value(), 200);
    EXPECT_EQ(across->value(), 200);
    const QPoint moved = start + QPoint(1, 1) + QPoint(-30, 40);
    QMouseEvent drag(QEvent::MouseMove, QPointF(moved), page->mapToGlobal(QPointF(moved)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(page, &drag);
    EXPECT_EQ(bar->value(), 160);
    EXPECT_EQ(across->value(), 230);
    QTest::mouseRelease(page, Qt::LeftButton, {}, moved);
    EXPECT_EQ(picture(), open);
}

TEST_F(Preview, AQuarterTurnIsStoredInTheRecordAndShownClockwise) {
    AddPages(2);
    EXPECT_TRUE(IsRed(ShownAt(0.05, 0.05)));
    Click(tlv::kTagPreTurnRight);
    EXPECT_EQ(*host.pages[1].record.get(ImgInfo_RotateKey).asInt32(), 1);
    EXPECT_EQ(cntlr->cache().current()->rotate, 1);
    // A clockwise turn carries the top-left corner to the top-right.
    EXPECT_TRUE(IsRed(ShownAt(0.95, 0.05)));
    ExpectSheetOf(cntlr->preview()->imageFrame(), 280, 200);
    saveScreenshots(&window, "preview-turned");
    Click(tlv::kTagPreTurnLeft);
    Click(tlv::kTagPreTurnLeft);
    EXPECT_EQ(*host.pages[1].record.get(ImgInfo_RotateKey).asInt32(), 3);
    EXPECT_TRUE(IsRed(ShownAt(0.05, 0.95)));
    Click(tlv::kTagPreTurnRight);
    EXPECT_EQ(*host.pages[1].record.get(ImgInfo_RotateKey).asInt32(), 0);
    EXPECT_EQ(*host.pages[0].record.get(ImgInfo_RotateKey).asInt32(), 0);

    // Zoomed, the view from the raw file is turned the same way.
    Click(tlv::kTagPreTurnRight);
    Click(tlv::kTagPreZoomIn);
    const QImage zoomed = cntlr->zoomPreview()->image();
    ASSERT_EQ(zoomed.size(), QSize(560, 400));
    EXPECT_TRUE(IsRed(zoomed.pixelColor(zoomed.width() - 5, 5)));

    // Once the output has been made, pages are no longer turned.
    host.state = tlv::AppStateFixDone;
    Click(tlv::kTagPreFirst);
    EXPECT_FALSE(Control(tlv::kTagPreTurnRight)->isEnabled());
}

TEST_F(Preview, LandscapePagesLieOnTheirSide) {
    AddPages(1, true);
    ExpectSheetOf(cntlr->preview()->imageFrame(), 280, 200);
    saveScreenshots(&window, "preview-landscape");
}

TEST_F(Preview, DroppedPagesAndAResetLeaveNoPageBehind) {
    AddPages(5);
    Click(tlv::kTagPreZoomIn);
    host.pages.resize(3);
    cntlr->followPageCount(3);
    EXPECT_EQ(cntlr->cache().maxCount(), 3);
    EXPECT_EQ(cntlr->cache().selectedPageIndex(), 3);
    EXPECT_EQ(Count(), "3");
    EXPECT_EQ(cntlr->cache().scale(), 0);
    EXPECT_EQ(cntlr->cache().preInfoAtIndex(3), nullptr);

    host.pages.clear();
    cntlr->followPageCount(0);
    EXPECT_EQ(cntlr->cache().maxCount(), 0);
    EXPECT_EQ(cntlr->cache().current(), nullptr);
    EXPECT_TRUE(cntlr->preview()->image().isNull());
    EXPECT_FALSE(Control(tlv::kTagPreFirst)->isEnabled());
    EXPECT_FALSE(Control(tlv::kTagPreTurnLeft)->isEnabled());
}

TEST_F(Preview, APageWithoutItsPicturesShowsAnEmptySheetNeverThePreviousPage) {
    AddPages(1);
    host.addPage(test::markedPage(200, 280), 100);
    host.pages[1].thumbnail = nullptr;
    fs::remove(TlvUtilsMethod::tmpImageFolderPath() / *host.pages[1].record.get(ImgInfo_NameKey).asString());
    cntlr->followPageCount(2);
    EXPECT_EQ(ShownAt(0.05, 0.05), QColor(Qt::white));
    Click(tlv::kTagPreZoomIn);
    const QImage zoomed = cntlr->zoomPreview()->image();
    EXPECT_EQ(zoomed.pixelColor(0, 0), QColor(Qt::white));
}

TEST(PreviewImages, TheZoomedViewIsThePageAt200DpiAndRefusesWhatItCannotTrust) {
    EXPECT_EQ(tlv::zoomSizeOf(2480, 3508, 300, 300), QSize(1653, 2338));
    EXPECT_EQ(tlv::zoomSizeOf(2480, 3508, 0, 300), QSize());
    EXPECT_EQ(tlv::zoomSizeOf(2480, 3508, 300, 0), QSize());

    std::string pattern = (fs::temp_directory_path() / "tlv-zoom-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    setenv("TMPDIR", pattern.c_str(), 1);
    ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
    test::PreviewHost host;
    host.addPage(test::markedPage(60, 80), 100);
    const fnd::Dictionary sound = host.pages[0].record;
    EXPECT_EQ(tlv::createZoomImage(sound).size(), QSize(120, 160));

    fnd::Dictionary noResolution = sound;
    noResolution.set(ImgInfo_XResKey, 0.0);
    EXPECT_TRUE(tlv::createZoomImage(noResolution).isNull());
    // A record that promises more rows than the file holds.
    fnd::Dictionary taller = sound;
    taller.set(ImgInfo_HeightKey, std::int32_t{81});
    EXPECT_TRUE(tlv::createZoomImage(taller).isNull());
    fnd::Dictionary elsewhere = sound;
    elsewhere.set(ImgInfo_NameKey, std::string("../tmpImg_0"));
    EXPECT_TRUE(tlv::createZoomImage(elsewhere).isNull());
    TlvUtilsMethod::removeTmpFolder();
    unsetenv("TMPDIR");
    fs::remove_all(pattern);
}

TEST(PreviewViews, TheSheetIsCentredOnWholePointsAndMadeSmallerOnlyWhenTheViewCannotHoldIt) {
    testApplication();
    TlvPreview view;
    view.resize(400, 501);
    view.setImageFrame({0, 0});
    EXPECT_EQ(view.imageFrame().size(), TlvPreview::kDefaultSheet);
    EXPECT_EQ(view.imageFrame().center(), view.rect().center());
    view.setImageFrame({200, 100});
    EXPECT_EQ(view.imageFrame(), QRect(100, 200, 200, 101)); // 200.5 widened to whole points
    view.resize(240, 300);
    view.setImageFrame({234, 329});
    EXPECT_LE(view.imageFrame().height(), 300 - 2 * TlvPreview::kShadowRoom + 1);
    EXPECT_NEAR(double(view.imageFrame().width()) / view.imageFrame().height(), 234.0 / 329, 0.01);
}
