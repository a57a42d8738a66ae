// Panels modal over a window loaded from a Designer file: the shield stops clicks and keys, several
// panels share one shield, and the window answers again once the last panel is gone.
#include "ShieldWindows.h"
#include "OwnedWidget.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "ui_TestWindow.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace {

using appkit::FWindow;

class ShieldWindowsTest : public testing::Test {
protected:
    void SetUp() override {
        ui.setupUi(&window);
        window.show();
        field = appkit::viewWithTag<QLineEdit>(&window, 101);
        button = appkit::viewWithTag<QPushButton>(&window, 102);
        ASSERT_TRUE(field && button);
    }

    // Whether the window takes a click on its button and typing into its field.
    bool windowAnswers() {
        QSignalSpy clicks(button, &QPushButton::clicked);
        field->clear();
        field->setFocus();
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClicks(field, "ab");
        return clicks.count() == 1 && field->text() == "ab";
    }

    WithTestApplication app;
    QWidget window;
    Ui::TestWindow ui;
    QLineEdit* field = nullptr;
    QPushButton* button = nullptr;
};

TEST_F(ShieldWindowsTest, AStandingShieldStopsClicksAndKeys) {
    ASSERT_TRUE(windowAnswers());
    FWindow::setShieldWindow(&window, true);
    ASSERT_NE(FWindow::shieldWindow(&window), nullptr);
    EXPECT_FALSE(windowAnswers());
    EXPECT_TRUE(field->text().isEmpty());
    FWindow::removeShieldWindow(&window);
    EXPECT_EQ(FWindow::shieldWindow(&window), nullptr);
    EXPECT_TRUE(windowAnswers());
}

TEST_F(ShieldWindowsTest, AMouseOnlyShieldLetsKeysThrough) {
    FWindow::setShieldWindow(&window, false, FWindow::Blocks::MouseOnly);
    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    field->setFocus();
    QTest::keyClicks(field, "xy");
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(field->text(), "xy");
}

TEST_F(ShieldWindowsTest, PanelsShareOneShieldUntilTheLastEnds) {
    auto* first = new QDialog;
    auto* second = new QDialog;
    FWindow::beginModalWindow(first, &window);
    FWindow::beginModalWindow(second, &window);
    EXPECT_EQ(first->parentWidget(), &window);
    EXPECT_EQ(first->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(FWindow::modalWindows(&window), (QList<QWidget*>{first, second}));
    EXPECT_EQ(FWindow::behindWindow(second), &window);
    EXPECT_FALSE(windowAnswers());

    FWindow::endModalWindow(first);
    EXPECT_FALSE(first->isVisible());
    EXPECT_NE(FWindow::shieldWindow(&window), nullptr);
    EXPECT_EQ(FWindow::behindWindow(first), nullptr);
    FWindow::endModalWindow(second, false);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(FWindow::shieldWindow(&window), nullptr);
    second->hide();
    EXPECT_TRUE(windowAnswers());
}

TEST_F(ShieldWindowsTest, APanelClosedOrDeletedEndsItsModality) {
    auto* dialog = new QDialog;
    FWindow::beginModalWindow(dialog, &window);
    dialog->reject(); // Escape or its close button
    EXPECT_EQ(FWindow::shieldWindow(&window), nullptr);

    auto* panel = new QWidget;
    FWindow::beginModalWindow(panel, &window);
    EXPECT_NE(FWindow::shieldWindow(&window), nullptr);
    delete panel;
    EXPECT_EQ(FWindow::shieldWindow(&window), nullptr);
    EXPECT_TRUE(FWindow::modalWindows(&window).isEmpty());
}

// A panel shown over a window becomes its child: whichever of the window and the panel's owner goes
// first, the panel is deleted once.
TEST(OwnedWidget, APanelDiesWithItsWindowOrItsOwnerOnce) {
    WithTestApplication app;
    QPointer<QDialog> kept;
    {
        appkit::OwnedWidget<QDialog> owner(new QDialog);
        kept = owner.get();
        auto window = std::make_unique<QWidget>();
        window->show();
        FWindow::beginModalWindow(owner.get(), window.get());
        window.reset();
        EXPECT_EQ(owner.get(), nullptr);
    }
    EXPECT_TRUE(kept.isNull());
    {
        appkit::OwnedWidget<QDialog> owner(new QDialog);
        kept = owner.get();
    }
    EXPECT_TRUE(kept.isNull());
}

TEST_F(ShieldWindowsTest, WithoutAWindowAPanelIsOnlyShown) {
    QWidget panel;
    FWindow::beginModalWindow(&panel, nullptr);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(FWindow::behindWindow(&panel), nullptr);
    FWindow::endModalWindow(&panel);
    EXPECT_FALSE(panel.isVisible());
}

} // namespace
