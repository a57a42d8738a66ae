// A container in a window, driven by its buttons' tags: arrow keys over a grid of six buttons,
// buttons that refuse focus, roll-over under the pointer (overlaps, disabled buttons, a held button),
// and a container left alone that never wakes.
#include "Container.h"
#include "ViewsTestSupport.h"

#include <QTest>
#include <QTimer>

namespace {

constexpr auto kScan = "Scan!10200:10201:10202:10203"; // roll-over images

class ContainerTest : public testing::Test, public WithTestApplication {
protected:
    ContainerTest() {
        window.resize(400, 200);
        container = new Container(&window);
        container->setGeometry(0, 0, 400, 200);
    }

    UButton* button(int tag) { return appkit::viewWithTag<UButton>(&window, tag); }

    // Buttons 1 2 3 over 4 5 6.
    void addGrid() {
        for (int k = 0; k < 6; ++k)
            nibButton(container, k + 1, "OK!10000,10010,10020")
                ->setGeometry(10 + (k % 3) * 60, 10 + (k / 3) * 40, 50, 22);
    }

    void showActive() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // The tag of the focused button after pressing key on the button with tag from.
    int afterKey(int from, Qt::Key key) {
        button(from)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button(from), key);
        return appkit::tagOf(QApplication::focusWidget()).value_or(-1);
    }

    QPoint global(int x, int y) { return container->mapToGlobal(QPoint(x, y)); }

    QWidget window;
    Container* container;
};

TEST_F(ContainerTest, ArrowKeysMoveAlongTheGridOnlyOnceSelectionIsOn) {
    addGrid();
    showActive();
    EXPECT_NE(afterKey(4, Qt::Key_Down), 2) << "off by default: the arrow keys stay Qt's";

    container->useArrawKeySelection(true);
    EXPECT_EQ(afterKey(4, Qt::Key_Up), 1);
    EXPECT_EQ(afterKey(4, Qt::Key_Down), 2);
    EXPECT_EQ(afterKey(4, Qt::Key_Left), 3);
    EXPECT_EQ(afterKey(4, Qt::Key_Right), 5);
    EXPECT_EQ(afterKey(6, Qt::Key_Down), 1);
}

TEST_F(ContainerTest, ButtonsThatRefuseFocusArePassedOverAndTheWalkEnds) {
    addGrid();
    container->useArrawKeySelection(true);
    showActive();
    button(2)->setEnabled(false);
    EXPECT_EQ(afterKey(4, Qt::Key_Down), 5) << "down the columns, past the disabled 2";

    for (const int tag : {1, 3, 5, 6})
        button(tag)->setFocusPolicy(Qt::NoFocus);
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right})
        EXPECT_EQ(afterKey(4, key), 4) << "no other button takes focus: the walk stops";
}

TEST_F(ContainerTest, OnlyTheFirstButtonUnderThePointerIsRolledOver) {
    UButton* first = nibButton(container, 1, kScan);
    UButton* second = nibButton(container, 2, kScan);
    first->move(20, 20);
    second->move(100, 20); // 128 wide: the two overlap from x 100 to 148
    showActive();

    QTest::mouseMove(container, QPoint(120, 30));
    EXPECT_TRUE(first->isRollOvered());
    EXPECT_FALSE(second->isRollOvered());

    QTest::mouseMove(container, QPoint(200, 30));
    EXPECT_FALSE(first->isRollOvered());
    EXPECT_TRUE(second->isRollOvered());

    QTest::mouseMove(container, QPoint(300, 150));
    EXPECT_FALSE(first->isRollOvered());
    EXPECT_FALSE(second->isRollOvered());

    QTest::mouseMove(container, first->pos()); // the transparent corner of its image
    EXPECT_FALSE(first->isRollOvered());

    first->setEnabled(false);
    QTest::mouseMove(container, QPoint(40, 30));
    EXPECT_FALSE(first->isRollOvered()) << "a disabled button is never rolled over";
}

TEST_F(ContainerTest, NothingChangesWhileTheButtonIsHeld) {
    UButton* first = nibButton(container, 1, kScan);
    UButton* second = nibButton(container, 2, kScan);
    first->move(20, 20);
    second->move(20, 80);
    showActive();
    QTest::mouseMove(container, QPoint(40, 30));
    ASSERT_TRUE(first->isRollOvered());

    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(first, QPoint(20, 70)); // over the second button
    EXPECT_TRUE(first->isRollOvered());
    EXPECT_FALSE(second->isRollOvered());
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(20, 70));
    EXPECT_FALSE(first->isRollOvered()) << "on release the highlight follows the pointer";
    EXPECT_TRUE(second->isRollOvered());
}

TEST_F(ContainerTest, AnIdleContainerNeverWakes) {
    addGrid();
    struct TimerCount : QObject {
        int timers = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            timers += event->type() == QEvent::Timer;
            return false;
        }
    } count;
    container->installEventFilter(&count);
    for (QWidget* child : container->findChildren<QWidget*>())
        child->installEventFilter(&count);
    showActive();
    QTest::mouseMove(container, QPoint(30, 20));
    QTest::qWait(1000);
    EXPECT_EQ(count.timers, 0);
    EXPECT_TRUE(container->findChildren<QTimer*>().isEmpty());
}

} // namespace
