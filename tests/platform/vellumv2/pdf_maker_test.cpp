// The document maker seen from outside: files are checked with qpdf, pdfimages and pdftotext, the tools
// a user's readers resemble, rather than by re-reading our own bytes.
#include "FileSizeLimit.h"
#include "recognition_pool.h"
#include "test_pages.h"
#include "vellumv2.h"

#include <algorithm>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using vlmtest::Page;
namespace fs = std::filesystem;

const std::vector<std::string> kText = {
    "Invoice number 4711 for scanning services",
    "Searchable documents keep their words",
};

const Page& textPage() {
    static const Page page = vlmtest::renderText(kText, 150, 420, 120);
    return page;
}

int32_t startDocument(const std::string& path, int32_t mode, uint32_t languages, int32_t quality = 75) {
    if (int32_t r = VLMC_exmodeset(mode, languages, 0); r != VLM_OK)
        return r;
    if (int32_t r = VLMC_exopen(path.c_str(), languages != 0 ? VLM_OPEN_PDF_OCR : VLM_OPEN_PDF, 0);
        r != VLM_OK)
        return r;
    const VlmSubModeOptions options{1, 16, 497, 0, 0};
    const VlmSubModeQuality q{1, 8, quality};
    if (int32_t r = VLMC_submodeset(VLM_SUBMODE_OPTIONS, &options); r != VLM_OK)
        return r;
    return VLMC_submodeset(VLM_SUBMODE_QUALITY, &q);
}

int32_t addPage(const Page& page, const PdfPageRect* rect = nullptr) {
    const PdfPageImageDesc desc = page.desc();
    return VLMC_spmake(&desc, rect);
}

// Rows of `pdfimages -list`: page, width, height, colour, bits per component, encoding.
std::vector<std::string> imageRows(const std::string& path) {
    std::istringstream lines(vlmtest::run("pdfimages -list '" + path + "'"));
    std::vector<std::string> rows;
    std::string line;
    for (int skip = 0; skip < 2 && std::getline(lines, line); ++skip) {
    }
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string page, num, type, width, height, colour, comp, bpc, enc;
        fields >> page >> num >> type >> width >> height >> colour >> comp >> bpc >> enc;
        rows.push_back(page + " " + width + "x" + height + " " + colour + " " + bpc + " " + enc);
    }
    return rows;
}

std::string decodedPixels(const std::string& path, const std::string& expectedMagic) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, max = 0;
    in >> magic >> width >> height;
    if (magic != "P4")
        in >> max;
    in.get();
    EXPECT_EQ(magic, expectedMagic);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void expectValid(const std::string& path) {
    int status = -1;
    const std::string report = vlmtest::run("qpdf --check '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << report;
}

TEST(PdfMaker, EachImageKindBecomesAPageWithItsEncoding) {
    const std::string path = vlmtest::scratchFolder("kinds") + "/kinds.pdf";
    const Page grey = textPage();
    ASSERT_EQ(startDocument(path, VLM_MODE_COMPRESS, 0, 50), VLM_OK);
    ASSERT_EQ(addPage(vlmtest::toBgr(grey)), VLM_OK);
    ASSERT_EQ(addPage(grey), VLM_OK);
    ASSERT_EQ(addPage(vlmtest::toBw(grey)), VLM_OK);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(path);
    const std::string size = std::to_string(grey.width) + "x" + std::to_string(grey.height);
    EXPECT_EQ(imageRows(path),
              (std::vector<std::string>{"1 " + size + " rgb 8 jpeg", "2 " + size + " gray 8 jpeg",
                                        "3 " + size + " gray 1 ccitt"}));
    // The page keeps the size of the paper that was scanned.
    const std::string info = vlmtest::run("pdfinfo '" + path + "'");
    EXPECT_NE(info.find("Page size:       420 x 120 pts"), std::string::npos) << info;
}

TEST(PdfMaker, LosslessPagesGiveBackTheirPixels) {
    const std::string folder = vlmtest::scratchFolder("lossless");
    Page colour = vlmtest::toBgr(textPage());
    colour.pixels[0] = 10; // blue of the first pixel, to see the sample order
    colour.pixels[2] = 200;
    ASSERT_EQ(startDocument(folder + "/plain.pdf", VLM_MODE_PLAIN, 0), VLM_OK);
    ASSERT_EQ(addPage(colour), VLM_OK);
    ASSERT_EQ(addPage(vlmtest::toBw(textPage())), VLM_OK);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(folder + "/plain.pdf");
    const std::vector<std::string> rows = imageRows(folder + "/plain.pdf");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].find("rgb 8 image"), std::string::npos) << rows[0];

    // pdfimages decodes to PPM (red, green, blue) and PBM (1 = black, rows padded to bytes, as ours).
    vlmtest::run("pdfimages '" + folder + "/plain.pdf' '" + folder + "/raw'");
    const std::string ppm = decodedPixels(folder + "/raw-000.ppm", "P6");
    ASSERT_EQ(ppm.size(), colour.pixels.size());
    EXPECT_EQ(static_cast<uint8_t>(ppm[0]), 200);
    EXPECT_EQ(static_cast<uint8_t>(ppm[2]), 10);
    const Page bw = vlmtest::toBw(textPage());
    std::string pbm = decodedPixels(folder + "/raw-001.pbm", "P4");
    ASSERT_EQ(pbm.size(), bw.pixels.size());
    // pdfimages sets the bits past the width.
    const auto padding = static_cast<char>(bw.width % 8 != 0 ? 0xFF >> (bw.width % 8) : 0);
    for (size_t end = static_cast<size_t>(bw.sync); end <= pbm.size(); end += static_cast<size_t>(bw.sync))
        pbm[end - 1] = static_cast<char>(pbm[end - 1] & ~padding);
    EXPECT_TRUE(pbm == std::string(bw.pixels.begin(), bw.pixels.end()));
}

// Text above a band of smooth shading and a band of noise, so that the row filters of the lossless
// encoding all come into play: every sample must come back.
Page variedPage() {
    Page page = textPage();
    uint32_t state = 7;
    for (int32_t y = page.height / 3; y < page.height; ++y)
        for (int32_t x = 0; x < page.width; ++x) {
            state = state * 1103515245u + 12345u;
            const bool noisy = y >= 2 * page.height / 3;
            page.pixels[static_cast<size_t>(y) * static_cast<size_t>(page.sync) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(noisy ? state >> 24 : (x + 2 * y) & 0xFF);
        }
    return page;
}

TEST(PdfMaker, LosslessGreyAndColourComeBackSampleForSample) {
    const std::string folder = vlmtest::scratchFolder("samples");
    const Page grey = variedPage();
    Page colour = vlmtest::toBgr(grey);
    for (size_t i = 0; i < colour.pixels.size(); i += 3)
        colour.pixels[i] = static_cast<uint8_t>(colour.pixels[i] ^ (i / 3)); // blue apart from the others
    ASSERT_EQ(startDocument(folder + "/plain.pdf", VLM_MODE_PLAIN, 0), VLM_OK);
    ASSERT_EQ(addPage(grey), VLM_OK);
    ASSERT_EQ(addPage(colour), VLM_OK);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(folder + "/plain.pdf");
    // pdfimages writes both as PPM, grey in every sample.
    vlmtest::run("pdfimages '" + folder + "/plain.pdf' '" + folder + "/raw'");
    std::string expectedGrey;
    std::string expectedRgb;
    for (int32_t y = 0; y < grey.height; ++y)
        for (int32_t x = 0; x < grey.width; ++x) {
            const auto sample = static_cast<char>(grey.pixels[static_cast<size_t>(y * grey.sync + x)]);
            expectedGrey += {sample, sample, sample};
            const uint8_t* bgr = &colour.pixels[static_cast<size_t>(y * colour.sync + 3 * x)];
            expectedRgb += {static_cast<char>(bgr[2]), static_cast<char>(bgr[1]), static_cast<char>(bgr[0])};
        }
    EXPECT_TRUE(decodedPixels(folder + "/raw-000.ppm", "P6") == expectedGrey);
    EXPECT_TRUE(decodedPixels(folder + "/raw-001.ppm", "P6") == expectedRgb);
}

TEST(PdfMaker, FileSizeAfterTheLastPageIsTheFinishedFileSize) {
    const std::string path = vlmtest::scratchFolder("size") + "/size.pdf";
    ASSERT_EQ(startDocument(path, VLM_MODE_PLAIN, 0), VLM_OK);
    uint32_t previous = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(addPage(textPage()), VLM_OK);
        uint32_t size = 0;
        ASSERT_EQ(VLMC_getFileSize(&size), VLM_OK);
        EXPECT_GT(size, previous);
        previous = size;
    }
    EXPECT_FALSE(fs::exists(path)); // only the finished file carries the name
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    EXPECT_EQ(fs::file_size(path), previous);
    uint32_t size = 1;
    EXPECT_EQ(VLMC_getFileSize(&size), VLM_ERR_NOTOPEN);
    EXPECT_EQ(size, 0u);
}

// Left edge (points) of the first word of a page as pdftotext places it.
double firstWordLeft(const std::string& path, int page) {
    const std::string boxes = vlmtest::run("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " '" + path + "' -");
    const size_t word = boxes.find("<word xMin=\"");
    return word == std::string::npos ? -1.0 : std::stod(boxes.substr(word + 12));
}

TEST(PdfMaker, TextLayerMakesTheScannedWordsSearchable) {
    const std::string path = vlmtest::scratchFolder("ocr") + "/ocr.pdf";
    ASSERT_EQ(startDocument(path, VLM_MODE_COMPRESS, VLM_LANG_ENGLISH), VLM_OK);
    ASSERT_EQ(addPage(vlmtest::toBw(textPage())), VLM_OK);
    ASSERT_EQ(addPage(vlmtest::renderText(kText, 600, 420, 120)), VLM_OK); // recognised on a reduced copy
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(path);
    for (int page : {1, 2}) {
        const std::string text = vlmtest::run("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                              std::to_string(page) + " '" + path + "' -");
        for (const std::string& line : kText)
            EXPECT_NE(text.find(line), std::string::npos) << text;
        // The words lie where the image shows them: the text was set 40 pt from the left edge.
        EXPECT_NEAR(firstWordLeft(path, page), 40.0, 2.0);
    }
    // One embedded font shared by both pages.
    const std::string fonts = vlmtest::run("pdffonts '" + path + "' | tail -n +3");
    EXPECT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), 1) << fonts;
    EXPECT_NE(fonts.find("CID TrueType      Identity-H       yes"), std::string::npos) << fonts;
}

namespace {

bool inked(const Page& bw, size_t x, size_t y) {
    return bw.pixels[y * static_cast<size_t>(bw.sync) + x / 8] & (0x80 >> (x % 8));
}

// Over the first letters, wherever the font the system substitutes for the page's standard font puts
// them, with the left edge inside a byte.
PdfPageRect firstLetters(const Page& bw) {
    int32_t left = bw.width;
    int32_t top = bw.height;
    for (int32_t y = 0; y < bw.height; ++y)
        for (int32_t x = 0; x < bw.width; ++x)
            if (inked(bw, static_cast<size_t>(x), static_cast<size_t>(y))) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    const int32_t start = (left + 3) % 8 != 0 ? left + 3 : left + 4;
    return PdfPageRect{start, top, 101, 40};
}

} // namespace

TEST(PdfMaker, RectangleChoosesThePartOfTheImage) {
    const std::string folder = vlmtest::scratchFolder("rect");
    const Page bw = vlmtest::toBw(textPage());
    ASSERT_EQ(startDocument(folder + "/rect.pdf", VLM_MODE_PLAIN, 0), VLM_OK);
    const PdfPageRect part = firstLetters(bw);
    ASSERT_NE(part.lLeft % 8, 0);
    ASSERT_LE(part.lLeft + part.lWidth, bw.width);
    ASSERT_LE(part.lTop + part.lHeight, bw.height);
    ASSERT_EQ(addPage(bw, &part), VLM_OK);
    const PdfPageRect outside{0, 0, textPage().width + 1, 10};
    EXPECT_EQ(addPage(textPage(), &outside), VLM_ERR_PARAM);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(folder + "/rect.pdf");
    EXPECT_EQ(imageRows(folder + "/rect.pdf"), std::vector<std::string>{"1 101x40 gray 1 ccitt"});

    vlmtest::run("pdfimages '" + folder + "/rect.pdf' '" + folder + "/raw'");
    const std::string pbm = decodedPixels(folder + "/raw-000.pbm", "P4");
    ASSERT_EQ(pbm.size(), 13u * 40u);
    int32_t black = 0;
    for (int32_t y = 0; y < part.lHeight; ++y)
        for (int32_t x = 0; x < part.lWidth; ++x) {
            const size_t sx = static_cast<size_t>(part.lLeft + x);
            const size_t sy = static_cast<size_t>(part.lTop + y);
            const bool source = inked(bw, sx, sy);
            const bool made =
                static_cast<uint8_t>(pbm[static_cast<size_t>(y) * 13 + static_cast<size_t>(x) / 8]) &
                (0x80 >> (x % 8));
            ASSERT_EQ(made, source) << x << "," << y;
            black += source;
        }
    EXPECT_GT(black, 0); // the part holds some text, so a shifted copy would show
}

TEST(PdfMaker, QualitySubModeSetsTheJpegQuality) {
    const std::string folder = vlmtest::scratchFolder("quality");
    std::vector<uint32_t> sizes;
    for (int32_t quality : {10, 95}) {
        const std::string path = folder + "/q" + std::to_string(quality) + ".pdf";
        ASSERT_EQ(startDocument(path, VLM_MODE_COMPRESS, 0, quality), VLM_OK);
        ASSERT_EQ(addPage(textPage()), VLM_OK);
        ASSERT_EQ(VLMC_exclose(0), VLM_OK);
        sizes.push_back(static_cast<uint32_t>(fs::file_size(path)));
    }
    EXPECT_LT(sizes[0] * 2, sizes[1]);
}

TEST(PdfMaker, PageThatCannotBeWrittenLeavesTheEarlierPagesIntact) {
    const std::string path = vlmtest::scratchFolder("full") + "/full.pdf";
    ASSERT_EQ(startDocument(path, VLM_MODE_PLAIN, 0), VLM_OK);
    ASSERT_EQ(addPage(vlmtest::toBw(textPage())), VLM_OK);
    uint32_t size = 0;
    ASSERT_EQ(VLMC_getFileSize(&size), VLM_OK);
    int32_t failed = VLM_OK;
    {
        const FileSizeLimit full(size + 100);
        failed = addPage(textPage());
    }
    EXPECT_EQ(failed, VLM_ERR_DISKFULL);
    uint32_t after = 0;
    ASSERT_EQ(VLMC_getFileSize(&after), VLM_OK);
    EXPECT_EQ(after, size);
    ASSERT_EQ(addPage(vlmtest::toBw(textPage())), VLM_OK);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(path);
    EXPECT_EQ(imageRows(path).size(), 2u);
}

TEST(PdfMaker, FailuresAreCodesAndLeaveNoBrokenFile) {
    const std::string folder = vlmtest::scratchFolder("fail");
    const std::string path = folder + "/fail.pdf";
    uint32_t size = 0;
    EXPECT_EQ(addPage(textPage()), VLM_ERR_NOTOPEN);
    EXPECT_EQ(VLMC_exclose(0), VLM_ERR_NOTOPEN);
    EXPECT_EQ(VLMC_exmodeset(7, 0, 0), VLM_ERR_PARAM);
    EXPECT_EQ(VLMC_exmodeset(VLM_MODE_PLAIN, 0x100, 0), VLM_ERR_PARAM);
    EXPECT_EQ(startDocument(folder + "/missing/x.pdf", VLM_MODE_PLAIN, 0), VLM_ERR_FILECREATE);

    ASSERT_EQ(startDocument(path, VLM_MODE_PLAIN, 0), VLM_OK);
    EXPECT_EQ(VLMC_exopen(path.c_str(), VLM_OPEN_PDF, 0), VLM_ERR_ALREADYOPEN);
    const VlmSubModeQuality zero{1, 8, 0};
    EXPECT_EQ(VLMC_submodeset(VLM_SUBMODE_QUALITY, &zero), VLM_ERR_PARAM);
    Page bad = textPage();
    bad.kind = 16;
    EXPECT_EQ(addPage(bad), VLM_ERR_IMAGE);
    bad = textPage();
    bad.resolution = 0;
    EXPECT_EQ(addPage(bad), VLM_ERR_IMAGE);
    EXPECT_EQ(VLMC_spmake(nullptr, nullptr), VLM_ERR_PARAM);
    ASSERT_EQ(VLMC_getFileSize(&size), VLM_OK);
    // Only failed pages: closing leaves nothing behind, not an empty or broken file.
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(PdfMaker, MissingLanguagePackIsAnErrorAtOpen) {
    const std::string folder = vlmtest::scratchFolder("nopack");
    fs::copy_file("/usr/share/tesseract-ocr/5/tessdata/eng.traineddata", folder + "/eng.traineddata");
    ASSERT_EQ(VLMC_changepath(folder.c_str()), VLM_OK);
    const int32_t english = startDocument(folder + "/eng.pdf", VLM_MODE_PLAIN, VLM_LANG_ENGLISH);
    const int32_t closed = VLMC_exclose(0);
    const int32_t dutch =
        startDocument(folder + "/nld.pdf", VLM_MODE_PLAIN, VLM_LANG_ENGLISH | VLM_LANG_DUTCH);
    VLMC_changepath(nullptr);
    EXPECT_EQ(english, VLM_OK);
    EXPECT_EQ(closed, VLM_OK);
    EXPECT_EQ(dutch, VLM_ERR_LANGUAGE);
    EXPECT_EQ(VLMC_exclose(0), VLM_ERR_NOTOPEN);
    EXPECT_FALSE(fs::exists(folder + "/nld.pdf"));
}

TEST(PdfMaker, ClosingNeverReplacesAFileThatAppearedMeanwhile) {
    const std::string folder = vlmtest::scratchFolder("noreplace");
    const std::string path = folder + "/taken.pdf";
    ASSERT_EQ(startDocument(path, VLM_MODE_PLAIN, 0), VLM_OK);
    ASSERT_EQ(addPage(vlmtest::toBw(textPage())), VLM_OK);
    std::ofstream(path) << "the user's own file";
    EXPECT_EQ(VLMC_exclose(0), VLM_ERR_FILEEXISTS);
    EXPECT_EQ(VLMC_exopen((folder + "/other.pdf").c_str(), VLM_OPEN_PDF, 0), VLM_ERR_ALREADYOPEN);
    // Another name in the same folder takes the finished document.
    ASSERT_EQ(VLMC_exrename((folder + "/taken_001.pdf").c_str()), VLM_OK);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(folder + "/taken_001.pdf");
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's own file");

    // Or it is dropped, leaving nothing but the user's file.
    ASSERT_EQ(startDocument(path, VLM_MODE_PLAIN, 0), VLM_OK);
    ASSERT_EQ(addPage(textPage()), VLM_OK);
    EXPECT_EQ(VLMC_exclose(0), VLM_ERR_FILEEXISTS);
    EXPECT_EQ(VLMC_exabandon(), VLM_OK);
    EXPECT_EQ(VLMC_exabandon(), VLM_ERR_NOTOPEN);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

TEST(PdfMaker, AbandonedDocumentLeavesNoFile) {
    const std::string folder = vlmtest::scratchFolder("abandon");
    ASSERT_EQ(startDocument(folder + "/gone.pdf", VLM_MODE_PLAIN, 0), VLM_OK);
    ASSERT_EQ(addPage(textPage()), VLM_OK);
    EXPECT_EQ(VLMC_exabandon(), VLM_OK);
    EXPECT_EQ(VLMC_exclose(0), VLM_ERR_NOTOPEN);
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(PdfMaker, DetectionOnAnotherThreadLeavesTheDocumentOpen) {
    const std::string path = vlmtest::scratchFolder("threads") + "/doc.pdf";
    ASSERT_EQ(startDocument(path, VLM_MODE_PLAIN, 0), VLM_OK);
    int32_t opened = 1, closed = 1;
    std::thread([&] {
        opened = VLMC_exmodeset(VLM_MODE_DETECT, 3, 0) | VLMC_exopen(nullptr, VLM_OPEN_DETECT, 0);
        closed = VLMC_exclose(0);
    }).join();
    EXPECT_EQ(opened, VLM_OK);
    EXPECT_EQ(closed, VLM_OK);
    EXPECT_EQ(addPage(textPage()), VLM_OK);
    EXPECT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(path);
}

} // namespace

// Pages with a text layer are recognised side by side, finishing out of order, and still reach the file in
// the order they came, each with its own words. (How far recognition overlaps the hand-in is measured by
// bench/ocr-road, not here.)
TEST(PdfMaker, TextPagesRecognisedSideBySideKeepTheirOrderAndWords) {
    const std::string path = vlmtest::scratchFolder("order") + "/order.pdf";
    const std::vector<std::string> names = {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot"};
    std::vector<Page> pages;
    for (size_t i = 0; i < names.size(); ++i) // long and short pages, so that they finish out of order
        pages.push_back(vlmtest::renderText(std::vector<std::string>(i % 2 == 0 ? 12 : 1, "Page " + names[i]),
                                            300, 420, i % 2 == 0 ? 300 : 80));
    ASSERT_EQ(startDocument(path, VLM_MODE_COMPRESS, VLM_LANG_ENGLISH), VLM_OK);
    for (const Page& page : pages)
        ASSERT_EQ(addPage(page), VLM_OK);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(path);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string text = vlmtest::run("pdftotext -f " + std::to_string(i + 1) + " -l " +
                                              std::to_string(i + 1) + " '" + path + "' -");
        EXPECT_NE(text.find("Page " + names[i]), std::string::npos) << i << ": " << text;
    }
}

// Recognition that takes as long as the test lets it: no page's text comes by itself, so whatever ends
// while it is held has kept the bound. The workers share its state, which outlives them.
class HeldRecognition {
public:
    HeldRecognition() {
        vlm::RecognitionPool::shared().setPageReader([state = mState](const vlm::GreyImage&, int32_t) {
            std::unique_lock lock(state->lock);
            ++state->taken;
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return state->released; });
            return vlm::Recognition{VLM_OK, {}};
        });
    }
    ~HeldRecognition() {
        release();
        vlm::RecognitionPool::shared().setPageReader(nullptr);
    }
    void release() {
        std::lock_guard lock(mState->lock);
        mState->released = true;
        mState->changed.notify_all();
    }
    // A worker holds a page.
    bool waitTaken() {
        std::unique_lock lock(mState->lock);
        return mState->changed.wait_for(lock, std::chrono::minutes(1), [this] { return mState->taken > 0; });
    }
    // The result of the document's calls running on a thread of their own, or none when they still
    // waited for the held text after a minute (it is let go then, so that they end).
    std::optional<int32_t> endsWhileHeld(std::future<int32_t> calls) {
        if (calls.wait_for(std::chrono::minutes(1)) == std::future_status::ready)
            return calls.get();
        release();
        calls.get();
        return std::nullopt;
    }

private:
    struct State {
        std::mutex lock;
        std::condition_variable changed;
        int taken = 0;
        bool released = false;
    };
    std::shared_ptr<State> mState = std::make_shared<State>();
};

// Once recognition is bounded and the bound is over, the document is finished without waiting for text,
// while the text of its pages is still being made: a page handed in then is written without its text
// layer, and a bound that comes while pages wait for their text (the close, or a page handed in behind
// more than the workers hold) ends the wait; every page is in the file. Lifted, the bound holds no more.
TEST(PdfMaker, BoundedRecognitionWritesEveryPageAndLatePagesWithoutText) {
    struct Lift {
        ~Lift() { VLMC_exocrbound(-1); }
    } lift;
    const std::string folder = vlmtest::scratchFolder("bound");
    {
        HeldRecognition held;
        ASSERT_EQ(startDocument(folder + "/late.pdf", VLM_MODE_COMPRESS, VLM_LANG_ENGLISH), VLM_OK);
        ASSERT_EQ(VLMC_exocrbound(0), VLM_OK);
        EXPECT_EQ(held.endsWhileHeld(std::async(std::launch::async,
                                                [] {
                                                    const int32_t added = addPage(textPage());
                                                    return added == VLM_OK ? VLMC_exclose(0) : added;
                                                })),
                  VLM_OK);
        expectValid(folder + "/late.pdf");
        EXPECT_EQ(vlmtest::run("pdftotext '" + folder + "/late.pdf' - | tr -d '[:space:]'"), "");

        ASSERT_EQ(VLMC_exocrbound(-1), VLM_OK);
        const int pages = static_cast<int>(vlm::RecognitionPool::shared().workerCount()) + 2;
        ASSERT_EQ(startDocument(folder + "/waiting.pdf", VLM_MODE_COMPRESS, VLM_LANG_ENGLISH), VLM_OK);
        std::future<int32_t> closed = std::async(std::launch::async, [pages] {
            for (int i = 0; i < pages; ++i)
                if (const int32_t added = addPage(textPage()); added != VLM_OK)
                    return added;
            return VLMC_exclose(0);
        });
        ASSERT_TRUE(held.waitTaken());
        ASSERT_EQ(VLMC_exocrbound(0), VLM_OK);
        EXPECT_EQ(held.endsWhileHeld(std::move(closed)), VLM_OK);
        expectValid(folder + "/waiting.pdf");
        EXPECT_EQ(vlmtest::run("pdfinfo '" + folder + "/waiting.pdf' | sed -n 's/^Pages: *//p'"),
                  std::to_string(pages) + "\n");
        EXPECT_EQ(vlmtest::run("pdftotext '" + folder + "/waiting.pdf' - | tr -d '[:space:]'"), "");
    }

    ASSERT_EQ(VLMC_exocrbound(-1), VLM_OK);
    ASSERT_EQ(startDocument(folder + "/lifted.pdf", VLM_MODE_COMPRESS, VLM_LANG_ENGLISH), VLM_OK);
    ASSERT_EQ(addPage(textPage()), VLM_OK);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    EXPECT_NE(vlmtest::run("pdftotext '" + folder + "/lifted.pdf' -").find(kText[0]), std::string::npos);
}

// A page recognised beside the next ones is written later: when it finds no room, the failure comes on a
// later call, and the page count says how many pages the file keeps.
TEST(PdfMaker, PageCountTellsWhatAFileKeepsWhenALaterPageFindsNoRoom) {
    const std::string path = vlmtest::scratchFolder("fullocr") + "/full.pdf";
    ASSERT_EQ(startDocument(path, VLM_MODE_COMPRESS, VLM_LANG_ENGLISH), VLM_OK);
    ASSERT_EQ(addPage(textPage()), VLM_OK);
    uint32_t size = 0;
    ASSERT_EQ(VLMC_getFileSize(&size), VLM_OK);
    int32_t failed = VLM_OK;
    int32_t kept = -1;
    int32_t counted = VLM_OK;
    {
        const FileSizeLimit full(size + 100);
        for (int i = 0; i < 3 && failed == VLM_OK; ++i)
            failed = addPage(textPage());
        if (failed == VLM_OK)
            failed = VLMC_getFileSize(&size);
        counted = VLMC_getPageCount(&kept);
    }
    EXPECT_EQ(failed, VLM_ERR_DISKFULL);
    EXPECT_EQ(counted, VLM_OK);
    EXPECT_EQ(kept, 1);
    ASSERT_EQ(VLMC_exclose(0), VLM_OK);
    expectValid(path);
    EXPECT_EQ(vlmtest::run("pdfinfo '" + path + "' | sed -n 's/^Pages: *//p'"), "1\n");
}

// Recognition opens nothing in the current folder, where another user may have left any name: a FIFO
// there under the name the text engine would look for holds up no page.
TEST(PdfMaker, RecognitionIsNotHeldUpByAFifoInTheCurrentFolder) {
    const Page& page = textPage();
    const std::string current = vlmtest::scratchFolder("current");
    const std::string fifo = current + "/noname";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    const std::string path = vlmtest::scratchFolder("fifo") + "/doc.pdf";
    const fs::path before = fs::current_path();
    fs::current_path(current);
    auto written = std::async(std::launch::async, [&] {
        const int32_t started = startDocument(path, VLM_MODE_COMPRESS, VLM_LANG_ENGLISH);
        const int32_t added = started == VLM_OK ? addPage(page) : started;
        const int32_t closed = VLMC_exclose(0);
        return added != VLM_OK ? added : closed;
    });
    const bool finished = written.wait_for(std::chrono::minutes(1)) == std::future_status::ready;
    // Only when the page waits: a writer on the FIFO lets each reader go on, so the test ends.
    while (written.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    fs::current_path(before);
    EXPECT_TRUE(finished) << "recognition waited on " << fifo;
    EXPECT_EQ(written.get(), VLM_OK);
    expectValid(path);
}
