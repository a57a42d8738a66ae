// Tone, image and feeding settings against the capability pool of a data source opened here: each control
// writes its capabilities and shows them back, the curve editor draws into the pool, and user gammas are
// saved, offered and refused when damaged.
#include "CapHelpers.h"
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "PreferencesFile.h"
#include "QSDataSource.h"
#include "QSGammaView.h"
#include "QSUIController.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "ToneCurve.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;
using GammaView = ComOrvikElectronicsK3100QSGammaView;

fnd::Dictionary GammaRecord(const std::string& name, double gamma, std::size_t curveLength = 256) {
    fnd::Dictionary record{{"Name", name}, {"GammaMethod", std::int64_t{0}}};
    for (const char* side : {"Front", "Back"})
        for (const char* channel : {"Gray", "Red", "Green", "Blue"}) {
            record.set(std::string(side) + channel + "Gamma", gamma);
            record.set(std::string(side) + channel + "Curve", fnd::Data(curveLength, 9));
        }
    return record;
}

// Answers the next alert with the button titled answer and keeps its text.
void AnswerAlert(const QString& answer, QString* text = nullptr) {
    QTimer::singleShot(50, [answer, text] {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(alert, nullptr);
        if (text)
            *text = alert->text();
        for (QAbstractButton* button : alert->buttons())
            if (button->text() == answer)
                button->click();
    });
}

class ToneSettingsTest : public test::QSDataSourceTest, public WithTestApplication {
protected:
    void SetUp() override { Open(); }
    void TearDown() override { mController.reset(); }

    // Opens in the given mode: the simple mode starts from its standard settings, the advanced mode
    // from the pool.
    Controller& Dialog(bool advanced = true) {
        mController.reset();
        const fnd::PreferencesFile preferences(mEnv.PreferencesPath());
        fnd::Dictionary params{{kUIParamCapabilityPool, fnd::Value::pointer(Pool())}};
        if (const fnd::Value* gammas = preferences.values().find(kPrefUserGammaDatas))
            params.set(kPrefUserGammaDatas, *gammas);
        mController = std::make_unique<Controller>();
        appkit::viewWithTag<QTabWidget>(mController->window(), Controller::kSettingModeTabTag)
            ->setCurrentIndex(advanced ? 1 : 0);
        mController->setupMainUIWithParam(params, 1);
        return *mController;
    }
    QWidget* View() { return mController->currentView(); }
    QWidget* Tone() { return mController->gammaPalette(); }
    QWidget* Image() { return mController->imagePalette(); }
    QWidget* Feeding() { return mController->preferencePalette(); }
    GammaView* Editor() { return appkit::viewWithTag<GammaView>(Tone(), 250); }
    // As the user does: the item at index is chosen.
    static void Choose(QWidget* view, int tag, int index) {
        auto* popup = appkit::viewWithTag<QComboBox>(view, tag);
        ASSERT_NE(popup, nullptr) << tag;
        ASSERT_LT(index, popup->count()) << tag;
        popup->setCurrentIndex(index);
        emit popup->activated(index);
    }
    static void Slide(QWidget* view, int tag, int value) {
        appkit::viewWithTag<QSlider>(view, tag)->setValue(value);
    }
    static void Click(QWidget* view, int tag) { appkit::viewWithTag<QAbstractButton>(view, tag)->click(); }
    ToneTable Curve(TW_UINT16 id) {
        ToneTable table{};
        GetCapStrValue(Pool(), id, table);
        return table;
    }
    std::string GammaName() {
        CapNameItem item{};
        GetCapStrValue(Pool(), CCAP_OVKM_CUSTOMGAMMANAME, item);
        return DecodeCapName(item);
    }
    // Drags in the editor from one point to the next, as the mouse does.
    void Drag(const std::vector<QPoint>& points) {
        GammaView* editor = Editor();
        QTest::mousePress(editor, Qt::LeftButton, {}, points.front());
        for (const QPoint& point : points) {
            QMouseEvent move(QEvent::MouseMove, point, editor->mapToGlobal(point), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(editor, &move);
        }
        QTest::mouseRelease(editor, Qt::LeftButton, {}, points.back());
    }

    std::unique_ptr<Controller> mController;
};

TEST_F(ToneSettingsTest, BrightnessAndContrastLevelsAreTheirCapabilitiesValues) {
    ASSERT_TRUE(SetCapFloatValue(Pool(), ICAP_CONTRAST, -1000));
    Dialog();
    EXPECT_EQ(GetItemIntValue(View(), 212), 1);
    ASSERT_TRUE(SetCapFloatValue(Pool(), ICAP_CONTRAST, 0));
    ASSERT_TRUE(SetCapFloatValue(Pool(), ICAP_BRIGHTNESS, 0));
    Dialog(false);
    EXPECT_EQ(GetItemIntValue(View(), 212), 4);
    EXPECT_EQ(GetItemIntValue(View(), 202), 128);
    EXPECT_EQ(GetItemString(View(), 204), "128");
    EXPECT_FALSE(appkit::viewWithTag(View(), 202)->isEnabled()) << "the simple mode tones a kept page only";
    SPageBitmap kept{2, 2, 1, 8, 2, 150, 150, {0, 64, 128, 255}};
    mController->setScanImage(kept, 150, false);
    ASSERT_TRUE(appkit::viewWithTag(View(), 202)->isEnabled());
    Slide(View(), 202, 255);
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 1000);
    EXPECT_EQ(Float(BackTwin(ICAP_BRIGHTNESS)), 1000) << "the simple mode scans both sides alike";
    appkit::viewWithTag<QLineEdit>(View(), 214)->setText("7");
    emit appkit::viewWithTag<QLineEdit>(View(), 214)->editingFinished();
    EXPECT_EQ(Float(ICAP_CONTRAST), 1000);
    EXPECT_EQ(GetItemIntValue(View(), 212), 7);

    Dialog(true);
    EXPECT_TRUE(appkit::viewWithTag(View(), 204)->isEnabled());
    EXPECT_FALSE(appkit::viewWithTag(View(), 223)->isEnabled()) << "the back follows the front";
    Click(View(), 220);
    EXPECT_EQ(Int(CCAP_OVKM_BACKBRIGHTNESSENABLED), 1);
    ASSERT_TRUE(appkit::viewWithTag(View(), 223)->isEnabled());
    Slide(View(), 223, 1);
    EXPECT_EQ(Float(BackTwin(ICAP_BRIGHTNESS)), -1000);
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 1000);

    // The steppers move their slider one level and show no number of their own.
    for (const int stepper : {203, 213}) {
        auto* arrows = appkit::viewWithTag<QSpinBox>(View(), stepper);
        ASSERT_NE(arrows, nullptr);
        const int slider = stepper - 1;
        Slide(View(), slider, 4);
        arrows->stepDown();
        EXPECT_EQ(GetItemIntValue(View(), slider), 3);
        EXPECT_EQ(arrows->value(), 0);
        arrows->stepUp();
        arrows->stepUp();
        EXPECT_EQ(GetItemIntValue(View(), slider), 5);
        EXPECT_EQ(GetItemString(View(), slider + 2), "5");
    }
    EXPECT_NEAR(Float(ICAP_CONTRAST), 333, 1); // level 5 of 7
}

// A level typed and not yet confirmed is what Scan scans, as the field shows it.
TEST_F(ToneSettingsTest, ATypedLevelIsScannedAsShown) {
    Dialog();
    for (const int tag : {204, 214}) {
        auto* field = appkit::viewWithTag<QLineEdit>(View(), tag);
        field->selectAll();
        QTest::keyClicks(field, tag == 204 ? "250" : "6");
    }
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 0) << "not before the typing rests";
    Click(mController->window(), Controller::kAdvancedScanButtonTag);
    EXPECT_EQ(Float(ICAP_BRIGHTNESS), 960);    // level 250 of 255
    EXPECT_NEAR(Float(ICAP_CONTRAST), 667, 1); // level 6 of 7
    EXPECT_EQ(GetItemIntValue(View(), 202), 250);
}

// The reset puts both sides' brightness and contrast and the text-enhancement levels back.
TEST_F(ToneSettingsTest, TheToneResetPutsTheStandardToneBack) {
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVK_TEXTENHANCE_BRIGHTNESS, 40));
    Dialog();
    Slide(View(), 202, 255);
    Slide(View(), 212, 7);
    Click(View(), 220);
    Click(View(), 230);
    Slide(View(), 223, 1);
    Slide(View(), 233, 1);
    auto* reset = appkit::viewWithTag<QAbstractButton>(View(), 236);
    ASSERT_NE(reset, nullptr);
    EXPECT_TRUE(reset->isEnabled());
    EXPECT_TRUE(reset->focusPolicy() & Qt::TabFocus) << "reachable from the keyboard";
    reset->click();
    for (const TW_UINT16 id :
         {ICAP_BRIGHTNESS, ICAP_CONTRAST, BackTwin(ICAP_BRIGHTNESS), BackTwin(ICAP_CONTRAST)})
        EXPECT_EQ(Float(id), 0) << id;
    EXPECT_EQ(Int(CCAP_OVKM_BACKBRIGHTNESSENABLED), 0);
    EXPECT_EQ(Int(CCAP_OVKM_BACKCONTRASTENABLED), 0);
    EXPECT_NE(Int(CCAP_OVK_TEXTENHANCE_BRIGHTNESS), 40);
    EXPECT_EQ(GetItemIntValue(View(), 202), 128);
    EXPECT_EQ(GetItemString(View(), 214), "4");
    EXPECT_FALSE(appkit::viewWithTag(View(), 223)->isEnabled()) << "the back follows the front again";
}

TEST_F(ToneSettingsTest, TheGammaSliderMakesTheToneCustomAndAChannelChoiceDoesNot) {
    Dialog();
    EXPECT_EQ(GetMenuItemIntValue(Tone(), 240), 0);
    EXPECT_FALSE(appkit::viewWithTag(Tone(), 246)->isEnabled()) << "normal tone has no channels";
    Choose(Tone(), 240, 1);
    ASSERT_EQ(Int(CCAP_OVKM_GAMMAMODE), 1);
    Choose(Tone(), 246, 2);
    EXPECT_EQ(Editor()->activeChannel(), 2);
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVKM_GAMMAMODE, 0));
    Dialog();
    Choose(Tone(), 246, 1);
    EXPECT_EQ(Int(CCAP_OVKM_GAMMAMODE), 0);
    Slide(Tone(), 244, 20);
    EXPECT_EQ(Int(CCAP_OVKM_GAMMAMODE), 1);
    EXPECT_FLOAT_EQ(Float(CCAP_OVKM_REDGAMMA), 2.0f);
    EXPECT_EQ(GetItemString(Tone(), 245), "2.0");
    EXPECT_FLOAT_EQ(Float(CCAP_OVKM_GRAYGAMMA), 1.0f);
}

TEST_F(ToneSettingsTest, ACurveDrawnWithTheMouseIsTheChannelsTableInThePool) {
    Dialog();
    Choose(Tone(), 240, 1);
    Choose(Tone(), 247, GammaView::kFreeHandCurve);
    EXPECT_EQ(Int(CCAP_OVKM_GAMMAMETHOD) & 1, 1);
    EXPECT_FALSE(appkit::viewWithTag(Tone(), 244)->isEnabled()) << "a drawn curve has no gamma";
    const std::vector<QPoint> stroke{{1, 250}, {60, 200}, {130, 40}, {200, 30}, {257, 2}};
    Drag(stroke);
    const std::vector<QPointF> points(stroke.begin(), stroke.end());
    const ToneTable expected = CurveThroughPoints(IdentityToneTable(), points, QSizeF(256, 256));
    EXPECT_EQ(Curve(CCAP_OVKM_GRAYCURVE), expected);
    EXPECT_NE(expected, IdentityToneTable());
    EXPECT_EQ(Curve(CCAP_OVKM_REDCURVE), IdentityToneTable()) << "other channels keep theirs";

    // The gamma-value method takes the point's gamma, not the table.
    Choose(Tone(), 247, GammaView::kGammaValue);
    Drag({{65, 128}});
    EXPECT_NEAR(Float(CCAP_OVKM_GRAYGAMMA), 2.0f, 0.05f);
    EXPECT_EQ(Curve(CCAP_OVKM_GRAYCURVE), expected);
}

TEST_F(ToneSettingsTest, UserGammasAreSavedOfferedAndAppliedAndDamagedOnesAreReportedNotUsed) {
    fnd::PreferencesFile preferences(mEnv.PreferencesPath());
    preferences.set(kPrefUserGammaDatas, fnd::Array{GammaRecord("Stored", 1.5), GammaRecord("Torn", 1.5, 255),
                                                    GammaRecord(std::string(40, 'L'), 1.5)});
    ASSERT_TRUE(preferences.save());
    QString report;
    AnswerAlert("OK", &report);
    Dialog();
    EXPECT_TRUE(report.startsWith("2 ")) << report.toStdString();
    auto* modes = appkit::viewWithTag<QComboBox>(Tone(), 240);
    EXPECT_EQ(modes->findText("Torn"), -1);
    ASSERT_NE(modes->findText("Stored"), -1);

    Slide(Tone(), 244, 30);
    QTimer::singleShot(50, [] {
        auto* panel = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(GetItemString(panel, 920), "My tone curve");
        appkit::viewWithTag<QLineEdit>(panel, 920)->setText("  " + QString(40, u'T'));
        Click(panel, 921);
        EXPECT_EQ(GetItemString(panel, 920), "My tone curve");
        appkit::viewWithTag<QLineEdit>(panel, 920)->setText("   ");
        EXPECT_FALSE(appkit::viewWithTag(panel, 921)->isEnabled());
        Click(panel, 1);
    });
    Choose(Tone(), 240, modes->count() - 1);
    EXPECT_EQ(Int(CCAP_OVKM_GAMMAMODE), 2);
    EXPECT_EQ(GammaName(), std::string(32, 'T'));
    const fnd::PreferencesFile stored(mEnv.PreferencesPath());
    const fnd::Array* saved = stored.get(kPrefUserGammaDatas).asArray();
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->size(), 4u) << "the damaged records stay in the file, untouched";
    EXPECT_EQ(saved->back().asDictionary()->get("FrontGrayGamma").asDouble(), 3.0);

    Choose(Tone(), 240, modes->findText("Stored"));
    EXPECT_EQ(GammaName(), "Stored");
    EXPECT_FLOAT_EQ(Float(BackTwin(CCAP_OVKM_BLUEGAMMA)), 1.5f);
    EXPECT_EQ(Curve(CCAP_OVKM_GREENCURVE)[0], 9);
    EXPECT_EQ(modes->currentText(), "Stored");
}

TEST_F(ToneSettingsTest, CancellingTheUserGammaPanelKeepsTheFileAndThePreviousMode) {
    Dialog();
    Choose(Tone(), 240, 1);
    QTimer::singleShot(50, [] {
        auto* panel = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(panel, nullptr);
        Click(panel, 921);
        Click(panel, 0);
    });
    auto* modes = appkit::viewWithTag<QComboBox>(Tone(), 240);
    Choose(Tone(), 240, modes->count() - 1);
    EXPECT_EQ(Int(CCAP_OVKM_GAMMAMODE), 1);
    EXPECT_EQ(GetMenuItemIntValue(Tone(), 240), 1);
    const fnd::PreferencesFile stored(mEnv.PreferencesPath());
    EXPECT_EQ(stored.get(kPrefUserGammaDatas).asArray(), nullptr);
}

TEST_F(ToneSettingsTest, ImagePaletteControlsWriteTheirCapabilities) {
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVK_DATAORIENTATION, 4));
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVK_COLORENHANCE, 1));
    ASSERT_TRUE(SetCapSIntValue(Pool(), CCAP_OVK_DROPOUT, 2));
    Dialog();
    EXPECT_EQ(GetItemIntValue(Image(), 311), 3);
    EXPECT_EQ(GetItemIntValue(Image(), 362), 4) << "colour enhancement whatever the drop-out";
    Choose(Image(), 311, 0);
    EXPECT_EQ(Int(CCAP_OVK_DATAORIENTATION), 1);
    Choose(Image(), 302, 5);
    EXPECT_EQ(Int(CCAP_OVK_EDGEEMPHASIS), 5);
    Choose(Image(), 364, 4);
    EXPECT_EQ(Int(BackTwin(CCAP_OVK_DROPOUT)), 0);
    EXPECT_EQ(Int(BackTwin(CCAP_OVK_COLORENHANCE)), 1);
    Choose(Image(), 362, 3);
    EXPECT_EQ(Int(CCAP_OVK_DROPOUT), 3);
    EXPECT_EQ(Int(CCAP_OVK_COLORENHANCE), 0);
    EXPECT_FALSE(appkit::viewWithTag(Image(), 341)->isEnabled());
    Choose(Image(), 340, 0);
    EXPECT_EQ(Int(CCAP_OVK_BLEEDTHROUGH), 1);
    ASSERT_TRUE(appkit::viewWithTag(Image(), 341)->isEnabled());
    Slide(Image(), 341, 6);
    EXPECT_EQ(Int(CCAP_OVK_BLEEDTHROUGH_THRESHOLD), 6);
    Choose(Image(), 320, 0);
    EXPECT_EQ(Int(CCAP_OVK_REVERSESCANTYPE), 1);
    Click(View(), 330);
    EXPECT_EQ(Int(CCAP_OVK_RECOGNIZE_DIRECTION), 1);
    EXPECT_FALSE(appkit::viewWithTag(Image(), 311)->isEnabled())
        << "turned pages have no rotation of their own";
}

TEST_F(ToneSettingsTest, FeedingOptionsAndDoubleFeedMethodsWriteTheirCapabilities) {
    Dialog();
    Click(View(), 411);
    EXPECT_EQ(Int(CCAP_OVK_DETECTDBLFEED_LENGTH), 1) << "a scanner not read yet detects by length";
    EXPECT_EQ(Int(CCAP_OVK_DETECTDBLFEED_ULTRASONIC), 0);
    Click(View(), 411);
    EXPECT_EQ(Int(CCAP_OVK_DETECTDBLFEED_LENGTH), 0);
    EXPECT_FALSE(appkit::viewWithTag(Feeding(), 422)->isEnabled());
    Choose(Feeding(), 420, 2);
    EXPECT_EQ(Int(CCAP_OVK_MANUALFEED), 3);
    ASSERT_TRUE(appkit::viewWithTag(Feeding(), 422)->isEnabled());
    Slide(Feeding(), 422, 12);
    EXPECT_EQ(Int(CCAP_OVK_AUTOSTARTDELAY), 12);
    EXPECT_EQ(GetItemString(Feeding(), 423), "12 s");
    Choose(Feeding(), 420, 1);
    EXPECT_EQ(Int(CCAP_OVK_MANUALFEED), 2);
    Click(Feeding(), 400);
    EXPECT_EQ(Int(CCAP_OVK_FEEDER_JAMLESS), 1);
    Choose(Feeding(), 187, 2);
    EXPECT_EQ(Int(CCAP_OVKM_UNIT), 2);
}

TEST_F(ToneSettingsTest, Screenshots) {
    Dialog();
    Choose(Tone(), 240, 1);
    Choose(Tone(), 246, 1);
    Choose(Tone(), 247, GammaView::kFreeHandCurve);
    Tone()->show();
    QTest::qWait(20);
    Drag({{1, 250}, {60, 150}, {130, 60}, {200, 40}, {257, 2}});
    QTest::qWait(20);
    // The input ramp of the red channel runs from black to full red across the whole bar, at every scale
    // and however wide the palette is made.
    Tone()->resize(Tone()->width() + 80, Tone()->height());
    QTest::qWait(20);
    const QImage ramp = appkit::viewWithTag(Tone(), 248)->grab().toImage();
    EXPECT_LT(ramp.pixelColor(3, ramp.height() / 2).red(), 24);
    EXPECT_GT(ramp.pixelColor(ramp.width() - 4, ramp.height() / 2).red(), 239);
    Tone()->resize(Tone()->sizeHint());
    QTest::qWait(20);
    saveScreenshots(Tone(), "ds-tone-palette-curve");
    Tone()->hide();
    Image()->show();
    QTest::qWait(20);
    saveScreenshots(Image(), "ds-image-palette");
    Image()->hide();
    Choose(Feeding(), 420, 2);
    Feeding()->show();
    QTest::qWait(20);
    saveScreenshots(Feeding(), "ds-feeding-palette");
    Feeding()->hide();
    mController->window()->show();
    // At its natural size once shown: the offscreen screen is smaller than the dialog.
    mController->window()->resize(mController->window()->sizeHint());
    QTest::qWait(20);
    saveScreenshots(mController->window(), "ds-tone-advanced");
    QTimer::singleShot(50, [] {
        auto* panel = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(panel, nullptr);
        Click(panel, 921);
        appkit::viewWithTag<QLineEdit>(panel, 920)->setText("Receipts");
        Click(panel, 921);
        appkit::viewWithTag<QListWidget>(panel, 923)->setCurrentRow(1);
        QTest::qWait(20);
        saveScreenshots(panel, "ds-user-gamma-panel");
        Click(panel, 0);
    });
    auto* modes = appkit::viewWithTag<QComboBox>(Tone(), 240);
    Choose(Tone(), 240, modes->count() - 1);
}

} // namespace
