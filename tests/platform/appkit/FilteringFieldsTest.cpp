// Fields that refuse characters and length while the user types or pastes, driven by tag offscreen.
#include "FilteringFields.h"
#include "QtTestApp.h"
#include "Tags.h"

#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using appkit::FTextField;

class FilteringFieldsTest : public testing::Test {
protected:
    void SetUp() override {
        auto* name = new FTextField(&panel);
        appkit::setTag(name, 2103);
        name->setInvalidCharsInString("\r\n/:");
        name->setValidLength(10);
        auto* number = new FTextField(&panel);
        appkit::setTag(number, 2104);
        number->setValidCharsInString("1234567890");
        number->setValidLength(2);
        panel.show();
    }
    FTextField* field(int tag) { return appkit::viewWithTag<FTextField>(&panel, tag); }

    WithTestApplication app;
    QWidget panel;
};

TEST_F(FilteringFieldsTest, PastedTextWithARefusedCharacterInsertsNothing) {
    FTextField* name = field(2103);
    QTest::keyClicks(name, "scan");
    QGuiApplication::clipboard()->setText("a/b");
    name->paste();
    EXPECT_EQ(name->text(), "scan");
    QGuiApplication::clipboard()->setText("_01");
    name->paste();
    EXPECT_EQ(name->text(), "scan_01");
    QGuiApplication::clipboard()->setText("line\nbreak");
    name->paste();
    EXPECT_EQ(name->text(), "scan_01");
    QGuiApplication::clipboard()->setText("toolong");
    name->paste();
    EXPECT_EQ(name->text(), "scan_01");
}

TEST_F(FilteringFieldsTest, ANumberFieldKeepsToItsDigitsAndLength) {
    FTextField* number = field(2104);
    QTest::keyClicks(number, "1 -\r2");
    EXPECT_EQ(number->text(), "12");
    QTest::keyClicks(number, "3");
    EXPECT_EQ(number->text(), "12");
    number->setSelection(1, 1); // replacing one of two characters keeps the length
    QTest::keyClicks(number, "9");
    EXPECT_EQ(number->text(), "19");
    QTest::keyClick(number, Qt::Key_Backspace);
    EXPECT_EQ(number->text(), "1");
}

TEST_F(FilteringFieldsTest, ShorteningIsAllowedEvenAboveTheLimit) {
    FTextField* number = field(2104);
    number->setText("12345"); // set by the program, not typed
    number->end(false);
    QTest::keyClick(number, Qt::Key_Backspace);
    EXPECT_EQ(number->text(), "1234");
    QTest::keyClicks(number, "5");
    EXPECT_EQ(number->text(), "1234");
}

TEST_F(FilteringFieldsTest, AComboBoxFiltersAlike) {
    appkit::FComboBox combo(&panel);
    combo.setValidCharsInString("0123456789");
    combo.setValidLength(3);
    QTest::keyClicks(combo.lineEdit(), "4a5x67");
    EXPECT_EQ(combo.currentText(), "456");
}

TEST_F(FilteringFieldsTest, ALabelGreysWithItsControl) {
    auto* box = new QWidget(&panel);
    auto* control = new QPushButton(box);
    auto* label = new appkit::FStaticTextField(box);
    label->setRelatedControl(control);
    auto* free = new appkit::FStaticTextField(box);
    control->setEnabled(false);
    appkit::FStaticTextField::syncStaticTextInView(&panel);
    EXPECT_FALSE(label->isEnabled());
    EXPECT_TRUE(free->isEnabled());
    control->setEnabled(true);
    appkit::FStaticTextField::syncStaticTextInView(&panel);
    EXPECT_TRUE(label->isEnabled());
}

} // namespace
