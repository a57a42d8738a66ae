// The recognised text reaches the layer as UTF-16 code units; anything that cannot be one becomes the
// replacement character instead of breaking the layer or the reader's copy. Recognition keeps to the
// thread that asks for it.
#include "test_pages.h"
#include "text_layer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

size_t threadsOfProcess() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<size_t>(std::distance(begin(tasks), end(tasks)));
}

// Tesseract's parallel loops would start threads of their own, which spin while they wait and starve
// every other program on a busy machine.
TEST(TextLayer, RecognitionRunsOnTheCallingThreadAlone) {
    const vlmtest::Page page =
        vlmtest::renderText({"Recognised on one thread", "and no other"}, 300, 420, 120);
    const vlm::ImageView view{page.pixels.data(), static_cast<size_t>(page.sync), page.width, page.height,
                              VLM_KIND_GRAY};
    std::thread([&] {
        vlm::Engine engine;
        ASSERT_EQ(vlm::startEngine(vlm::dataPathFor("eng"), "eng", engine), VLM_OK);
        const size_t before = threadsOfProcess();
        std::vector<vlm::OcrWord> words;
        ASSERT_EQ(vlm::recognizeWords(*engine, vlm::greyReduced(view, 1), 300, words), VLM_OK);
        EXPECT_EQ(threadsOfProcess(), before);
        EXPECT_EQ(words.size(), 7u);
    }).join();
}

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
