// A settings pane in its scroll area, driven with the keyboard: the pane follows the focus with room
// above and below, scrolls once for a burst of focus changes, scrolls by lines with the arrows while it
// has the focus itself, and shows its ring only then; taken down with a control focused, it is gone
// before the focus leaves. Pictures with and without the ring.
#include "NwScrollableView.h"
#include "QtTestApp.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <vector>

namespace {

using ScrollableView = ComOrvikElectronicsK3100NwScrollableView;

constexpr int kControls = 20;
// Only ends a wait for a scroll that never comes.
constexpr int kScrollBoundMs = 60000;

class NwScrollableViewTest : public ::testing::Test, public WithTestApplication {
protected:
    // A window whose pane holds labelled fields (or labels only), taller than its scroll area.
    void Build(bool withFields) {
        auto* layout = new QVBoxLayout(&mWindow);
        auto* area = new QScrollArea;
        area->setFixedSize(260, 200);
        layout->addWidget(area);
        mView = new ScrollableView;
        auto* pane = new QVBoxLayout(mView);
        for (int i = 0; i < kControls; ++i) {
            QWidget* control = withFields
                                   ? static_cast<QWidget*>(new QLineEdit(QStringLiteral("Field %1").arg(i)))
                                   : new QLabel(QStringLiteral("Label %1").arg(i));
            pane->addWidget(control);
            mControls.push_back(control);
        }
        area->setWidget(mView);
        mView->setup();
        mWindow.show();
        mWindow.activateWindow();
        QTest::qWait(20);
    }
    // The control's rectangle in the pane, and the part of the pane that shows.
    QRect InPane(QWidget* control) const { return {control->mapTo(mView, QPoint(0, 0)), control->size()}; }
    QRect Visible() const {
        const QWidget* viewport = mView->scrollArea()->viewport();
        return {mView->mapFrom(viewport, QPoint(0, 0)), viewport->size()};
    }
    int ScrollY() const { return mView->scrollArea()->verticalScrollBar()->value(); }
    // Waits for the delayed scroll that brings the control into sight.
    bool ScrolledIntoSight(QWidget* control) const {
        return QTest::qWaitFor([&] { return Visible().contains(InPane(control)); }, kScrollBoundMs);
    }

    QWidget mWindow;
    ScrollableView* mView = nullptr;
    std::vector<QWidget*> mControls;
};

TEST_F(NwScrollableViewTest, TabbingKeepsTheFocusedControlInSightWithRoomAboveAndBelow) {
    Build(true);
    ASSERT_NE(mView->focusRingView(), nullptr);
    EXPECT_EQ(mView->scrollArea()->parentWidget(), mView->focusRingView());
    mControls.front()->setFocus();
    for (int i = 1; i < kControls - 1; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), mControls[i]);
        EXPECT_TRUE(ScrolledIntoSight(mControls[i]))
            << i << " " << Visible().y() << "+" << Visible().height() << " " << InPane(mControls[i]).y()
            << "+" << InPane(mControls[i]).height() << " " << mView->height();
    }
    // Scrolled down to the last one reached: the room below it shows as well, as far as the pane goes.
    const QRect last = InPane(mControls[kControls - 2]);
    EXPECT_GE(Visible().bottom(),
              std::min(last.bottom() + ScrollableView::kFocusMargin, mView->height() - 1));
}

TEST_F(NwScrollableViewTest, ABurstOfFocusChangesScrollsOnceToTheLastControl) {
    Build(true);
    mControls[kControls - 1]->setFocus();
    mControls[kControls / 2]->setFocus();
    EXPECT_EQ(ScrollY(), 0); // the focus changes move nothing themselves: the scroll waits for the delay
    EXPECT_TRUE(ScrolledIntoSight(mControls[kControls / 2]));
    EXPECT_FALSE(Visible().intersects(InPane(mControls[kControls - 1])));
    // A control already in sight moves nothing, also once the delay has passed.
    const int scrolled = ScrollY();
    mControls[kControls / 2 - 1]->setFocus();
    QTest::qWait(ScrollableView::kScrollDelayMs + 80);
    EXPECT_EQ(ScrollY(), scrolled);
}

TEST_F(NwScrollableViewTest, ThePaneTakesTheFocusAndScrollsByLinesOnlyWhenItHoldsControls) {
    Build(true);
    mView->setFocus();
    ASSERT_TRUE(mView->hasFocus());
    EXPECT_TRUE(mView->focusRingView()->showsRing());
    const int step = mView->scrollArea()->verticalScrollBar()->singleStep();
    QTest::keyClick(mView, Qt::Key_Down);
    QTest::keyClick(mView, Qt::Key_Down);
    QTest::keyClick(mView, Qt::Key_Up);
    EXPECT_EQ(ScrollY(), step);
    mControls.front()->setFocus();
    EXPECT_FALSE(mView->focusRingView()->showsRing());
}

TEST_F(NwScrollableViewTest, APaneOfLabelsNeverTakesTheFocusNorShowsARing) {
    Build(false);
    EXPECT_EQ(mView->focusPolicy(), Qt::NoFocus);
    mView->setFocus();
    EXPECT_FALSE(mView->focusRingView()->showsRing());
}

// Taken down with a control in it focused (as when the data source goes at the program's exit): the
// focus leaving that control reaches no part of the pane that is gone already.
TEST_F(NwScrollableViewTest, APaneTakenDownWithAFocusedControlInItIsLeftAlone) {
    Build(true);
    mControls[3]->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), mControls[3]);
    delete mView->focusRingView();
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST_F(NwScrollableViewTest, Screenshots) {
    Build(true);
    const std::string scale = qApp->devicePixelRatio() > 1.0 ? "@2x" : "";
    mView->setFocus();
    QTest::qWait(20);
    EXPECT_TRUE(saveScreenshot(&mWindow, "ds-scrollable-pane-focused" + scale));
    mControls[kControls - 3]->setFocus();
    EXPECT_TRUE(ScrolledIntoSight(mControls[kControls - 3]));
    EXPECT_TRUE(saveScreenshot(&mWindow, "ds-scrollable-pane-control" + scale));
}

} // namespace
