// The dialog's tool buttons by state (the mouse, the focus, disabled, pressed, toggled on), what each
// state draws, and the pattern view's tiles lined up with the window. Pictures of the looks.
#include "FRollOverButton.h"
#include "FPatternView.h"
#include "QtTestApp.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>
#include <QTest>

namespace {

using Button = ComOrvikElectronicsK3100FRollOverButton;

const std::array<QColor, 6> kStateColours{Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::gray, Qt::magenta};

QIcon Solid(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QColor Centre(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

class FRollOverButtonTest : public ::testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        auto* row = new QHBoxLayout(&mWindow);
        for (Button*& button : mButtons) {
            button = new Button;
            button->setFixedSize(32, 32);
            button->setIconSize(QSize(16, 16));
            button->setRollOverEnabled(true);
            row->addWidget(button);
        }
        mWindow.show();
        QApplication::setActiveWindow(&mWindow);
        // The window itself holds the focus, so that no button starts out focused.
        mWindow.setFocusPolicy(Qt::StrongFocus);
        mWindow.setFocus();
        QTest::qWait(20);
    }
    static void Hover(Button* button, QEvent::Type type) {
        QHoverEvent event(type, QPointF(4, 4), QPointF(4, 4), QPointF(-1, -1));
        QApplication::sendEvent(button, &event);
    }

    QWidget mWindow;
    std::array<Button*, 2> mButtons{};
};

TEST_F(FRollOverButtonTest, TheStateFollowsTheMouseTheFocusAndDisabledBeforePressed) {
    Button* button = mButtons[0];
    EXPECT_EQ(button->stateIndex(), Button::kNormal);
    Hover(button, QEvent::HoverEnter);
    EXPECT_EQ(button->stateIndex(), Button::kRollOver);
    button->setFocus();
    EXPECT_EQ(button->stateIndex(), Button::kRollOverFocus);
    Hover(button, QEvent::HoverLeave);
    EXPECT_EQ(button->stateIndex(), Button::kFocus);
    button->setDown(true);
    EXPECT_EQ(button->stateIndex(), Button::kPressed);
    button->setEnabled(false);
    EXPECT_EQ(button->stateIndex(), Button::kDisabled);
    // A disabled button takes no part in roll-over.
    Hover(button, QEvent::HoverEnter);
    EXPECT_FALSE(button->isRollOver());
}

TEST_F(FRollOverButtonTest, TheMouseMovesFromOneButtonToTheNextAndAnInactiveWindowShowsNone) {
    Hover(mButtons[0], QEvent::HoverEnter);
    Hover(mButtons[0], QEvent::HoverLeave);
    Hover(mButtons[1], QEvent::HoverEnter);
    EXPECT_FALSE(mButtons[0]->isRollOver());
    EXPECT_TRUE(mButtons[1]->isRollOver());
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QTest::qWait(20);
    EXPECT_FALSE(mButtons[1]->isRollOver());
    Hover(mButtons[0], QEvent::HoverEnter);
    EXPECT_FALSE(mButtons[0]->isRollOver());
}

TEST_F(FRollOverButtonTest, EachStateDrawsItsImageAndAToggledOnButtonItsBackgroundWithTheNormalImage) {
    Button* button = mButtons[0];
    Button::Images images;
    for (std::size_t i = 0; i < images.size(); ++i)
        images[i] = Solid(kStateColours[i]);
    button->setButtonImages(images);
    EXPECT_EQ(Centre(button), kStateColours[Button::kNormal]);
    Hover(button, QEvent::HoverEnter);
    EXPECT_EQ(Centre(button), kStateColours[Button::kRollOver]);
    button->setDown(true);
    EXPECT_EQ(Centre(button), kStateColours[Button::kPressed]);
    button->setDown(false);
    button->setEnabled(false);
    EXPECT_EQ(Centre(button), kStateColours[Button::kDisabled]);
    button->setEnabled(true);
    Hover(button, QEvent::HoverLeave);
    const QColor plainCorner = button->grab().toImage().pixelColor(4, 4);
    button->setCheckable(true);
    button->setChecked(true);
    Hover(button, QEvent::HoverEnter);
    const QImage on = button->grab().toImage();
    EXPECT_EQ(on.pixelColor(16, 16), kStateColours[Button::kNormal]);
    EXPECT_LT(on.pixelColor(4, 4).lightness(), plainCorner.lightness());
}

TEST_F(FRollOverButtonTest, AStateWithoutAnImageGetsAHighlightOverTheNormalImage) {
    Button* button = mButtons[0];
    button->setButtonImages({Solid(Qt::red), QIcon(), QIcon(), QIcon(), QIcon(), QIcon()});
    const QColor plain = button->grab().toImage().pixelColor(4, 4);
    Hover(button, QEvent::HoverEnter);
    const QImage over = button->grab().toImage();
    EXPECT_EQ(over.pixelColor(16, 16), QColor(Qt::red));
    EXPECT_NE(over.pixelColor(4, 4), plain);
}

TEST(FPatternViewTest, TilesLineUpWithTheWindowNotTheView) {
    WithTestApplication app;
    QPixmap tile(2, 1);
    tile.fill(Qt::black);
    {
        QPainter painter(&tile);
        painter.fillRect(1, 0, 1, 1, Qt::white);
    }
    QWidget window;
    window.resize(20, 10);
    ComOrvikElectronicsK3100FPatternView view(&window);
    view.setGeometry(1, 0, 10, 10);
    view.setPatternImage(tile);
    window.show();
    QTest::qWait(20);
    // The view's first column is the window's second, which the tile makes white.
    EXPECT_EQ(view.grab().toImage().pixelColor(0, 0), QColor(Qt::white));
    view.setColor(Qt::blue);
    EXPECT_EQ(view.grab().toImage().pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(FRollOverButtonTest, Screenshots) {
    const std::string scale = qApp->devicePixelRatio() > 1.0 ? "@2x" : "";
    QWidget looks;
    auto* row = new QHBoxLayout(&looks);
    const QIcon image = QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    std::array<Button*, 6> states{};
    for (Button*& button : states) {
        button = new Button;
        button->setFixedSize(40, 32);
        button->setIconSize(QSize(16, 16));
        button->setRollOverEnabled(true);
        button->setButtonImages({image, QIcon(), QIcon(), QIcon(), QIcon(), QIcon()});
        row->addWidget(button);
    }
    looks.show();
    QApplication::setActiveWindow(&looks);
    QTest::qWait(20);
    Hover(states[Button::kRollOver], QEvent::HoverEnter);
    states[Button::kFocus]->setFocus();
    states[Button::kDisabled]->setEnabled(false);
    states[Button::kPressed]->setDown(true);
    states[Button::kRollOverFocus]->setCheckable(true); // shown toggled on
    states[Button::kRollOverFocus]->setChecked(true);
    QTest::qWait(20);
    EXPECT_TRUE(saveScreenshot(&looks, "ds-tool-button-looks" + scale));
}

} // namespace
