// The data source's windows inside the application: announced by notification, made modal over the
// window in front, at most two at a time, and handed back to the data source when they go.
#include "NotificationCenter.h"
#include "QtTestApp.h"
#include "ShieldWindows.h"
#include "TlvQSWindows.h"

#include <memory>

namespace {

void Announce(const char* name, QWidget* window) {
    fnd::NotificationCenter::defaultCenter().post(name, fnd::Value::pointer(window));
}

class QSWindows : public ::testing::Test, public WithTestApplication {
protected:
    std::unique_ptr<QWidget> mFront = std::make_unique<QWidget>();
    TlvQSWindows mSlots{[this] { return mFront.get(); }};
};

TEST_F(QSWindows, AShownDialogIsModalOverTheFrontWindowUntilItGoes) {
    mFront->show();
    auto dialog = std::make_unique<QWidget>();
    Announce("ShowQSWindowNotification", dialog.get());
    EXPECT_TRUE(mSlots.isOpenQSWin());
    EXPECT_EQ(appkit::FWindow::behindWindow(dialog.get()), mFront.get());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(appkit::FWindow::shieldWindow(mFront.get()), nullptr);

    Announce("HideQSWindowNotification", dialog.get());
    EXPECT_FALSE(mSlots.isOpenQSWin());
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    // The data source still owns its window when ours goes.
    mFront.reset();
    dialog->show();
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(QSWindows, AThirdWindowAndUnknownHidesChangeNothing) {
    QWidget first;
    QWidget second;
    QWidget third;
    Announce("ShowQSWindowNotification", &first);
    Announce("ShowQSWindowNotification", &second);
    Announce("ShowQSWindowNotification", &third);
    EXPECT_EQ(appkit::FWindow::behindWindow(&third), nullptr);
    Announce("HideQSWindowNotification", &third);
    Announce("HideQSWindowNotification", nullptr);
    Announce("HideQSWindowNotification", &first);
    EXPECT_TRUE(mSlots.isOpenQSWin());
    Announce("HideQSWindowNotification", &second);
    EXPECT_FALSE(mSlots.isOpenQSWin());
    EXPECT_EQ(second.parentWidget(), nullptr);
}

} // namespace
