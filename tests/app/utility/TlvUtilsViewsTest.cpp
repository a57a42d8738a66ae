// The localising walk and the view helpers on real widgets, offscreen.
#include "QtTestApp.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class TlvUtilsViewsTest : public testing::Test {
protected:
    void SetUp() override { testApplication(); }
};

TEST_F(TlvUtilsViewsTest, LocalisesTextsAndAppliesTheirLayout) {
    QWidget panel;
    auto* plain = new QLabel("Plain title", &panel);
    auto* keyed = new QPushButton("Err_NotFoundFile", &panel);
    auto* emptyList = new QLabel("Ends here$$", &panel);
    auto* moved = new QLabel("Moved$$FRAM:10$20", &panel);
    moved->setGeometry(1, 2, 30, 40);
    auto* same = new QLabel("Same$$FRAM:1$2$30$40,FNSZ:17", &panel);
    same->setGeometry(1, 2, 30, 40);
    auto* table = new QTableWidget(0, 2, &panel);
    table->setHorizontalHeaderItem(0, new QTableWidgetItem("Wide$$TCWD:123"));
    table->setHorizontalHeaderItem(1, new QTableWidgetItem("Kept$$TCWD:0"));
    const int keptWidth = table->columnWidth(1);
    auto* tabs = new QTabWidget(&panel);
    tabs->addTab(new QWidget, "Tab$$FNSZ:21");

    TlvUtilsMethod::AllViewLoad({&panel, nullptr});

    EXPECT_EQ(plain->text(), "Plain title");
    EXPECT_NE(keyed->text(), "Err_NotFoundFile"); // the string table's text
    EXPECT_FALSE(keyed->text().isEmpty());
    EXPECT_EQ(emptyList->text(), "Ends here");
    EXPECT_EQ(moved->text(), "Moved");
    EXPECT_EQ(moved->geometry(), QRect(10, 20, 30, 40));
    EXPECT_EQ(same->geometry(), QRect(1, 2, 30, 40));
    EXPECT_EQ(same->font().pointSizeF(), 17.0);
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Wide");
    EXPECT_EQ(table->columnWidth(0), 123);
    EXPECT_EQ(table->columnWidth(1), keptWidth);
    EXPECT_EQ(tabs->tabText(0), "Tab");
    EXPECT_EQ(tabs->font().pointSizeF(), 21.0);
}

TEST_F(TlvUtilsViewsTest, FindsAddsAndRemovesViews) {
    QWidget parent;
    auto* layout = new QVBoxLayout(&parent);
    QWidget* child = new QLabel("x");
    appkit::setTag(child, 1108);
    EXPECT_EQ(TlvUtilsMethod::itemInViewFromTag(&parent, 1108), nullptr);
    TlvUtilsMethod::addViewInParentView(&parent, child);
    TlvUtilsMethod::addViewInParentView(&parent, child);
    EXPECT_EQ(layout->count(), 1);
    EXPECT_EQ(TlvUtilsMethod::itemInViewFromTag(&parent, 1108), child);
    EXPECT_EQ(TlvUtilsMethod::itemInViewFromTag(nullptr, 1108), nullptr);

    TlvUtilsMethod::removeViewInParentView(&parent, child);
    EXPECT_FALSE(TlvUtilsMethod::isAddedView(&parent, child));
    EXPECT_EQ(layout->count(), 0);
    delete child; // the caller owns a removed view
}

TEST_F(TlvUtilsViewsTest, TextColourAndElidedText) {
    QLabel label("Counter");
    TlvUtilsMethod::setEnabledForText(false, &label);
    EXPECT_EQ(label.palette().color(QPalette::Active, QPalette::WindowText),
              QApplication::palette(&label).color(QPalette::Disabled, QPalette::WindowText));
    EXPECT_TRUE(label.isEnabled());

    const QFontMetrics metrics(label.font());
    const QString longText = "A rather long value that cannot fit";
    const QString tail = TlvUtilsMethod::attrStrForLineBreak(
        longText, TlvUtilsMethod::LineBreakMode::TruncatingTail, metrics, 60);
    EXPECT_LE(metrics.horizontalAdvance(tail), 60);
    EXPECT_TRUE(tail.startsWith("A"));
    EXPECT_EQ(TlvUtilsMethod::attrStrForLineBreak(longText, TlvUtilsMethod::LineBreakMode::WordWrapping,
                                                  metrics, 60),
              longText);
    EXPECT_TRUE(TlvUtilsMethod::attrStrForLineBreak("", TlvUtilsMethod::LineBreakMode::Clipping, metrics, 60)
                    .isNull());
}

} // namespace
