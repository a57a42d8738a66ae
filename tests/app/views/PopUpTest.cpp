// The shared pop-up menus: items and tags of each list, the date formats by language, and selection by
// tag that never falls back to a position; the tool-bar menu button.
#include <gtest/gtest.h>

#include "QtTestApp.h"
#include "Tags.h"
#include "TlvPopUps.h"
#include "TlvToolBarMenuBtn.h"

#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <numeric>
#include <string>

namespace {

std::vector<int> tagsOf(const QComboBox& popup) {
    std::vector<int> tags;
    for (int i = 0; i < popup.count(); ++i)
        tags.push_back(popup.itemData(i, appkit::kItemTagRole).toInt());
    return tags;
}

} // namespace

TEST(PopUps, EachListHasItsItemsTaggedInOrder) {
    testApplication();
    const std::vector<std::pair<std::unique_ptr<TlvPopUp>, int>> popups = [] {
        std::vector<std::pair<std::unique_ptr<TlvPopUp>, int>> all;
        all.emplace_back(std::make_unique<TlvCompressPopUp>(), 2);
        all.emplace_back(std::make_unique<TlvFileFormatPopUp>(), 3);
        all.emplace_back(std::make_unique<TlvOCRLangPopUp>(), 10);
        all.emplace_back(std::make_unique<TlvNumberAddPopUp>(), 6);
        all.emplace_back(std::make_unique<TlvPageLayoutPopUp>(), 2);
        all.emplace_back(std::make_unique<TlvFuncPopUp>(), 4);
        all.emplace_back(std::make_unique<TlvColorPopUp>(), 4);
        all.emplace_back(std::make_unique<TlvPaperSizePopUp>(), 8);
        all.emplace_back(std::make_unique<TlvReadPagePopUp>(), 3);
        all.emplace_back(std::make_unique<TlvResolutionPopUp>(), 5);
        return all;
    }();
    for (const auto& [popup, count] : popups) {
        std::vector<int> expected(static_cast<std::size_t>(count));
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(tagsOf(*popup), expected) << popup->metaObject()->className();
        for (int i = 0; i < popup->count(); ++i) // every title comes from the string table
            EXPECT_FALSE(popup->itemText(i).contains('_')) << popup->itemText(i).toStdString();
    }
    TlvPaperSizePopUp paper;
    paper.selectItemWithTag(2);
    EXPECT_EQ(paper.currentText(), "A5");
    EXPECT_EQ(paper.selectedTag(), 2);
}

TEST(PopUps, ItemsWithImagesShowThemSharpAtTwiceTheScale) {
    testApplication();
    // Each list's items that carry an image: outputs, file formats, colour modes, sides read, and
    // the paper sizes that are fed turned.
    const std::vector<std::pair<std::unique_ptr<TlvPopUp>, std::vector<int>>> popups = [] {
        std::vector<std::pair<std::unique_ptr<TlvPopUp>, std::vector<int>>> all;
        all.emplace_back(std::make_unique<TlvFuncPopUp>(), std::vector<int>{0, 1, 2, 3});
        all.emplace_back(std::make_unique<TlvFileFormatPopUp>(), std::vector<int>{0, 1, 2});
        all.emplace_back(std::make_unique<TlvColorPopUp>(), std::vector<int>{0, 1, 2, 3});
        all.emplace_back(std::make_unique<TlvReadPagePopUp>(), std::vector<int>{0, 1, 2});
        all.emplace_back(std::make_unique<TlvPaperSizePopUp>(), std::vector<int>{2, 3, 5});
        all.emplace_back(std::make_unique<TlvResolutionPopUp>(), std::vector<int>{});
        return all;
    }();
    for (const auto& [popup, withImage] : popups) {
        for (int i = 0; i < popup->count(); ++i) {
            const int tag = popup->itemData(i, appkit::kItemTagRole).toInt();
            const QIcon icon = popup->itemIcon(i);
            const bool wanted = std::find(withImage.begin(), withImage.end(), tag) != withImage.end();
            const std::string what =
                popup->metaObject()->className() + std::string(" ") + std::to_string(tag);
            ASSERT_EQ(!icon.isNull(), wanted) << what;
            // Drawn for both scales, not an enlarged 16-point picture.
            if (wanted) {
                EXPECT_EQ(icon.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32)) << what;
            }
        }
    }
}

TEST(PopUps, TheJapaneseCalendarOnlyInJapanese) {
    testApplication();
    EXPECT_EQ(tagsOf(TlvDateTimeAddPopUp()), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(tagsOf(TlvDateTimeAddPopUp(true, nullptr)), (std::vector<int>{0, 1, 2, 3}));
}

TEST(PopUps, AValueWithoutItsItemSelectsNothing) {
    testApplication();
    TlvDateTimeAddPopUp dates;
    dates.selectItemWithTag(1);
    EXPECT_EQ(dates.selectedTag(), 1);
    dates.selectItemWithTag(3); // stored under Japanese, read under English
    EXPECT_EQ(dates.currentIndex(), -1);
    EXPECT_EQ(dates.selectedTag(), -1);
    TlvResolutionPopUp resolution;
    resolution.selectItemWithTag(-1);
    EXPECT_EQ(resolution.selectedTag(), -1);
}

TEST(ToolBarMenuButton, ItemsGetTheImagesOfTheirPlacesAndTheMenuOpensBelow) {
    testApplication();
    QWidget window;
    auto* button = new TlvToolBarMenuBtn(&window);
    QMenu menu;
    QAction* turn = menu.addAction("Turn");
    menu.addSeparator(); // takes the delete image's place
    QAction* third = menu.addAction("Third");
    button->setDropDownMenu(&menu);
    EXPECT_FALSE(turn->icon().isNull());
    EXPECT_TRUE(third->icon().isNull());
    EXPECT_EQ(button->popupMode(), QToolButton::InstantPopup);

    window.resize(200, 100);
    button->move(20, 30);
    window.show();
    QTimer::singleShot(0, &menu, [&] {
        EXPECT_TRUE(menu.isVisible());
        EXPECT_GE(menu.geometry().top(), button->mapToGlobal(QPoint(0, button->height())).y() - 1);
        menu.close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
}
