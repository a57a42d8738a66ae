// Pictures of the main window's widgets for a person to look at: every button set in its states as
// real buttons and as the image sheet, the animations frame by frame, and the drawn views of both
// scan modes. The 200% run (QT_SCALE_FACTOR=2) repeats these tests alone.
#include "NwAnimationImageView.h"
#include "Strings.h"
#include "TlvFuncBaseView.h"
#include "TlvJobInfoView.h"
#include "TlvPlainViews.h"
#include "TlvStepPartsView.h"
#include "TlvStripViews.h"
#include "UAcquButton.h"
#include "UButtonKinds.h"
#include "ViewsTestSupport.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <string_view>
#include <vector>

namespace {

// Every field of the first six states from consecutive IDs of one family (normal, pressed, disabled,
// rolled over, focus, focus rolled over).
QString family(int base, int states = 6) {
    QStringList ids;
    for (int k = 0; k < states; ++k)
        ids << QString::number(base + k);
    return ids.join(':');
}

QString threePiece(int left) {
    QStringList fields;
    for (int k = 0; k < 6; ++k)
        fields << QStringLiteral("%1,%2,%3").arg(left + k).arg(left + 10 + k).arg(left + 20 + k);
    return fields.join(':');
}

struct ButtonSet {
    const char* key; // title or description
    QString param;
    bool titled;
    bool toggle; // has images for "on"
    std::function<UButton*(QWidget*)> make;
};

template <typename B> std::function<UButton*(QWidget*)> maker() {
    return [](QWidget* parent) { return new B(parent); };
}

std::vector<ButtonSet> buttonSets() {
    return {
        {"Mode_FOA", "1002:1003:1002:1004:1005:1006:1000:1000::1000:1001:1001", true, true,
         maker<UFoaJobBtn>()},
        {"Mode_JOB", "1012:1013:1012:1014:1015:1016:1010:1010::1010:1011:1011", true, true,
         maker<UFoaJobBtn>()},
        {"ScanBtn_FOA", family(10200), true, false, maker<UTopScanBtn>()},
        {"FuncBtn_File", family(10300), false, false, maker<UButton>()},
        {"FuncBtn_Mail", family(10400), false, false, maker<UButton>()},
        {"FuncBtn_Print", family(10500), false, false, maker<UButton>()},
        {"FuncBtn_App", family(10600), false, false, maker<UButton>()},
        {"Btn_Help", family(10100), true, false, maker<UPrefsHelpBtn>()},
        {"Btn_Settings", family(11800), true, false, maker<UPrefsHelpBtn>()},
        {"Tip_JobInfo", family(11500), false, false, maker<UButton>()},
        {"Tip_JobInfo", family(11600), false, false, maker<UButton>()},
        {"OK", threePiece(10000), true, false, maker<UButton>()},
        {"Cancel", threePiece(11700), true, false, maker<UButton>()},
        {"Tip_PageFirst", family(10700, 4), false, false, maker<UPreviewBtn>()},
        {"Tip_PagePrev", family(10800, 4), false, false, maker<UPreviewBtn>()},
        {"Tip_PageNext", family(10900, 4), false, false, maker<UPreviewBtn>()},
        {"Tip_PageLast", family(11000, 4), false, false, maker<UPreviewBtn>()},
        {"Tip_ZoomIn", family(11100, 4), false, false, maker<UPreviewBtn>()},
        {"Tip_ZoomOut", family(11200, 4), false, false, maker<UPreviewBtn>()},
        {"Tip_RotateLeft", family(11300, 4), false, false, maker<UPreviewBtn>()},
        {"Tip_RotateRight", family(11400, 4), false, false, maker<UPreviewBtn>()},
    };
}

UButton* makeButton(const ButtonSet& set, QWidget* parent, int tag) {
    UButton* button = appkit::tagged(set.make(parent), tag);
    button->setText((set.titled ? appkit::localized(set.key) : QString()) + "!" + set.param);
    button->awakeFromNib();
    if (!set.titled)
        button->setDescriptionKey(set.key);
    button->setMinimumSize(button->sizeHint());
    return button;
}

class ViewsScreenshot : public testing::Test, public WithTestApplication {
protected:
    void show(QWidget& window) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST_F(ViewsScreenshot, ButtonsInEveryState) {
    QWidget window;
    auto* grid = new QGridLayout(&window);
    const char* states[] = {"normal", "pressed", "disabled", "rolled over", "on", "keyboard focus"};
    for (int c = 0; c < 6; ++c)
        grid->addWidget(new QLabel(states[c]), 0, c + 1);
    std::vector<UButton*> focused;
    const auto sets = buttonSets();
    for (std::size_t r = 0; r < sets.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        grid->addWidget(new QLabel(QString::fromUtf8(sets[r].key)), row, 0);
        for (int c = 0; c < 6; ++c) {
            // Focus shows on one button at a time: a focus image, and the preview's focus ring.
            const bool focusRow = r == 0 || sets[r].key == std::string_view("Tip_PageFirst");
            if ((c == 4 && !sets[r].toggle) || (c == 5 && !focusRow))
                continue;
            UButton* button = makeButton(sets[r], &window, row * 10 + c);
            button->setFocusPolicy(c == 5 ? Qt::StrongFocus : Qt::NoFocus);
            grid->addWidget(button, row, c + 1, Qt::AlignCenter);
            if (c == 1)
                button->setDown(true);
            if (c == 2)
                button->setEnabled(false);
            if (c == 3)
                button->setRollOvered(true);
            if (c == 4) {
                button->setCheckable(true);
                button->setChecked(true);
            }
            if (c == 5)
                focused.push_back(button);
        }
    }
    show(window);
    focused.front()->setFocus(Qt::TabFocusReason);
    saveScreenshots(&window, "views-buttons");
    window.setAttribute(Qt::WA_KeyboardFocusChange); // the style rings focus that the keyboard moved
    focused.back()->setFocus(Qt::TabFocusReason);
    saveScreenshots(&window, "views-buttons-focus-ring");
}

TEST_F(ViewsScreenshot, ButtonImageSheet) {
    QWidget window;
    auto* grid = new QGridLayout(&window);
    int row = 0, col = 0;
    std::string family;
    for (const ButtonIDRow& id : UAcquButton::buttonIDTable()) {
        const std::string prefix = id.name.substr(0, id.name.rfind('_'));
        if (prefix != family || col == 7) {
            family = prefix;
            ++row;
            col = 0;
            grid->addWidget(new QLabel(QString::fromStdString(prefix)), row, col++);
        }
        auto* image = new QLabel;
        image->setPixmap(
            UAcquButton::sharedAcquButton().imageWithButtonID(id.id)->pixmap(window.devicePixelRatioF()));
        image->setToolTip(QString::fromStdString(id.name));
        grid->addWidget(image, row, col++, Qt::AlignCenter);
    }
    show(window);
    saveScreenshots(&window, "views-button-images");
}

TEST_F(ViewsScreenshot, AnimationFrames) {
    QWidget window;
    auto* grid = new QGridLayout(&window);
    int row = 0;
    for (const char* name : {"anime_o_0.09", "anime_b_0.09", "anime_f_0.09"}) {
        const auto strip = AnimationStrip::named(name);
        ASSERT_TRUE(strip) << name;
        for (int frame = 0; frame < strip->frameCount(); ++frame) {
            auto* view = new NwAnimationImageView(&window);
            view->setImage(strip);
            view->setFixedSize(view->sizeHint());
            for (int k = 0; k < frame; ++k)
                view->incrementCurrentFrame();
            grid->addWidget(view, row, frame);
        }
        ++row;
    }
    show(window);
    saveScreenshots(&window, "views-animation-frames");
}

// The top of the main window in one mode: information strip, step bar with its four steps, the
// function panel, the job summary box, and the strips of the preview and preferences.
QWidget* modeColumn(QWidget* parent, int mode) {
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    auto* info = new TlvExpView(column);
    info->setScnModeForView(mode);
    info->setMinimumSize(info->sizeHint());
    layout->addWidget(info);

    auto* bar = new TlvStepInfoView(column);
    bar->setScnModeForView(mode);
    bar->setMinimumHeight(bar->sizeHint().height());
    auto* steps = new QHBoxLayout(bar);
    steps->setContentsMargins(0, 0, 0, 0);
    steps->setSpacing(0);
    for (int k = 0; k < 4; ++k) {
        auto* part = new TlvStepPartsView(bar);
        part->setScnModeForView(mode);
        part->setIsFinishView(k == 3);
        part->setIsDrawImg(k == 1 || k == 3);
        part->setFixedSize(part->sizeHint());
        steps->addWidget(part);
    }
    layout->addWidget(bar);

    auto* row = new QHBoxLayout;
    auto* panel = new TlvFuncBaseView(column);
    panel->setMinimumSize(220, 150);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(makeButton(buttonSets()[3], panel, 400), 0, Qt::AlignCenter);
    row->addWidget(panel);
    auto* box = new TlvJobInfoView(column);
    box->setMinimumWidth(220);
    box->setIsExpansion(mode == 1);
    box->setDrawLineLftBtmPt(QPoint(0, 150));
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(makeButton(buttonSets()[mode == 1 ? 9 : 10], box, 1030), 0,
                         Qt::AlignRight | Qt::AlignTop);
    row->addWidget(box);
    layout->addLayout(row);

    auto* toolBar = new TlvToolBarView(column);
    auto* tools = new QHBoxLayout(toolBar);
    for (std::size_t k = 13; k < 21; ++k)
        tools->addWidget(makeButton(buttonSets()[k], toolBar, 1100 + static_cast<int>(k)));
    layout->addWidget(toolBar);

    auto* help = new TlvPrefHelpView(column);
    auto* helpRow = new QHBoxLayout(help);
    helpRow->addStretch();
    helpRow->addWidget(makeButton(buttonSets()[7], help, 110));
    helpRow->addWidget(makeButton(buttonSets()[8], help, 111));
    layout->addWidget(help);

    auto* plain = new QHBoxLayout;
    for (QWidget* view : {static_cast<QWidget*>(new TlvFrameView(column)),
                          static_cast<QWidget*>(new TlvImgFormulaView(column)),
                          static_cast<QWidget*>(new TlvMainDummyView(column))}) {
        view->setMinimumSize(64, 40);
        plain->addWidget(view);
    }
    layout->addLayout(plain);
    return column;
}

TEST_F(ViewsScreenshot, DrawnViewsOfBothModes) {
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(modeColumn(&window, 0));
    layout->addWidget(modeColumn(&window, 1));
    show(window);
    saveScreenshots(&window, "views-drawn");
}

} // namespace
