// The recognised text reaches the layer as UTF-16 code units; anything that cannot be one becomes the
// replacement character instead of breaking the layer or the reader's copy.
#include "text_layer.h"

#include <gtest/gtest.h>

namespace {

TEST(TextLayer, Utf8BecomesUtf16CodeUnits) {
    EXPECT_EQ(vlm::utf16OfUtf8("Ab 1"), u"Ab 1");
    EXPECT_EQ(vlm::utf16OfUtf8("\xC3\xA9t\xC3\xA9"), u"\u00E9t\u00E9");       // été
    EXPECT_EQ(vlm::utf16OfUtf8("\xE6\x97\xA5\xE6\x9C\xAC"), u"\u65E5\u672C"); // Japanese
    EXPECT_EQ(vlm::utf16OfUtf8("\xF0\x9F\x98\x80"), u"\uFFFD");               // beyond 16 bits
    EXPECT_EQ(vlm::utf16OfUtf8("a\xFF"
                               "b"),
              u"a\uFFFDb");
    EXPECT_EQ(vlm::utf16OfUtf8("a\xE6\x97"), u"a\uFFFD\uFFFD"); // cut short
    EXPECT_EQ(vlm::utf16OfUtf8("\xED\xA0\x80"), u"\uFFFD");     // a lone surrogate
}

} // namespace
