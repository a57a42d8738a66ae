// The dialog's image buttons with their own images: a look per state, an idle dialog that sleeps, and
// pictures of every look at 100% and 200%.
#include "DialogItems.h"
#include "FRollOverButton.h"
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QtTestApp.h"
#include "RollOverImages.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QLabel>
#include <QTest>

#include <set>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;
using Button = ComOrvikElectronicsK3100FRollOverButton;

void Hover(Button* button, QEvent::Type type) {
    QHoverEvent event(type, QPointF(4, 4), QPointF(4, 4), QPointF(-1, -1));
    QApplication::sendEvent(button, &event);
}

// Counts the timer events of the whole application.
class TimerCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Timer)
            ++count;
        return false;
    }
};

class QSUIRollOverButtonsTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override {
        Open();
        mController = std::make_unique<Controller>();
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(mDS->GetCapPool())}}, 1);
        mController->showMainWindow();
        QApplication::setActiveWindow(mController->window());
        QTest::qWait(20);
    }
    void TearDown() override { mController.reset(); }

    std::unique_ptr<Controller> mController;
};

TEST_F(QSUIRollOverButtonsTest, TheScanButtonShowsADifferentLookInEachState) {
    auto* button = appkit::viewWithTag<Button>(mController->window(), Controller::kSimpleScanButtonTag);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isRollOverEnabled());
    std::set<std::size_t> looks;
    auto look = [&] {
        const QImage image = button->grab().toImage();
        looks.insert(qHashBits(image.constBits(), static_cast<std::size_t>(image.sizeInBytes())));
    };
    mController->window()->setFocus();
    ASSERT_EQ(button->stateIndex(), Button::kNormal);
    look();
    Hover(button, QEvent::HoverEnter);
    ASSERT_EQ(button->stateIndex(), Button::kRollOver);
    look();
    button->setFocus();
    ASSERT_EQ(button->stateIndex(), Button::kRollOverFocus);
    look();
    Hover(button, QEvent::HoverLeave);
    ASSERT_EQ(button->stateIndex(), Button::kFocus);
    look();
    button->setDown(true);
    look();
    button->setDown(false);
    button->setEnabled(false);
    look();
    EXPECT_EQ(looks.size(), 6u);
}

// The preview's tools and the window's information and help are image buttons named for a reader; the
// brightness and contrast sliders of both sides show their ends, greyed with the slider.
TEST_F(QSUIRollOverButtonsTest, TheToolButtonsAndSliderEndsWearTheirImages) {
    for (const int tag : {701, 702, 703, 704, 705, 706}) {
        auto* button = appkit::viewWithTag<Button>(mController->window(), tag);
        ASSERT_NE(button, nullptr) << tag;
        EXPECT_TRUE(button->isRollOverEnabled()) << tag;
        EXPECT_TRUE(button->text().isEmpty()) << tag;
        EXPECT_FALSE(button->accessibleName().isEmpty()) << tag;
        EXPECT_EQ(button->accessibleName(), button->toolTip()) << tag;
    }
    auto* advanced = mController->window()->findChild<QWidget*>(QStringLiteral("advanceModeView"));
    ASSERT_NE(advanced, nullptr);
    for (const int tag : {205, 206, 207, 208, 215, 216, 217, 218}) {
        auto* end = appkit::viewWithTag<QLabel>(advanced, tag);
        ASSERT_NE(end, nullptr) << tag;
        ASSERT_FALSE(end->pixmap().isNull()) << tag;
        const QImage shown = end->pixmap().toImage();
        SetItemEnabled(advanced, tag, !end->isEnabled());
        EXPECT_NE(end->pixmap().toImage(), shown) << tag << ": the same image enabled and disabled";
    }
}

TEST_F(QSUIRollOverButtonsTest, AnIdleDialogDoesNotWake) {
    TimerCounter counter;
    qApp->installEventFilter(&counter);
    QTest::qWait(1000);
    qApp->removeEventFilter(&counter);
    // A poll of the mouse would fire ten times in that second.
    EXPECT_LE(counter.count, 2);
}

// Every look of the dialog's image buttons: a row per button, a column per state.
TEST_F(QSUIRollOverButtonsTest, Screenshots) {
    using Names = std::array<const char*, 6>;
    const std::array<Names, 9> rows{{
        {"TPL_ZoomIn_N", nullptr, nullptr, nullptr, "TPL_ZoomIn_G", nullptr},
        {"TPL_ZoomOut_N", nullptr, nullptr, nullptr, "TPL_ZoomOut_G", nullptr},
        {"TPL_DragSwitch_N", nullptr, nullptr, nullptr, "TPL_DragSwitch_G", nullptr},
        {"TPL_GloveSwitch_N", nullptr, nullptr, nullptr, "TPL_GloveSwitch_G", nullptr},
        {"TPL_Info_N", nullptr, nullptr, nullptr, "TPL_Info_G", nullptr},
        {"TPL_Help_N", nullptr, nullptr, nullptr, "TPL_Help_G", nullptr},
        {"SPL_Scan_N", "SPL_Scan_S", "SPL_Scan_NF", "SPL_Scan_SF", "SPL_Scan_G", "SPL_Scan_C"},
        {"DTL_Scan_N", "DTL_Scan_S", "DTL_Scan_NF", "DTL_Scan_SF", "DTL_Scan_G", "DTL_Scan_C"},
        {"SPN_Scan_N", "SPN_Scan_S", "SPN_Scan_NF", "SPN_Scan_SF", "SPN_Scan_G", "SPN_Scan_C"},
    }};
    QWidget looks;
    auto* grid = new QGridLayout(&looks);
    QWidget stage;
    stage.setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QGridLayout(&stage);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        auto* button = appkit::tagged(new Button, 1);
        layout->addWidget(button, 0, 0);
        const bool tool = rows[row][1] == nullptr;
        if (tool)
            button->setFixedSize(30, 30);
        else
            button->setText(QStringLiteral("Scan"));
        SetupRollOverButton(&stage, 1, rows[row]);
        stage.show();
        button->show();
        QApplication::setActiveWindow(&stage);
        for (int state = Button::kNormal; state <= Button::kPressed; ++state) {
            stage.setFocus();
            Hover(button, QEvent::HoverLeave);
            button->setEnabled(state != Button::kDisabled);
            button->setDown(state == Button::kPressed);
            if (state == Button::kRollOver || state == Button::kRollOverFocus)
                Hover(button, QEvent::HoverEnter);
            if (state == Button::kFocus || state == Button::kRollOverFocus)
                button->setFocus();
            auto* cell = new QLabel;
            cell->setPixmap(button->grab());
            grid->addWidget(cell, static_cast<int>(row), state);
        }
        delete button;
    }
    looks.show();
    QTest::qWait(20);
    saveScreenshots(&looks, "ds-roll-over-looks");
    // The tools over the preview, as the dialog shows them: with the preview area out.
    QWidget* window = mController->window();
    appkit::viewWithTag<QAbstractButton>(mController->currentView(), Controller::kPrescanCheckBoxTag)
        ->click();
    ASSERT_TRUE(mController->isPreviewAreaShown());
    window->resize(window->sizeHint());
    QTest::qWait(20);
    saveScreenshots(window->findChild<QWidget*>(QStringLiteral("toolView")), "ds-tool-buttons");
}

} // namespace
