// The dialog's basic controls against the capability pool of a data source opened here: what the user
// picks is what the pool holds, and what the pool holds is what the controls show.
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "PreferencesFile.h"
#include "QSDataSource.h"
#include "QSUIController.h"
#include "QtTestApp.h"
#include "Tags.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSlider>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr int kColorMode = 100;
constexpr int kPaperSize = 102;
constexpr int kResolution = 103;
constexpr int kScanSide = 110;
constexpr int kSkewCorrection = 120;
constexpr int kReduceMoire = 121;
constexpr int kScanOption = 122;

const std::string kLongName(40, 'L');

fnd::Dictionary Record(const std::string& name, std::int64_t version) {
    return fnd::Dictionary{{"Name", name}, {"DataVersion", version}, {"Data", fnd::Data{1, 2, 3}}};
}

fnd::Dictionary Paper(std::optional<std::int64_t> id, const std::string& name, double width, double height) {
    fnd::Dictionary paper{{"Name", name}, {"Width", width}, {"Height", height}};
    if (id)
        paper.set("ID", *id);
    return paper;
}

class BasicSettingsTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override {
        Open();
        const double width = std::trunc(Float(ICAP_PHYSICALWIDTH));
        // The user's papers as a hand-edited file may hold them: one a fraction of a unit too wide
        // (still fits once truncated), one a whole unit too wide, one with an over-long name; the data
        // source reads them when it opens.
        const fnd::Array custom{Paper(std::nullopt, "Nearly", width + 0.5, 3000),
                                Paper(std::nullopt, "Wide", width + 1.0, 3000),
                                Paper(std::nullopt, kLongName, 3000, 4000)};
        fnd::PreferencesFile preferences(mEnv.PreferencesPath());
        preferences.set(kPrefCustomPapers, custom);
        ASSERT_TRUE(preferences.save());
        Close();
        Open();
        mPapers = fnd::Dictionary{
            {"OriginalPapers", fnd::Array{Paper(0, "A4", 9921, 14031), Paper(1, "A5", 6992, 9921),
                                          Paper(9, "US Letter", 10200, 13200)}},
            {"CustomPapers", custom}};
    }
    void TearDown() override { mController.reset(); }

    Controller& Dialog(bool advanced = false) {
        mController = std::make_unique<Controller>();
        mController->setupMainUIWithParam(
            fnd::Dictionary{{kUIParamCapabilityPool, fnd::Value::pointer(Pool())},
                            {"SupportedPapers", mPapers}},
            1);
        if (advanced)
            appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
                ->setCurrentIndex(1);
        return *mController;
    }
    // In the current view, or else in the image palette (moire reduction).
    QComboBox* Popup(int tag) {
        if (auto* popup = appkit::viewWithTag<QComboBox>(mController->currentView(), tag))
            return popup;
        return appkit::viewWithTag<QComboBox>(mController->imagePalette(), tag);
    }
    // As the user does: the item at index is chosen.
    void Choose(int tag, int index) {
        QComboBox* popup = Popup(tag);
        ASSERT_NE(popup, nullptr) << tag;
        ASSERT_LT(index, popup->count()) << tag;
        popup->setCurrentIndex(index);
        emit popup->activated(index);
    }
    void ChooseTitled(int tag, const QString& title) { Choose(tag, Popup(tag)->findText(title)); }
    int Selected(int tag) { return GetItemIntValue(mController->currentView(), tag); }
    std::string CustomName() {
        CapNameItem item{};
        GetCapStrValue(Pool(), CCAP_OVKM_CUSTOMPAGESIZENAME, item);
        return DecodeCapName(item);
    }
    bool ItemEnabled(int tag, const QString& title) {
        QComboBox* popup = Popup(tag);
        return qobject_cast<QStandardItemModel*>(popup->model())->item(popup->findText(title))->isEnabled();
    }

    fnd::Dictionary mPapers;
    std::unique_ptr<Controller> mController;
};

TEST_F(BasicSettingsTest, EachColourModeWritesItsCapabilitiesAndIsReadBackFromThem) {
    Dialog(true);
    const std::array<std::array<std::int32_t, 3>, 6> expected{{
        // pixel type, text enhancement, automatic detection
        {TWPT_BW, 0, 0},
        {TWPT_BW, 0, 0},
        {TWPT_BW, 1, 0},
        {TWPT_GRAY, 1, 0}, // grey leaves the text enhancement as it was
        {TWPT_RGB, 1, 0},
        {TWPT_RGB, 1, 1},
    }};
    for (int index = 0; index < 6; ++index) {
        Choose(kColorMode, index);
        EXPECT_EQ(Int(ICAP_PIXELTYPE), expected[index][0]) << index;
        EXPECT_EQ(Int(CCAP_OVK_TEXTENHANCE), expected[index][1]) << index;
        EXPECT_EQ(Int(CCAP_OVK_DETECTPAGETYPE), expected[index][2]) << index;
        SetItemIntValue(mController->currentView(), kColorMode, 0);
        // The tab coming into view reads the pool again.
        appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
            ->setCurrentIndex(0);
        appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
            ->setCurrentIndex(1);
        EXPECT_EQ(Selected(kColorMode), index)
            << "error diffusion is told from black and white by its halftone";
    }
}

TEST_F(BasicSettingsTest, WithPrescanOnThereIsNoDetectionAndADetectingPoolKeepsTheSelection) {
    ASSERT_TRUE(SetCapUIntValue(Pool(), CCAP_OVK_PRESCAN, 1));
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVK_DETECTPAGETYPE, 1));
    Dialog(true);
    EXPECT_EQ(Popup(kColorMode)->count(), 5);
    EXPECT_EQ(Selected(kColorMode), 4);
}

TEST_F(BasicSettingsTest, PapersWriteTheirSizeAndDetectionIsTheLargestAreaWithTheFlagOn) {
    Dialog();
    ChooseTitled(kPaperSize, "A5");
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), 1);
    EXPECT_EQ(Int(CCAP_OVK_DETECTPAGESIZE), 0);
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_WIDTH), 6992);
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_HEIGHT), 9921);
    Choose(kPaperSize, 0);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), kPaperCustom);
    EXPECT_EQ(Int(CCAP_OVK_DETECTPAGESIZE), 1);
    EXPECT_EQ(CustomName(), "");
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_WIDTH), Float(ICAP_PHYSICALWIDTH));
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_HEIGHT), Float(ICAP_PHYSICALHEIGHT));
}

TEST_F(BasicSettingsTest, AUserPaperTooWideByAWholeUnitIsDisabledAndFallsBackToTheDefault) {
    Dialog();
    EXPECT_TRUE(ItemEnabled(kPaperSize, "Nearly"));
    EXPECT_FALSE(ItemEnabled(kPaperSize, "Wide"));
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVKM_PAPERSIZE, kPaperCustom));
    ASSERT_TRUE(SetCapStrValue(Pool(), CCAP_OVKM_CUSTOMPAGESIZENAME, EncodeCapName("Wide")));
    Dialog();
    ResetCapValue(Pool(), CCAP_OVKM_CUSTOMPAGESIZENAME);
    CCapability* paper = Pool()->GetCapability(CCAP_OVKM_PAPERSIZE);
    std::int32_t defaultPaper = 0;
    ASSERT_TRUE(paper->ReadValue(defaultPaper, kCapDefault));
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), defaultPaper);
    EXPECT_EQ(GetMenuItemIntValue(mController->currentView(), kPaperSize), defaultPaper);
    EXPECT_EQ(CustomName(), "");
}

TEST_F(BasicSettingsTest, AnOverLongUserPaperNameIsStoredCutAndStillFoundByTheDialogAndTheCore) {
    Dialog(true);
    ChooseTitled(kPaperSize, QString::fromStdString(kLongName));
    EXPECT_EQ(CustomName(), kLongName.substr(0, 32));
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_WIDTH), 3000);
    // Read back from the pool by the other tab, and the core sizes the scan by it.
    appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
        ->setCurrentIndex(0);
    EXPECT_EQ(Popup(kPaperSize)->currentText().toStdString(), kLongName);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), kPaperCustom);
    const SScanSize size = mDS->GetCurrentPaperSize();
    EXPECT_EQ(size.width, 3000);
    EXPECT_EQ(size.height, 4000);
}

TEST_F(BasicSettingsTest, ResolutionRebuildsTheMoireChoicesAndKeepsWhatTheResolutionAllows) {
    Dialog(true);
    ChooseTitled(kResolution, "200 dpi");
    EXPECT_EQ(Float(ICAP_XRESOLUTION), 200);
    EXPECT_EQ(Float(ICAP_YRESOLUTION), 200);
    ChooseTitled(kReduceMoire, "Fast");
    EXPECT_EQ(Int(CCAP_OVK_REDUCE_MOIRE), 2);
    ChooseTitled(kResolution, "300 dpi");
    EXPECT_EQ(Int(CCAP_OVK_REDUCE_MOIRE), 3);
    ChooseTitled(kResolution, "400 dpi");
    EXPECT_EQ(Int(CCAP_OVK_REDUCE_MOIRE), 1);
    EXPECT_EQ(Popup(kReduceMoire)->count(), 1);
}

TEST_F(BasicSettingsTest, OnePageOffersOneSideOnlyAndClearsDuplexAndBlankSkip) {
    Dialog(true);
    ChooseTitled(kScanSide, "Both sides, skipping blank pages…"); // as the application words it
    EXPECT_EQ(GetCapUIntValue(Pool(), CAP_DUPLEXENABLED), 1u);
    EXPECT_EQ(Int(CCAP_OVK_BLANKSKIP), 1);
    Choose(kScanOption, 2);
    EXPECT_EQ(Int(CAP_XFERCOUNT), 1);
    EXPECT_EQ(Popup(kScanSide)->count(), 1);
    EXPECT_EQ(GetCapUIntValue(Pool(), CAP_DUPLEXENABLED), 0u);
    EXPECT_EQ(Int(CCAP_OVK_BLANKSKIP), 0);
    Choose(kScanOption, 1);
    EXPECT_EQ(Int(CAP_XFERCOUNT), -1);
    EXPECT_EQ(GetCapUIntValue(Pool(), CAP_AUTOFEED), 1u);
    EXPECT_EQ(Popup(kScanSide)->count(), 3);
}

TEST_F(BasicSettingsTest, AnyChoiceOfScanSideTurnsAHostsFoldLargeSizeOff) {
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVK_FOLDLARGESIZE, 1));
    Dialog();
    Choose(kScanSide, 1);
    EXPECT_EQ(Int(CCAP_OVK_FOLDLARGESIZE), 0);
    EXPECT_EQ(GetCapUIntValue(Pool(), CAP_DUPLEXENABLED), 1u);
}

TEST_F(BasicSettingsTest, ChangingASettingClearsTheFavouriteName) {
    ASSERT_TRUE(SetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, EncodeCapName("Letters")));
    Dialog();
    CapNameItem name{};
    GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name);
    ASSERT_EQ(DecodeCapName(name), "Letters");
    appkit::viewWithTag<QCheckBox>(mController->currentView(), kSkewCorrection)->click();
    EXPECT_EQ(Int(CCAP_OVK_DESKEW), 1);
    GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name);
    EXPECT_EQ(DecodeCapName(name), "");
}

QDialog* OpenSheet(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return qobject_cast<QDialog*>(window);
    return nullptr;
}

void SetSlider(QWidget* sheet, int tag, int value) {
    appkit::viewWithTag<QSlider>(sheet, tag)->setValue(value);
}

TEST_F(BasicSettingsTest, TheDetectionSheetOpensInTheAdvancedModeAndWritesOnlyOnOk) {
    Dialog();
    Choose(kColorMode, 5);
    EXPECT_EQ(OpenSheet("DetectPageTypePanel"), nullptr) << "the simple mode has no sheet";
    Dialog(true);
    Choose(kColorMode, 5);
    QDialog* sheet = OpenSheet("DetectPageTypePanel");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(GetItemIntValue(sheet, 160), Int(CCAP_OVK_DETECTPAGETYPE_THRESHOLD));
    // Brightness and contrast only for text-enhanced black and white.
    SetItemIntValue(sheet, 162, 0);
    EXPECT_FALSE(appkit::viewWithTag(sheet, 163)->isEnabled());
    EXPECT_FALSE(appkit::viewWithTag(sheet, 166)->isEnabled());
    // The slider ends show their greyed image with the slider off, their own with it on.
    auto* brighter = appkit::viewWithTag<QLabel>(sheet, 205);
    ASSERT_NE(brighter, nullptr);
    const QVariantList ends = brighter->property(kItemStateImagesProperty).toList();
    ASSERT_EQ(ends.size(), 2);
    EXPECT_FALSE(ends[0].value<QPixmap>().isNull());
    EXPECT_EQ(brighter->pixmap().cacheKey(), ends[1].value<QPixmap>().cacheKey());
    SetItemIntValue(sheet, 162, 2);
    EXPECT_TRUE(appkit::viewWithTag(sheet, 165)->isEnabled());
    EXPECT_EQ(brighter->pixmap().cacheKey(), ends[0].value<QPixmap>().cacheKey());
    const std::int32_t threshold = Int(CCAP_OVK_DETECTPAGETYPE_THRESHOLD);
    SetSlider(sheet, 160, threshold + 1);
    EXPECT_EQ(GetItemString(sheet, 167), QString::number(threshold + 1));
    sheet->done(0);
    EXPECT_EQ(Int(CCAP_OVK_DETECTPAGETYPE_THRESHOLD), threshold);
    Choose(kColorMode, 5);
    sheet = OpenSheet("DetectPageTypePanel");
    ASSERT_NE(sheet, nullptr);
    SetItemIntValue(sheet, 162, 2);
    SetSlider(sheet, 160, threshold + 1);
    SetSlider(sheet, 163, 100);
    appkit::viewWithTag<QAbstractButton>(sheet, 1)->click();
    EXPECT_EQ(Int(CCAP_OVK_DETECTPAGETYPE_THRESHOLD), threshold + 1);
    EXPECT_EQ(Int(CCAP_OVKM_DETECTPAGETYPE_BWMODE), 2);
    EXPECT_EQ(Int(CCAP_OVK_TEXTENHANCE_BRIGHTNESS), 100);
}

TEST_F(BasicSettingsTest, TheBlankSkipSheetWritesItsSliderOnOk) {
    Dialog(true);
    Choose(kScanSide, 2);
    QDialog* sheet = OpenSheet("BlankSkipPanel");
    ASSERT_NE(sheet, nullptr);
    const std::int32_t slice = Int(CCAP_OVK_BLANKSKIPSLICE3);
    SetSlider(sheet, 170, slice + 3);
    appkit::viewWithTag<QAbstractButton>(sheet, 1)->click();
    EXPECT_EQ(Int(CCAP_OVK_BLANKSKIPSLICE3), slice + 3);
}

// Runs steps on the favourite editor once it is open, then ends it with OK.
void WithFavoritePanel(const std::function<void(QDialog*)>& steps) {
    QTimer::singleShot(50, [steps] {
        QDialog* panel = OpenSheet("FavoritePanel");
        ASSERT_NE(panel, nullptr);
        steps(panel);
        appkit::viewWithTag<QAbstractButton>(panel, 1)->click();
    });
}

// Answers the next alert with the button titled answer.
void AnswerAlert(const QString& answer) {
    QTimer::singleShot(50, [answer] {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(alert, nullptr);
        for (QAbstractButton* button : alert->buttons())
            if (button->text() == answer)
                button->click();
    });
}

// Checking the first page while the colour is detected asks first; OK checks the page in grey, as the
// question says, and Cancel keeps the detection without the check.
TEST_F(BasicSettingsTest, CheckingTheFirstPageInsteadOfDetectingTheColourScansGrey) {
    Dialog(true);
    Choose(kColorMode, 5);
    ASSERT_EQ(Int(CCAP_OVK_DETECTPAGETYPE), 1);
    auto* box = appkit::viewWithTag<QAbstractButton>(mController->currentView(), 430);
    AnswerAlert("Cancel");
    box->click();
    EXPECT_EQ(Int(CCAP_OVK_PRESCAN), 0);
    EXPECT_EQ(Int(CCAP_OVK_DETECTPAGETYPE), 1);
    AnswerAlert("OK");
    box->click();
    EXPECT_EQ(Int(CCAP_OVK_PRESCAN), 1);
    EXPECT_EQ(Int(CCAP_OVK_DETECTPAGETYPE), 0);
    EXPECT_EQ(Int(ICAP_PIXELTYPE), TWPT_GRAY);
    EXPECT_EQ(Popup(kColorMode)->currentText(), Popup(kColorMode)->itemText(3)) << "grey shown";
}

void AddFavorite(QDialog* panel, const QString& name) {
    appkit::viewWithTag<QLineEdit>(panel, 930)->setText(name);
    appkit::viewWithTag<QAbstractButton>(panel, 931)->click();
}

TEST_F(BasicSettingsTest, AFavouriteIsAddedAppliedAndForgottenByTheNextChange) {
    fnd::PreferencesFile preferences(mEnv.PreferencesPath());
    preferences.set(kPrefFavoriteSettings, fnd::Array{Record("Ancient", 0)});
    ASSERT_TRUE(preferences.save());
    Dialog(true);
    Choose(kColorMode, 3);
    WithFavoritePanel([](QDialog* panel) { AddFavorite(panel, "  Grey pages  "); });
    Choose(50, Popup(50)->count() - 1);
    EXPECT_EQ(Popup(50)->currentText(), "Grey pages");
    Choose(kColorMode, 4);
    EXPECT_EQ(Popup(50)->currentIndex(), 0) << "a changed setting is no longer the favourite";
    ChooseTitled(50, "Grey pages");
    EXPECT_EQ(Int(ICAP_PIXELTYPE), TWPT_GRAY);
    EXPECT_EQ(Selected(kColorMode), 3);
    CapNameItem name{};
    GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name);
    EXPECT_EQ(DecodeCapName(name), "Grey pages");
    const fnd::PreferencesFile stored(mEnv.PreferencesPath());
    EXPECT_EQ(stored.get(kPrefFavoriteSettings).asArray()->size(), 2u) << "the other version's record stays";
}

TEST_F(BasicSettingsTest, AnExistingNameIsReplacedInPlaceOnlyAfterOkAndReservedNamesAreRefused) {
    Dialog(true);
    WithFavoritePanel([](QDialog* panel) {
        AddFavorite(panel, "First");
        AddFavorite(panel, "Second");
        AnswerAlert("Cancel");
        AddFavorite(panel, "First");
        AnswerAlert("OK");
        AddFavorite(panel, "First");
        AnswerAlert("OK");
        AddFavorite(panel, "No favourite");
        auto* table = appkit::viewWithTag<QListWidget>(panel, 933);
        ASSERT_EQ(table->count(), 2);
        EXPECT_EQ(table->item(0)->text(), "First");
        EXPECT_EQ(table->item(1)->text(), "Second");
    });
    Choose(50, Popup(50)->count() - 1);
    EXPECT_EQ(Popup(50)->count(), 5);
}

void WithPanel(const char* name, const std::function<void(QDialog*)>& steps, int endTag = 1) {
    QTimer::singleShot(50, [name, steps, endTag] {
        QDialog* panel = OpenSheet(name);
        ASSERT_NE(panel, nullptr);
        steps(panel);
        appkit::viewWithTag<QAbstractButton>(panel, endTag)->click();
    });
}

TEST_F(BasicSettingsTest, TheUnitPopupWritesTheUnitAndThePaperEditorStartsInIt) {
    Dialog(true);
    auto* units = appkit::viewWithTag<QComboBox>(mController->preferencePalette(), 187);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->currentIndex(), Int(CCAP_OVKM_UNIT));
    units->setCurrentIndex(2);
    emit units->activated(2);
    EXPECT_EQ(Int(CCAP_OVKM_UNIT), 2);
    int editorUnit = -1;
    WithPanel(
        "CustomPaperPanel", [&editorUnit](QDialog* panel) { editorUnit = GetItemIntValue(panel, 903); }, 0);
    Choose(kPaperSize, Popup(kPaperSize)->count() - 1);
    EXPECT_EQ(editorUnit, 2);
}

TEST_F(BasicSettingsTest, APaperAddedInTheEditorBecomesTheSelectedPaperAndCancelChangesNothing) {
    Dialog();
    const std::int32_t before = Int(CCAP_OVKM_PAPERSIZE);
    WithPanel(
        "CustomPaperPanel",
        [](QDialog* panel) {
            appkit::viewWithTag<QLineEdit>(panel, 900)->setText("Ignored");
            appkit::viewWithTag<QAbstractButton>(panel, 904)->click();
        },
        0);
    Choose(kPaperSize, Popup(kPaperSize)->count() - 1);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), before);
    WithPanel("CustomPaperPanel", [](QDialog* panel) {
        SetItemIntValue(panel, 903, 2);
        appkit::viewWithTag<QLineEdit>(panel, 901)->setText("60");
        appkit::viewWithTag<QLineEdit>(panel, 902)->setText("1");
        appkit::viewWithTag<QLineEdit>(panel, 900)->setText(QString(40, u'P'));
        appkit::viewWithTag<QAbstractButton>(panel, 904)->click();
        // The next proposed name skips the one now taken.
        EXPECT_EQ(GetItemString(panel, 900), "Custom paper");
        EXPECT_EQ(GetItemString(panel, 902), QString::asprintf("%.02f", 2546 * 25.4 / 1200));
    });
    Choose(kPaperSize, Popup(kPaperSize)->count() - 1);
    EXPECT_EQ(Int(CCAP_OVKM_PAPERSIZE), kPaperCustom);
    EXPECT_EQ(CustomName(), std::string(32, 'P'));
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_WIDTH), 2834);
    EXPECT_EQ(Float(CCAP_OVKM_SCANAREA_HEIGHT), 2546);
    EXPECT_EQ(Popup(kPaperSize)->currentText(), QString(32, u'P'));
    const fnd::PreferencesFile stored(mEnv.PreferencesPath());
    EXPECT_EQ(stored.get(kPrefCustomPapers).asArray()->size(), 4u) << "the papers stored before are kept";
}

TEST_F(BasicSettingsTest, Screenshots) {
    Dialog();
    ChooseTitled(kPaperSize, "A5");
    // At its natural size: the offscreen screen is smaller than the dialog.
    mController->window()->resize(mController->window()->sizeHint());
    mController->window()->show();
    QTest::qWait(20);
    saveScreenshots(mController->window(), "ds-basic-simple");
    Dialog(true);
    // At its natural size: the offscreen screen is smaller than the dialog.
    mController->window()->resize(mController->window()->sizeHint());
    mController->window()->show();
    QTest::qWait(20);
    saveScreenshots(mController->window(), "ds-basic-advanced");
    WithFavoritePanel([](QDialog* panel) {
        AddFavorite(panel, "Letters");
        AddFavorite(panel, "Receipts");
        appkit::viewWithTag<QListWidget>(panel, 933)->setCurrentRow(1);
        QTest::qWait(20);
        saveScreenshots(panel, "ds-favourite-editor");
    });
    Choose(50, Popup(50)->count() - 1);
    WithPanel(
        "CustomPaperPanel",
        [](QDialog* panel) {
            appkit::viewWithTag<QListWidget>(panel, 906)->setCurrentRow(2);
            QTest::qWait(20);
            saveScreenshots(panel, "ds-custom-paper-editor");
        },
        0);
    Choose(kPaperSize, Popup(kPaperSize)->count() - 1);
    Choose(kColorMode, 5);
    QDialog* sheet = OpenSheet("DetectPageTypePanel");
    ASSERT_NE(sheet, nullptr);
    SetItemIntValue(sheet, 162, 1);
    QTest::qWait(20);
    saveScreenshots(sheet, "ds-detect-page-type-sheet");
    sheet->done(0);
    Choose(kScanSide, 2);
    sheet = OpenSheet("BlankSkipPanel");
    ASSERT_NE(sheet, nullptr);
    QTest::qWait(20);
    saveScreenshots(sheet, "ds-blank-skip-sheet");
    sheet->done(0);
}

} // namespace
