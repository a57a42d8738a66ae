// Folder tests, menu helpers, the Tab order and window placement.
#include "VX_Func.h"
#include "QtTestApp.h"
#include "ScopedEnv.h"
#include "Tags.h"
#include "TempFolder.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

TEST(VX_FuncFilesTest, ListsOnlyTheFilesOfAFolder) {
    TempFolder dir;
    EXPECT_EQ(VX_Func::directoryFilesAtPath(dir.path()), std::vector<std::string>{});
    writeText(dir / "page.pdf", "x");
    writeText(dir / ".hidden", "x");
    fs::create_directory(dir / "sub");
    auto names = *VX_Func::directoryFilesAtPath(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "page.pdf"}));
    EXPECT_FALSE(VX_Func::directoryFilesAtPath(dir / "page.pdf"));

    EXPECT_TRUE(VX_Func::isRemoveFile(dir / "sub"));
    EXPECT_FALSE(VX_Func::isRemoveFile(dir / "sub"));
    EXPECT_FALSE(VX_Func::isExistsFile(""));
}

TEST(VX_FuncFilesTest, FoldersAUserMayPick) {
    TempFolder dir;
    fs::create_directories(dir / "Backups");
    fs::create_directories(dir / ".secret/inner");
    EXPECT_TRUE(VX_Func::isDisplaysDirectory(dir / "Backups"));
    EXPECT_TRUE(VX_Func::isDisplaysDirectory(dir / "Backups/"));
    EXPECT_FALSE(VX_Func::isDisplaysDirectory(dir / ".secret/inner"));
    EXPECT_FALSE(VX_Func::isDisplaysDirectory(dir / "missing"));
    EXPECT_FALSE(VX_Func::isDisplaysDirectory("/usr/share"));
    EXPECT_TRUE(VX_Func::isLibraryDirectory("/etc/xdg/autostart"));

    {
        const ScopedEnv config("XDG_CONFIG_HOME", (dir / "Backups").c_str());
        EXPECT_FALSE(VX_Func::isDisplaysDirectory(dir / "Backups"));
    }
    const ScopedEnv tmp("TMPDIR", dir.path().c_str());
    EXPECT_FALSE(VX_Func::isDisplaysDirectory(dir.path()));
    EXPECT_TRUE(VX_Func::isDisplaysDirectory(dir / "Backups"));
}

// The widget that Tab moves to from w (the chain also passes widgets that take no focus).
QWidget* nextStop(QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (next != w && next->focusPolicy() == Qt::NoFocus)
        next = next->nextInFocusChain();
    return next;
}

class VX_FuncViewsTest : public testing::Test {
protected:
    void SetUp() override { testApplication(); }
};

TEST_F(VX_FuncViewsTest, PopUpItemsAndRadioGroupsByTag) {
    QComboBox popup;
    VX_Func::addMenuItem(&popup, "Save", 10);
    VX_Func::addMenuItem(&popup, "Mail", 11, {}, QString("mailto"));
    VX_Func::setEnabledItem(false, 11, &popup);
    auto* model = qobject_cast<QStandardItemModel*>(popup.model());
    EXPECT_TRUE(model->item(0)->isEnabled());
    EXPECT_FALSE(model->item(1)->isEnabled());
    EXPECT_EQ(popup.itemData(1, appkit::kItemObjectRole).toString(), "mailto");

    QWidget view;
    for (int tag = 20; tag <= 22; ++tag) {
        auto* radio = new QRadioButton(&view);
        radio->setAutoExclusive(false);
        appkit::setTag(radio, tag);
    }
    VX_Func::view(&view, 21, 20, 23);
    EXPECT_FALSE(appkit::viewWithTag<QRadioButton>(&view, 20)->isChecked());
    EXPECT_TRUE(appkit::viewWithTag<QRadioButton>(&view, 21)->isChecked());
}

TEST_F(VX_FuncViewsTest, TabOrderFollowsReadingOrderOrTheGivenViews) {
    QWidget window;
    auto* lower = new QLineEdit(&window);
    auto* upperRight = new QLineEdit(&window);
    auto* upperLeft = new QLineEdit(&window);
    lower->move(10, 100);
    upperRight->move(200, 10);
    upperLeft->move(10, 10);
    EXPECT_EQ(VX_Func::deepSubviewsAtView(&window),
              (std::vector<QWidget*>{&window, upperLeft, upperRight, lower}));

    VX_Func::setNextKeyViewsAtWindow(&window);
    EXPECT_EQ(nextStop(upperLeft), upperRight);
    EXPECT_EQ(nextStop(upperRight), lower);

    QWidget other;
    auto* stranger = new QLineEdit(&other);
    VX_Func::setNextKeyViewsAtWindow(&window, {upperRight, upperLeft, stranger});
    EXPECT_EQ(nextStop(upperLeft), upperRight); // targets outside the window are ignored

    VX_Func::setNextKeyViewsAtWindow(&window, {lower, upperLeft, upperRight});
    EXPECT_EQ(nextStop(lower), upperLeft);
    EXPECT_EQ(nextStop(upperLeft), upperRight);
}

TEST_F(VX_FuncViewsTest, PlacesPanelsWithinParentAndScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget parent;
    parent.setGeometry(screen.left() + 100, screen.top() + 100, 300, 200);

    QWidget fixed;
    fixed.setFixedSize(400, 100);
    fixed.move(screen.left() + 150, screen.top() + 150);
    VX_Func::windowPositionAdjustment(&fixed, &parent, 0);
    EXPECT_EQ(fixed.geometry(), QRect(parent.x(), screen.top() + 150, 400, 100));

    QWidget resizable;
    resizable.setMinimumSize(100, 50);
    resizable.setGeometry(0, 0, 400, 100);
    VX_Func::windowPositionAdjustment(&resizable, &parent, VX_Func::kAlignCentre);
    EXPECT_EQ(resizable.size(), QSize(300, 100));
    EXPECT_EQ(resizable.geometry().center(), parent.geometry().center());

    QWidget huge;
    huge.setFixedSize(screen.width() + 500, screen.height() + 500);
    huge.move(screen.left() + 50, screen.top() + 50);
    VX_Func::windowPositionAdjustment(&huge, nullptr, VX_Func::kAlignCentre);
    EXPECT_EQ(huge.geometry().topLeft(), screen.topLeft());
}

} // namespace
