// The main window's views. Image buttons take the interface file's title "TEXT!IMAGES"; the images
// are the button sets of the application's resources.
#include "TlvMainScreens.h"

#include "DrawTones.h"
#include "Images.h"
#include "NwAnimationImageView.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvFuncBaseView.h"
#include "TlvMainTags.h"
#include "TlvPlainViews.h"
#include "TlvStepPartsView.h"
#include "TlvStripViews.h"
#include "UButtonKinds.h"
#include "ViewImage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlv {

namespace {

// Six states of one image family with consecutive IDs (normal, pressed, disabled, rolled over,
// focus, focus rolled over); the preview's buttons have the first four.
QString family(int first, int states = 6) {
    QStringList ids;
    for (int k = 0; k < states; ++k)
        ids << QString::number(first + k);
    return ids.join(':');
}

template <typename B = UButton>
B* imageButton(QWidget* parent, int tag, const char* key, const QString& images, bool titled) {
    auto* button = appkit::tagged(new B(parent), tag);
    button->setText((titled ? appkit::localized(key) : QString()) + '!' + images);
    button->awakeFromNib();
    button->setDescriptionKey(key);
    button->setMinimumSize(button->sizeHint());
    return button;
}

// A standard button: the icon theme's image by its name, ours where the theme has none.
struct StdIcon {
    const char* theme;
    const char* own;
};
constexpr StdIcon kSettingsIcon{"document-properties", "BTN_Settings_16"};

// Names the button's own image where the theme has none: it is inked to the palette (inkOwnIcons).
constexpr const char* kOwnIconProperty = "ownIcon";

QPushButton* pushButton(QWidget* parent, int tag, const char* key, StdIcon icon = {}) {
    auto* button = appkit::tagged(new QPushButton(appkit::localized(key), parent), tag);
    if (!icon.theme)
        return button;
    const QString theme = QString::fromLatin1(icon.theme);
    if (QIcon::hasThemeIcon(theme)) {
        button->setIcon(QIcon::fromTheme(theme));
    } else {
        button->setIcon(appkit::bundleIcon(icon.own));
        button->setProperty(kOwnIconProperty, QString::fromLatin1(icon.own));
    }
    return button;
}

QLabel* label(QWidget* parent, int tag, bool bold = false) {
    auto* text = appkit::tagged(new QLabel(parent), tag);
    text->setWordWrap(true);
    if (bold) {
        QFont font = text->font();
        font.setBold(true);
        text->setFont(font);
    }
    return text;
}

QWidget* place(QWidget* parent, int tag) {
    auto* view = appkit::tagged(new QWidget(parent), tag);
    view->setLayout(new QVBoxLayout);
    view->layout()->setContentsMargins(0, 0, 0, 0);
    return view;
}

QCheckBox* checkBox(QWidget* parent, int tag, const char* key) {
    return appkit::tagged(new QCheckBox(appkit::localized(key), parent), tag);
}

QWidget* buildFoaTop(QWidget* parent) {
    auto* top = new QWidget(parent);
    auto* row = new QHBoxLayout(top);
    auto* panel = new TlvFuncBaseView(top);
    auto* column = new QVBoxLayout(panel);
    column->addStretch(1);
    auto* illustration = label(panel, tag::kFoaIllustration);
    if (const auto image = ViewImage::named("TOP_F_Illust_J_E"))
        illustration->setPixmap(image->pixmap(panel->devicePixelRatioF()));
    illustration->setAlignment(Qt::AlignCenter);
    column->addWidget(illustration);
    auto* explain = new QLabel(appkit::localized("Top_Foa_Explain"), panel);
    explain->setWordWrap(true);
    explain->setAlignment(Qt::AlignCenter);
    column->addWidget(explain);
    column->addWidget(imageButton<UTopScanBtn>(panel, tag::kFoaScan, "ScanBtn_FOA", family(10200), true), 0,
                      Qt::AlignCenter);
    column->addWidget(checkBox(panel, tag::kFoaContinueScan, "Top_ContinueScan"), 0, Qt::AlignCenter);
    column->addStretch(1);
    row->addWidget(panel, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(place(top, tag::kFoaJobInfoPlace), 1);
    side->addWidget(pushButton(top, tag::kFoaScanSettings, "Top_ScanSettings", kSettingsIcon), 0,
                    Qt::AlignRight);
    row->addLayout(side, 1);
    return top;
}

QWidget* buildJobTop(QWidget* parent) {
    auto* top = new QWidget(parent);
    auto* row = new QHBoxLayout(top);
    auto* jobs = new QVBoxLayout;
    jobs->addWidget(place(top, tag::kJobTablePlace), 1);
    auto* jobButtons = new QHBoxLayout;
    jobButtons->addStretch(1);
    jobButtons->addWidget(
        pushButton(top, tag::kJobEdit, "JobList_Edit", {"document-edit", "BTN_EditJobs_16"}));
    jobButtons->addWidget(pushButton(top, tag::kJobNew, "JobList_New", {"document-new", "BTN_NewJob_16"}));
    jobs->addLayout(jobButtons);
    row->addLayout(jobs, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(place(top, tag::kJobJobInfoPlace), 1);
    side->addWidget(checkBox(top, tag::kConfirmOutput, "JobTop_ConfirmOutput"));
    side->addWidget(checkBox(top, tag::kJobContinueScan, "Top_ContinueScan"));
    side->addWidget(imageButton<UTopScanBtn>(top, tag::kJobScan, "ScanBtn_JOB", family(10200), true), 0,
                    Qt::AlignCenter);
    row->addLayout(side, 1);
    return top;
}

struct PreviewButton {
    int tag;
    const char* key;
    int images;
};
constexpr PreviewButton kPreviewButtons[] = {
    {tag::kPreviewFirst, "Tip_PageFirst", 10700},       {tag::kPreviewPrev, "Tip_PagePrev", 10800},
    {tag::kPreviewNext, "Tip_PageNext", 10900},         {tag::kPreviewLast, "Tip_PageLast", 11000},
    {tag::kPreviewZoomIn, "Tip_ZoomIn", 11100},         {tag::kPreviewZoomOut, "Tip_ZoomOut", 11200},
    {tag::kPreviewRotateDown, "Tip_RotateLeft", 11300}, {tag::kPreviewRotateUp, "Tip_RotateRight", 11400},
};

QWidget* buildPreview(QWidget* parent) {
    auto* preview = new QWidget(parent);
    auto* column = new QVBoxLayout(preview);
    column->setContentsMargins(0, 0, 0, 0);
    auto* frame = new TlvFrameView(preview);
    frame->setLayout(new QVBoxLayout);
    QWidget* image = place(frame, tag::kPreviewImagePlace);
    image->setMinimumSize(240, 300);
    frame->layout()->addWidget(image);
    column->addWidget(frame, 1);
    auto* bar = new TlvToolBarView(preview);
    auto* tools = new QGridLayout(bar);
    int col = 0;
    for (const PreviewButton& b : kPreviewButtons) {
        tools->addWidget(imageButton<UPreviewBtn>(bar, b.tag, b.key, family(b.images, 4), false), 0, col++);
        if (b.tag == tag::kPreviewPrev) {
            auto* page = appkit::tagged(new QLineEdit(bar), tag::kPreviewPageNumber);
            page->setAlignment(Qt::AlignRight);
            page->setMaxLength(4);
            page->setFixedWidth(page->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
            tools->addWidget(page, 0, col++);
            QLabel* of = label(bar, tag::kPreviewPageLabel);
            of->setText(appkit::localized("Preview_Of"));
            tools->addWidget(of, 0, col++);
            tools->addWidget(label(bar, tag::kPreviewPageCount), 0, col++);
        }
    }
    appkit::tagged(new QWidget(bar), tag::kPreviewHidden)->hide();
    column->addWidget(bar);
    return preview;
}

QWidget* buildScanning(QWidget* parent, NwAnimationImageView*& anim, QWidget*& jobPlace) {
    auto* scanning = new TlvFuncBaseView(parent);
    auto* column = new QVBoxLayout(scanning);
    anim = appkit::tagged(new NwAnimationImageView(scanning), tag::kScanAnimation);
    column->addWidget(anim, 0, Qt::AlignCenter);
    column->addWidget(label(scanning, tag::kScanStatus, true));
    column->addWidget(label(scanning, tag::kScanInfo));
    column->addWidget(label(scanning, tag::kScanNum));
    jobPlace = place(scanning, tag::kScanJobInfoPlace);
    column->addWidget(jobPlace, 1);
    column->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pushButton(scanning, tag::kScanSettings, "Top_ScanSettings", kSettingsIcon));
    buttons->addStretch(1);
    buttons->addWidget(pushButton(scanning, tag::kScanCancelContinue, "Cancel"));
    buttons->addWidget(pushButton(scanning, tag::kScanFinish, "ScanBtn_Finish", {"go-next", "BTN_Next_16"}));
    column->addLayout(buttons);
    return scanning;
}

struct FunctionButton {
    const char* key;
    int images;
};
constexpr FunctionButton kFunctionButtons[] = {
    {"FuncBtn_File", 10300}, {"FuncBtn_Mail", 10400}, {"FuncBtn_Print", 10500}, {"FuncBtn_App", 10600}};

QWidget* buildSelectFunc(QWidget* parent) {
    auto* choice = new TlvFuncBaseView(parent);
    auto* column = new QVBoxLayout(choice);
    auto* explain = new QLabel(appkit::localized("Func_ScanFirst"), choice);
    QFont font = explain->font();
    font.setBold(true);
    explain->setFont(font);
    column->addWidget(explain);
    auto* grid = new QGridLayout;
    int tag = tag::kFuncSave;
    for (const FunctionButton& f : kFunctionButtons) {
        const int index = tag - tag::kFuncSave;
        auto* cell = new QVBoxLayout;
        cell->addWidget(imageButton(choice, tag, f.key, family(f.images), false), 0, Qt::AlignCenter);
        auto* name = new QLabel(appkit::localized(f.key), choice);
        name->setAlignment(Qt::AlignCenter);
        cell->addWidget(name);
        grid->addLayout(cell, index / 2, index % 2);
        ++tag;
    }
    column->addLayout(grid);
    column->addStretch(1);
    column->addWidget(pushButton(choice, tag::kFuncBack, "FuncBtn_Back", {"go-previous", "BTN_Back_16"}), 0,
                      Qt::AlignLeft);
    return choice;
}

QWidget* buildFinish(QWidget* parent, NwAnimationImageView*& anim) {
    auto* finish = new TlvFuncBaseView(parent);
    auto* column = new QVBoxLayout(finish);
    anim = appkit::tagged(new NwAnimationImageView(finish), tag::kFixAnimation);
    column->addWidget(anim, 0, Qt::AlignCenter);
    column->addWidget(label(finish, tag::kFixStatus, true));
    column->addWidget(label(finish, tag::kFixSubStatus));
    column->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(
        pushButton(finish, tag::kFixOpenFolder, "FixBtn_OpenFolder", {"folder-open", "BTN_OpenFolder_16"}));
    buttons->addStretch(1);
    buttons->addWidget(pushButton(finish, tag::kFixDone, "FixBtn_Done", {"go-home", "BTN_Done_16"}));
    column->addLayout(buttons);
    return finish;
}

QWidget* buildModeButtons(QWidget* base) {
    auto* row = new QWidget(base);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(imageButton<UFoaJobBtn>(
        row, tag::kModeFoa, "Mode_FOA", "1002:1003:1002:1004:1005:1006:1000:1000::1000:1001:1001", true));
    layout->addWidget(label(row, tag::kModeChangeImage));
    layout->addWidget(imageButton<UFoaJobBtn>(
        row, tag::kModeJob, "Mode_JOB", "1012:1013:1012:1014:1015:1016:1010:1010::1010:1011:1011", true));
    layout->addStretch(1);
    return row;
}

} // namespace

TlvMainScreens::TlvMainScreens(QWidget* baseView) : base(baseView) {
    base->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(base);
    column->setSpacing(0);
    column->addWidget(buildModeButtons(base));

    expView = new TlvExpView(base);
    expView->setMinimumHeight(expView->sizeHint().height());
    auto* expRow = new QHBoxLayout(expView);
    QLabel* info = label(expView, tag::kStepInfo, true);
    expRow->addWidget(info);
    column->addWidget(expView);

    stepInfoView = new TlvStepInfoView(base);
    stepInfoView->setMinimumHeight(stepInfoView->sizeHint().height());
    auto* steps = new QHBoxLayout(stepInfoView);
    steps->setContentsMargins(0, 0, 0, 0);
    steps->setSpacing(0);
    for (std::size_t k = 0; k < stepParts.size(); ++k) {
        auto* part = new TlvStepPartsView(stepInfoView);
        part->setIsFinishView(k == 3);
        part->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); // its size follows its label
        auto* inside = new QHBoxLayout(part);
        stepLabels[k] = label(part, tag::kStepJobSel + static_cast<int>(k));
        stepLabels[k]->setAlignment(Qt::AlignCenter);
        inside->addWidget(stepLabels[k]);
        stepParts[k] = part;
        steps->addWidget(part);
    }
    steps->addStretch(1);
    column->addWidget(stepInfoView);

    auto* dummy = new TlvMainDummyView(base);
    auto* dummyLayout = new QVBoxLayout(dummy);
    mainDummy = new QStackedWidget(dummy);
    dummyLayout->addWidget(mainDummy);
    foaTop = buildFoaTop(mainDummy);
    jobTop = buildJobTop(mainDummy);
    work = new QWidget(mainDummy);
    auto* workRow = new QHBoxLayout(work);
    workRow->setContentsMargins(0, 0, 0, 0);
    preview = buildPreview(work);
    workRow->addWidget(preview, 1);
    side = new QStackedWidget(work);
    scanning = buildScanning(side, animScn, scanningJobPlace);
    selectFunc = buildSelectFunc(side);
    // On the same panel as the other screens beside the preview.
    funcHolder = new TlvFuncBaseView(side);
    funcHolder->setLayout(new QVBoxLayout);
    finish = buildFinish(side, animFin);
    for (QWidget* screen : {scanning, selectFunc, funcHolder, finish})
        side->addWidget(screen);
    workRow->addWidget(side, 1);
    for (QWidget* screen : {foaTop, jobTop, work})
        mainDummy->addWidget(screen);
    column->addWidget(dummy, 1);

    auto* prefHelp = new TlvPrefHelpView(base);
    auto* helpRow = new QHBoxLayout(prefHelp);
    helpRow->addWidget(checkBox(prefHelp, tag::kBtn1FoaScan, "Top_Btn1FoaScan"));
    helpRow->addStretch(1);
    helpRow->addWidget(
        imageButton<UPrefsHelpBtn>(prefHelp, tag::kPrefs, "Btn_Settings", family(11800), true));
    helpRow->addWidget(imageButton<UPrefsHelpBtn>(prefHelp, tag::kHelp, "Btn_Help", family(10100), true));
    column->addWidget(prefHelp);
}

void inkOwnIcons(QWidget* base, const QPalette& palette) {
    for (QPushButton* button : base->findChildren<QPushButton*>()) {
        const QString own = button->property(kOwnIconProperty).toString();
        if (own.isEmpty())
            continue;
        const QPixmap drawn =
            appkit::bundleIcon(own.toStdString()).pixmap(button->iconSize(), button->devicePixelRatioF());
        button->setIcon(QIcon(inkedForPalette(drawn, palette, QPalette::Active)));
    }
}

} // namespace tlv
