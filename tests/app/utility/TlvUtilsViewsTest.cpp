// The view helpers on real widgets, offscreen.
#include "QtTestApp.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

class TlvUtilsViewsTest : public testing::Test {
protected:
    void SetUp() override { testApplication(); }
};

TEST_F(TlvUtilsViewsTest, FindsViewsByTag) {
    QWidget parent;
    auto* child = new QLabel("x", &parent);
    appkit::setTag(child, 1108);
    EXPECT_EQ(TlvUtilsMethod::itemInViewFromTag(&parent, 1108), child);
    EXPECT_EQ(TlvUtilsMethod::itemInViewFromTag(&parent, 1109), nullptr);
    EXPECT_EQ(TlvUtilsMethod::itemInViewFromTag(nullptr, 1108), nullptr);
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
