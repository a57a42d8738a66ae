// The animation view on its timer: the frame order, one animation per view however often it is
// started, stops that are never lost, a strip without a frame duration that does not spin, and views
// that stop when hidden, taken out of their window or destroyed while running.
#include "NwAnimationImageView.h"
#include "ViewsTestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

class AnimationViewTest : public testing::Test, public WithTestApplication {
protected:
    AnimationViewTest() {
        window.resize(100, 100);
        view = new NwAnimationImageView(&window);
        view->setGeometry(0, 0, 48, 48);
        strip = AnimationStrip::named("anime_o_0.09");
    }

    void show() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // A strip file of our own: frames and duration as given ("" leaves the attribute out).
    std::shared_ptr<const AnimationStrip> stripWith(const char* frames, const char* duration) {
        const QString path = dir.filePath(QStringLiteral("strip%1.svg").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral(
                "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:anim=\"urn:orvik:k3100:animation\" "
                "%1 %2 width=\"96\" height=\"48\"><rect width=\"96\" height=\"48\"/></svg>")
                .arg(*frames ? QStringLiteral("anim:frames=\"%1\"").arg(frames) : QString(),
                     *duration ? QStringLiteral("anim:frame-duration=\"%1\"").arg(duration) : QString())
                .toUtf8());
        file.close();
        return AnimationStrip::fromFile(path);
    }

    QWidget window;
    NwAnimationImageView* view;
    std::shared_ptr<const AnimationStrip> strip;
    QTemporaryDir dir;
    int files = 0;
};

TEST_F(AnimationViewTest, TwelveFramesRunFromOneAndWrapToZero) {
    ASSERT_TRUE(strip);
    ASSERT_EQ(strip->frameCount(), 12);
    EXPECT_FLOAT_EQ(strip->duration(), 0.09f);
    EXPECT_EQ(view->frameInterval(), NwAnimationImageView::kShortestFrame) << "no strip yet";
    view->setImage(strip);
    EXPECT_EQ(view->frameInterval(), std::chrono::milliseconds(90));

    std::vector<int> seen;
    for (int k = 0; k < 13; ++k) {
        view->incrementCurrentFrame();
        seen.push_back(view->currentFrame());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1}));

    view->setImage(strip);
    EXPECT_EQ(view->currentFrame(), 1) << "the same strip again changes nothing";
}

TEST_F(AnimationViewTest, StartsOnceStopsAtOnceAndStartsAgain) {
    view->setImage(strip);
    show();
    view->startThreadAnimation();
    EXPECT_EQ(view->currentFrame(), 1) << "the first frame shows at once";
    view->startThreadAnimation();
    EXPECT_EQ(view->currentFrame(), 1) << "a second start is no second animation";
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return view->currentFrame() >= 3; }, 5000));
    EXPECT_GE(clock.elapsed(), 170) << "a frame every 0.09 s (timers may come 5% early)";

    view->stopThreadAnimation();
    view->startThreadAnimation();
    EXPECT_TRUE(view->isAnimating()) << "a start right after a stop is kept";
    view->stopThreadAnimation();
    const int stoppedAt = view->currentFrame();
    QTest::qWait(200);
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(view->currentFrame(), stoppedAt);
}

TEST_F(AnimationViewTest, StripsWithoutDurationOrCountDoNotSpin) {
    const auto noDuration = stripWith("2", "");
    ASSERT_TRUE(noDuration);
    EXPECT_EQ(noDuration->frameCount(), 2);
    EXPECT_EQ(noDuration->duration(), 0.0f);
    view->setImage(noDuration);
    EXPECT_EQ(view->frameInterval(), NwAnimationImageView::kShortestFrame);

    const auto noCount = stripWith("", "0.05");
    ASSERT_TRUE(noCount);
    EXPECT_EQ(noCount->frameCount(), 0);
    EXPECT_EQ(noCount->frameSize(), QSize(96, 48)) << "one frame of the whole width";
    const auto hostile = stripWith("99999999", "-3");
    ASSERT_TRUE(hostile);
    EXPECT_LE(hostile->frameCount(), 96) << "no frame narrower than a point";
    EXPECT_EQ(hostile->duration(), 0.0f);

    view->setImage(noCount);
    show();
    view->startThreadAnimation();
    QTest::qWait(200);
    EXPECT_EQ(view->currentFrame(), 0) << "a single frame stays";
}

TEST_F(AnimationViewTest, HidingRemovingOrDestroyingTheViewStopsIt) {
    view->setImage(strip);
    show();
    view->startThreadAnimation();
    view->hide();
    EXPECT_FALSE(view->isAnimating());

    view->show();
    view->startThreadAnimation();
    ASSERT_TRUE(view->isAnimating());
    view->setParent(nullptr);
    EXPECT_FALSE(view->isAnimating()) << "out of its window";

    view->setParent(&window);
    view->show();
    view->startThreadAnimation();
    ASSERT_TRUE(view->isAnimating());
    delete view; // with its timer: nothing may fire into it afterwards
    QTest::qWait(150);
}

TEST_F(AnimationViewTest, AHiddenViewEndsItsOwnAnimation) {
    view->setImage(strip);
    view->startThreadAnimation(); // its window is not shown: it cannot draw
    EXPECT_FALSE(view->isAnimating());
}

} // namespace
