// Image buttons: the interface file's title and image parameter, the ID table and its images, the
// state codes, roll-over, three-piece images, hostile parameters and clicks on transparent pixels.
#include "UAcquButton.h"
#include "UButtonKinds.h"
#include "ViewsTestSupport.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <set>
#include <span>

namespace {

using Split = UButton::NibTitle;

class UButtonTest : public testing::Test, public WithTestApplication {
protected:
    QWidget window;

    // The file name of the image stored for code, or "" for none.
    static QString imageName(const UButton* button, std::uint32_t code) {
        const ButtonImage* image = button->cell().buttonImageWithState(code);
        if (!image || image->pieces.empty())
            return {};
        QStringList names;
        for (const auto& piece : image->pieces)
            names << piece->path().section('/', -1).section('.', 0, -2);
        return names.join(',');
    }
};

TEST(NibTitle, SplitsIntoTitleAndImageParameter) {
    const auto expectSplit = [](const char* raw, const char* title, const char* param) {
        const Split s = UButton::splitNibTitle(raw);
        EXPECT_EQ(s.title.toStdString(), title) << raw;
        EXPECT_EQ(s.param.toStdString(), param) << raw;
    };
    expectSplit("Scan!10200:10201:10202:10203", "Scan", "10200:10201:10202:10203");
    expectSplit("OK!11700,11710,11720$$x", "OK$$x", "11700,11710,11720");
    expectSplit("Plain", "Plain", "");
    expectSplit("", "", "");
    expectSplit("A!!10200", "A", "");       // an empty second piece
    expectSplit("B!10200$$", "B", "10200"); // an empty rest adds nothing
}

TEST(ButtonIDTable, HoldsEveryFamilyInOrderWithItsImage) {
    const auto table = UAcquButton::buttonIDTable();
    ASSERT_EQ(table.size(), 136u);
    std::set<std::string> names;
    for (std::size_t k = 0; k < table.size(); ++k) {
        if (k > 0) {
            EXPECT_LT(table[k - 1].id, table[k].id);
        }
        names.insert(table[k].name);
        EXPECT_TRUE(UAcquButton::sharedAcquButton().imageWithButtonID(table[k].id))
            << "no image " << table[k].name;
    }
    EXPECT_EQ(names.size(), table.size());
    const auto nameOf = [&table](std::int32_t id) {
        for (const ButtonIDRow& row : table)
            if (row.id == id)
                return row.name;
        return std::string();
    };
    EXPECT_EQ(nameOf(1001), "HD_FBtnA_J_A_ET");
    EXPECT_EQ(nameOf(1016), "HD_JBtn_J_HT");
    EXPECT_EQ(nameOf(10020), "BT_SMALL_R_N");
    EXPECT_EQ(nameOf(10203), "TOP_F_Sbtn_J_H");
    EXPECT_EQ(nameOf(11003), "TB_PL_J_H");
    EXPECT_EQ(nameOf(11805), "FT_Setting_J_HT");
    for (const std::int32_t id : {0, -5, 99999, 10704, 1007})
        EXPECT_FALSE(UAcquButton::sharedAcquButton().imageWithButtonID(id)) << id;
}

TEST_F(UButtonTest, StateCodesFollowTheButtonAndPickTheirImages) {
    UButton* scan = nibButton(&window, 1, "Scan!10200:10201:10202:10203");
    EXPECT_EQ(scan->text(), "Scan");
    EXPECT_EQ(imageName(scan, 0), "TOP_F_Sbtn_J_E");
    EXPECT_EQ(imageName(scan, 8), "TOP_F_Sbtn_J_P");
    EXPECT_EQ(imageName(scan, 4), "TOP_F_Sbtn_J_G");
    EXPECT_EQ(imageName(scan, 16), "TOP_F_Sbtn_J_H");
    EXPECT_EQ(imageName(scan, 32), "");

    EXPECT_EQ(scan->cellState(), 0u);
    scan->setDown(true);
    EXPECT_EQ(scan->cellState(), 8u);
    scan->setDown(false);
    scan->setRollOvered(true);
    EXPECT_EQ(scan->cellState(), 16u);
    scan->setCheckable(true);
    scan->setChecked(true);
    EXPECT_EQ(scan->cellState(), 18u);
    scan->setDown(true);
    EXPECT_EQ(scan->cellState(), 10u);
    scan->setDown(false);
    scan->setEnabled(false);
    EXPECT_EQ(scan->cellState(), 4u) << "disabled outweighs everything";

    scan->setRollOvered(false);
    scan->setRollOvered(true);
    EXPECT_FALSE(scan->isRollOvered()) << "a disabled button is never rolled over";

    UButton* save = nibButton(&window, 2, "Save!10300:10301:10302");
    save->setRollOvered(true);
    EXPECT_FALSE(save->isRollOvered()) << "no rolled-over field, no roll-over";
}

// A face drawn for a short title in the default font grows, flat parts first, to hold a longer title in
// a larger font: the title's ends lie on the face.
TEST_F(UButtonTest, ASingleFaceGrowsWithItsTitle) {
    UButton* scan = nibButton(&window, 1, "Scan for the Job, every page!10200:10201:10202:10203");
    QFont large = scan->font();
    large.setPointSize(20);
    scan->setFont(large);
    const QSize words = scan->fontMetrics().size(Qt::TextSingleLine, scan->text());
    const QSize hint = scan->sizeHint();
    EXPECT_GT(hint.width(), words.width());
    EXPECT_GT(hint.height(), words.height());
    const QImage face = scan->cell().imageAtCellAttribute(0, false, hint, 1.0).toImage();
    ASSERT_EQ(face.size(), hint);
    for (const int x : {(hint.width() - words.width()) / 2 + 1, (hint.width() + words.width()) / 2 - 1})
        EXPECT_EQ(qAlpha(face.pixel(x, hint.height() / 2)), 255) << "x " << x;
}

TEST_F(UButtonTest, HostileParametersGiveTheDefaultLook) {
    UButton* odd = nibButton(&window, 1, "X!abc:99999999999:-1:,zz,:10200:1e3:+:0x10:");
    for (const std::uint32_t code : {0u, 8u, 4u, 48u, 2u, 10u, 6u})
        EXPECT_EQ(imageName(odd, code), "") << code;
    EXPECT_EQ(imageName(odd, 32), "TOP_F_Sbtn_J_E");
    EXPECT_TRUE(odd->cell().buttonCellAttribute(UButtonCell::kRollOverEnabled))
        << "field 4 is there, if empty";
    ASSERT_TRUE(odd->cell().buttonImageWithState(16)) << "a list, even of nothing";
    EXPECT_TRUE(odd->cell().buttonImageWithState(16)->pieces.empty());
    odd->setRollOvered(true);
    EXPECT_TRUE(odd->grab().toImage().size().isValid()) << "draws with a list that composes to nothing";
}

TEST_F(UButtonTest, ThreePieceImagesStretchToTheButton) {
    UButton* ok = nibButton(&window, 1, "OK!11700,11710,11720$$x");
    EXPECT_EQ(ok->text(), "OK$$x");
    EXPECT_EQ(imageName(ok, 0), "BT_LARGE_L_N,BT_LARGE_C_N,BT_LARGE_R_N");
    const auto& pieces = ok->cell().buttonImageWithState(0)->pieces;

    const QImage wide = UAcquButton::cerateButtonImage(pieces, QSize(100, 32), 1.0).toImage();
    ASSERT_EQ(wide.size(), QSize(100, 32));
    const QRgb middle = pieces[1]->pixmap(1.0).toImage().pixel(1, 16);
    for (const int x : {6, 50, 93})
        EXPECT_EQ(wide.pixel(x, 16), middle) << "column " << x;

    // Narrower than both caps: the middle is left out (a negative width must draw nothing).
    const QImage narrow = UAcquButton::cerateButtonImage(pieces, QSize(8, 32), 1.0).toImage();
    ASSERT_EQ(narrow.size(), QSize(8, 32));
    QImage caps(8, 32, QImage::Format_ARGB32_Premultiplied);
    caps.fill(Qt::transparent);
    {
        QPainter painter(&caps);
        painter.drawPixmap(0, 0, pieces[0]->pixmap(1.0));
        painter.drawPixmap(2, 0, pieces[2]->pixmap(1.0));
    }
    EXPECT_EQ(narrow, caps);
    EXPECT_TRUE(
        UAcquButton::cerateButtonImage(std::span(pieces).subspan(0, 2), QSize(100, 32), 1.0).isNull());
}

TEST_F(UButtonTest, ClicksOnTransparentPixelsReachTheViewBehind) {
    struct Behind : QWidget {
        int presses = 0;
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } behind;
    behind.resize(100, 100);
    UButton* next = nibButton(&behind, 1, "!10900:10901:10902:10903");
    next->move(10, 10);
    behind.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&behind));
    const QImage image = next->cell().imageAtCellAttribute(0, false, next->size(), 1.0).toImage();
    ASSERT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the plate's rounded corner";
    ASSERT_EQ(qAlpha(image.pixel(16, 16)), 255);
    QSignalSpy clicked(next, &QAbstractButton::clicked);

    // Through the window, as a real click comes (the widget overload takes (0, 0) for "the centre").
    QTest::mouseClick(behind.windowHandle(), Qt::LeftButton, {}, next->mapTo(&behind, QPoint(0, 0)));
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(behind.presses, 1);

    QTest::mouseClick(behind.windowHandle(), Qt::LeftButton, {}, next->mapTo(&behind, QPoint(16, 16)));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(behind.presses, 1);
}

TEST_F(UButtonTest, ModeButtonTakesNoPressWhileOnOrHeldBack) {
    auto* mode = nibButton<UFoaJobBtn>(&window, 100, "Mode_FOA!1002:1003::1004:1005:1006:1000");
    mode->setCheckable(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicked(mode, &QAbstractButton::clicked);
    const QPoint centre = mode->rect().center();

    bool allowed = false;
    mode->setSwitchGate([&allowed] { return allowed; });
    QTest::mouseClick(mode, Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicked.count(), 0) << "held back by its owner";

    allowed = true;
    QTest::mouseClick(mode, Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicked.count(), 1);
    ASSERT_TRUE(mode->isChecked());
    QTest::mouseClick(mode, Qt::LeftButton, {}, centre);
    mode->setFocus();
    QTest::keyClick(mode, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 1) << "on: neither a click nor the space bar turns it off";
    EXPECT_TRUE(mode->isChecked());
}

TEST_F(UButtonTest, ImageOnlyButtonsAreNamedFromTheStringTable) {
    UButton* next = nibButton<UPreviewBtn>(&window, 1103, "!10900:10901:10902:10903");
    next->setDescriptionKey("Tip_PageNext");
    EXPECT_EQ(next->accessibleName(), "Next page");
    EXPECT_EQ(next->toolTip(), "Next page");
}

} // namespace
