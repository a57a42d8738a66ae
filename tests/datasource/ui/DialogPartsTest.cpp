// The dialog's building blocks on widgets made here: the item functions on each kind of control, the
// keyboard order, the title markup and the loading of interface files.
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "KeyViewLoop.h"
#include "QSUIPreferences.h"
#include "QtTestApp.h"
#include "ResourcePeeker.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

using appkit::tagged;

class DialogParts : public ::testing::Test, public WithTestApplication {
protected:
    QWidget mView;
};

TEST_F(DialogParts, PopUpSelectionIgnoresIndicesPastTheEndAndClearsOnNegative) {
    auto* popUp = tagged(new QComboBox(&mView), 5);
    for (int i = 0; i < 5; ++i)
        popUp->addItem(QString::number(i), 100 + i);
    for (int i = 0; i < 5; ++i)
        popUp->setItemData(i, 100 + i, appkit::kItemTagRole);
    SetItemIntValue(&mView, 5, 3);
    EXPECT_EQ(GetItemIntValue(&mView, 5), 3);
    EXPECT_EQ(GetMenuItemIntValue(&mView, 5), 103);
    SetItemIntValue(&mView, 5, 5);
    EXPECT_EQ(GetItemIntValue(&mView, 5), 3);
    SetItemIntValue(&mView, 5, -1);
    EXPECT_EQ(GetItemIntValue(&mView, 5), -1);
    EXPECT_EQ(GetMenuItemIntValue(&mView, 5), -1);
    SetMenuItemIntValue(&mView, 5, 101);
    EXPECT_EQ(GetItemIntValue(&mView, 5), 1);
    SetMenuItemIntValue(&mView, 5, 999);
    EXPECT_EQ(GetItemIntValue(&mView, 5), 1);
    EXPECT_EQ(GetMenuItemWithTag(&mView, 5, 104), 4);
    EXPECT_EQ(GetMenuItemWithTag(&mView, 5, 99), std::nullopt);
}

TEST_F(DialogParts, EachControlKindReadsAndWritesItsOwnValue) {
    auto* box = tagged(new QCheckBox(&mView), 1);
    auto* slider = tagged(new QSlider(&mView), 2);
    slider->setRange(0, 255);
    auto* field = tagged(new QLineEdit(&mView), 3);
    auto* tabs = tagged(new QTabWidget(&mView), 4);
    tabs->addTab(new QWidget, "a");
    tabs->addTab(new QWidget, "b");
    SetItemIntValue(&mView, 1, 1);
    SetItemIntValue(&mView, 2, 128);
    SetItemIntValue(&mView, 3, 42);
    SetItemIntValue(&mView, 4, 1);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(slider->value(), 128);
    EXPECT_EQ(field->text(), "42");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(GetItemIntValue(&mView, 1), 1);
    EXPECT_EQ(GetItemIntValue(&mView, 3), 42);
    SetItemString(&mView, 1, "Duplex");
    EXPECT_EQ(GetItemString(&mView, 1), "Duplex");
    SetItemHidden(&mView, 2, true);
    EXPECT_TRUE(slider->isHidden());
}

TEST_F(DialogParts, MissingControlsAnswerNothingAndChangeNothing) {
    EXPECT_EQ(GetItemIntValue(&mView, 77), -1);
    EXPECT_EQ(GetMenuItemIntValue(&mView, 77), -1);
    EXPECT_EQ(GetItemString(&mView, 77), std::nullopt);
    SetItemIntValue(&mView, 77, 1);
    SetItemEnabled(&mView, 77, false);
    SetItemString(&mView, 77, "x");
    EXPECT_TRUE(mView.isEnabled());
}

TEST_F(DialogParts, ImageViewShowsItsGreyImageWhileDisabled) {
    QPixmap normal(4, 4);
    normal.fill(Qt::blue);
    QPixmap grey(4, 4);
    grey.fill(Qt::gray);
    auto* image = tagged(new QLabel(&mView), 9);
    image->setProperty(kItemStateImagesProperty, QVariantList{normal, grey});
    SetItemEnabled(&mView, 9, false);
    EXPECT_FALSE(image->isEnabled());
    EXPECT_EQ(image->pixmap().toImage().pixelColor(0, 0), QColor(Qt::gray));
    SetItemEnabled(&mView, 9, true);
    EXPECT_EQ(image->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(DialogParts, ReadingOrderJoinsRowsWithin8Pixels) {
    auto* right = new QPushButton(&mView);
    right->setGeometry(100, 16, 50, 20);
    auto* left = new QPushButton(&mView);
    left->setGeometry(10, 10, 50, 20); // 6 pixels higher: the same row
    auto* below = new QPushButton(&mView);
    below->setGeometry(0, 25, 50, 20); // 9 pixels below the right one: the next row
    EXPECT_EQ(ArrangeView(left, right), -1);
    EXPECT_EQ(ArrangeView(right, below), -1);
    EXPECT_EQ(ArrangeView(below, left), 1);
    EXPECT_EQ(GetDeepSubViews(&mView), (QList<QWidget*>{&mView, left, right, below}));
}

TEST_F(DialogParts, AScrollAreaListsItselfAndTheChildrenOfWhatItScrolls) {
    auto* scroll = new QScrollArea(&mView);
    auto* document = new QWidget;
    auto* second = new QPushButton(document);
    second->setGeometry(0, 40, 10, 10);
    auto* first = new QPushButton(document);
    first->setGeometry(0, 0, 10, 10);
    scroll->setWidget(document);
    EXPECT_EQ(GetDeepSubViews(scroll), (QList<QWidget*>{scroll, first, second}));
    EXPECT_TRUE(IsFullKeyboardAccessInView(document));
    EXPECT_FALSE(IsFullKeyboardAccessInView(first));
}

TEST_F(DialogParts, KeyLoopFollowsReadingOrder) {
    auto* second = new QLineEdit(&mView);
    second->setGeometry(10, 60, 80, 20);
    auto* first = new QLineEdit(&mView);
    first->setGeometry(10, 10, 80, 20);
    RecalcKeyViewLoop(&mView);
    QWidget* next = first->nextInFocusChain();
    while (next != first && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, second);
}

TEST_F(DialogParts, TitleMarkupSetsTheFontSizeAndKeepsOnlyTheText) {
    const STitleMarkup markup = ParseTitleMarkup("Scan$$FNSZ:11,FRAM:1");
    EXPECT_EQ(markup.title, "Scan");
    EXPECT_EQ(markup.fontSize, 11.0);
    const STitleMarkup plain = ParseTitleMarkup("Scan settings");
    EXPECT_EQ(plain.title, "Scan settings");
    EXPECT_EQ(plain.fontSize, std::nullopt);

    purposelyMissingTextKeys().insert("Unlisted$$FNSZ:11");
    auto* button = new QPushButton("Unlisted$$FNSZ:11", &mView);
    const QString family = button->font().family();
    ResourcePeeker(button);
    EXPECT_EQ(button->text(), "Unlisted");
    EXPECT_EQ(button->font().pointSizeF(), 11.0);
    EXPECT_EQ(button->font().family(), family);
}

// What the dialog keeps as text in the preferences file reads back as written; a damaged or foreign value
// reads as none, and so does a window frame no window manager draws (it would push every place off the
// screen and past the coordinates' range).
TEST_F(DialogParts, StoredPlacesReadBackAsWrittenAndNothingElse) {
    EXPECT_EQ(ParseFrameString(FrameString(QRect(-20, 30, 640, 480))), QRect(-20, 30, 640, 480));
    EXPECT_EQ(ParsePointString(PointString(QPoint(-5, 7))), QPoint(-5, 7));
    EXPECT_EQ(ParseMarginsString(MarginsString(QMargins(1, 20, 1, 5))), QMargins(1, 20, 1, 5));
    for (const char* damaged : {"", "{1, 2", "{{1, 2}, {0, 4}}", "{1, 2} x", "{99999999999, 1}"}) {
        EXPECT_FALSE(ParseFrameString(damaged)) << damaged;
        EXPECT_FALSE(ParsePointString(damaged)) << damaged;
    }
    for (const char* foreign :
         {"{1, 20, 1}", "{-1, 20, 1, 5}", "{1, 2000000000, 1, 5}", "{1, 99999999999, 1, 5}"})
        EXPECT_FALSE(ParseMarginsString(foreign)) << foreign;
}

class InterfaceFiles : public DialogParts {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "k3100-ui-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mDir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(mDir); }
    std::filesystem::path Write(const std::string& name, const std::string& text) {
        std::ofstream(mDir / name) << text;
        return mDir / name;
    }
    static std::string Form(const std::string& className) {
        return R"(<?xml version="1.0" encoding="UTF-8"?><ui version="4.0"><class>Form</class>
<widget class="QWidget" name="Form"><layout class="QVBoxLayout" name="l">
<item><widget class=")" +
               className +
               R"(" name="field"><property name="tag" stdset="0"><number>7</number></property></widget></item>
</layout></widget><customwidgets><customwidget><class>)" +
               className +
               R"(</class><extends>QLineEdit</extends><header>x.h</header></customwidget></customwidgets>
</ui>)";
    }
    std::filesystem::path mDir;
};

TEST_F(InterfaceFiles, ShortClassNamesBecomeTheDialogsClassesAndUnknownOnesPlainWidgets) {
    int made = 0;
    const UiClassMap classes{{"FTextField", [&made](QWidget* parent) {
                                  ++made;
                                  return new QLineEdit(parent);
                              }}};
    const std::unique_ptr<QWidget> mapped = LoadUiFile(Write("a.ui", Form("FTextField")), classes, nullptr);
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(made, 1);
    EXPECT_NE(appkit::viewWithTag<QLineEdit>(mapped.get(), 7), nullptr);

    testing::internal::CaptureStderr();
    const std::unique_ptr<QWidget> unknown =
        LoadUiFile(Write("b.ui", Form("QProcessLauncher")), classes, nullptr);
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_NE(unknown, nullptr);
    QWidget* standIn = appkit::viewWithTag(unknown.get(), 7);
    ASSERT_NE(standIn, nullptr);
    EXPECT_STREQ(standIn->metaObject()->className(), "QWidget");
    EXPECT_NE(log.find("QProcessLauncher"), std::string::npos);
}

TEST_F(InterfaceFiles, MissingOrDamagedFilesLoadNothingAndNameTheFile) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadUiFile(mDir / "absent.ui", {}, nullptr), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("absent.ui"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadUiFile(Write("torn.ui", Form("QLineEdit").substr(0, 120)), {}, nullptr), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("torn.ui"), std::string::npos);
}

TEST_F(InterfaceFiles, TheVisitorSeesChildrenBeforeTheirParent) {
    const std::unique_ptr<QWidget> form = LoadUiFile(Write("c.ui", Form("QLineEdit")), {}, nullptr);
    ASSERT_NE(form, nullptr);
    QList<QWidget*> seen;
    PeekSubviews(form.get(), [&seen](QWidget* element) { seen.append(element); });
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.back(), form.get());
    EXPECT_LT(seen.indexOf(appkit::viewWithTag(form.get(), 7)), seen.indexOf(form.get()));
}

// Each alert of the dialog is titled and pictured by its kind, as the applications' alerts are: a
// question is no "Error" with the error's icon.
TEST(DialogAlerts, TitleAndIconFollowTheKind) {
    testApplication();
    struct SSeen {
        QString title;
        QImage icon;
    };
    std::map<appkit::AlertKind, SSeen> seen;
    for (const appkit::AlertKind kind :
         {appkit::AlertKind::Question, appkit::AlertKind::Warning, appkit::AlertKind::Error}) {
        QTimer::singleShot(50, [&seen, kind] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen[kind] = {box->windowTitle(), box->iconPixmap().toImage()};
            box->buttons().front()->click();
        });
        RunDialogAlert(kind, nullptr, QStringLiteral("Reset the counter?"), {},
                       kind == appkit::AlertKind::Question);
    }
    EXPECT_EQ(seen[appkit::AlertKind::Question].title, "Confirm");
    EXPECT_EQ(seen[appkit::AlertKind::Warning].title, "Warning");
    EXPECT_EQ(seen[appkit::AlertKind::Error].title, "Error");
    EXPECT_FALSE(seen[appkit::AlertKind::Question].icon.isNull());
    EXPECT_NE(seen[appkit::AlertKind::Question].icon, seen[appkit::AlertKind::Error].icon);
}

} // namespace
