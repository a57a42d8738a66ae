// A sheet fed askew: the text layer of its page against the one Tesseract's own PDF renderer makes of the
// same image, both read back by pdftotext in the order the page draws them (its layout analysis breaks
// the words of turned text apart whoever wrote them), and no larger.
#include "test_pages.h"
#include "vellumv2.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// The text with every run of white space as one space, and one at each end, for phrase search.
std::string spaced(const std::string& text) {
    std::string joined = " ";
    for (const std::string& word : wordsOf(text))
        joined += word + " ";
    return joined;
}

struct Layer {
    std::string text; // as pdftotext reads it in drawing order
    uintmax_t bytes = 0;
};

int32_t writeDocument(const vlmtest::Page& page, const std::string& path, bool withText) {
    const PdfPageImageDesc desc = page.desc();
    if (const int32_t r = VLMC_exmodeset(VLM_MODE_COMPRESS, withText ? uint32_t{VLM_LANG_ENGLISH} : 0u, 0);
        r != VLM_OK)
        return r;
    if (const int32_t r = VLMC_exopen(path.c_str(), withText ? VLM_OPEN_PDF_OCR : VLM_OPEN_PDF, 0);
        r != VLM_OK)
        return r;
    if (const int32_t r = VLMC_spmake(&desc, nullptr); r != VLM_OK)
        return r;
    return VLMC_exclose(0);
}

// The text layer's bytes are what the document grows by over the same page without one.
Layer ourLayer(const vlmtest::Page& page, const std::string& folder) {
    EXPECT_EQ(writeDocument(page, folder + "/ours.pdf", true), VLM_OK);
    EXPECT_EQ(writeDocument(page, folder + "/plain.pdf", false), VLM_OK);
    return {vlmtest::run("pdftotext -raw '" + folder + "/ours.pdf' -"),
            std::filesystem::file_size(folder + "/ours.pdf") -
                std::filesystem::file_size(folder + "/plain.pdf")};
}

// Tesseract's own PDF renderer in its text-only form: the whole file is its text layer.
Layer theirLayer(const vlmtest::Page& page, const std::string& folder) {
    std::ofstream(folder + "/page.pgm", std::ios::binary)
        << "P5\n"
        << page.width << " " << page.height << "\n255\n"
        << std::string(page.pixels.begin(), page.pixels.end());
    int status = -1;
    vlmtest::run("cd '" + folder + "' && OMP_THREAD_LIMIT=1 tesseract page.pgm theirs -l eng --dpi " +
                     std::to_string(page.resolution) + " -c textonly_pdf=1 pdf >/dev/null 2>&1",
                 &status);
    EXPECT_EQ(status, 0);
    return {vlmtest::run("pdftotext -raw '" + folder + "/theirs.pdf' -"),
            std::filesystem::file_size(folder + "/theirs.pdf")};
}

TEST(TiltedPage, WordsAndPhrasesAreFoundAsInTesseractsOwnLayer) {
    for (const double tilt : {2.5, 4.0}) {
        SCOPED_TRACE("tilted " + std::to_string(tilt) + " degrees");
        const vlmtest::TextStyle style{"Times-Roman", 11, tilt};
        std::vector<std::string> lines = vlmtest::proseLines(style);
        lines.resize(lines.size() / 2); // half a page is evidence enough, at half the time
        const vlmtest::Page page = vlmtest::renderText(lines, 300, 595, 440, style);
        const std::string folder = vlmtest::scratchFolder("tilted");
        const Layer ourPdf = ourLayer(page, folder);
        const Layer theirPdf = theirLayer(page, folder);
        EXPECT_LE(ourPdf.bytes, theirPdf.bytes);
        const std::string& ours = ourPdf.text;
        const std::string& theirs = theirPdf.text;

        std::map<std::string, int> ourWords;
        for (const std::string& word : wordsOf(ours))
            ++ourWords[word];
        const std::vector<std::string> theirWords = wordsOf(theirs);
        size_t found = 0;
        for (const std::string& word : theirWords)
            found += ourWords[word]-- > 0 ? 1 : 0;
        ASSERT_GT(theirWords.size(), 250u);
        EXPECT_GE(found, theirWords.size() * 95 / 100) << ours;

        // Every three words in a row of the page that Tesseract's layer lets a reader find.
        const std::string ourPhrases = spaced(ours);
        const std::string theirPhrases = spaced(theirs);
        size_t phrases = 0;
        size_t ourFinds = 0;
        for (const std::string& line : lines) {
            const std::vector<std::string> words = wordsOf(line);
            for (size_t i = 0; i + 2 < words.size(); ++i) {
                const std::string phrase = " " + words[i] + " " + words[i + 1] + " " + words[i + 2] + " ";
                if (theirPhrases.find(phrase) == std::string::npos)
                    continue;
                ++phrases;
                ourFinds += ourPhrases.find(phrase) != std::string::npos ? 1 : 0;
            }
        }
        ASSERT_GT(phrases, 150u);
        EXPECT_GE(ourFinds, phrases * 95 / 100) << ours;
    }
}

} // namespace
