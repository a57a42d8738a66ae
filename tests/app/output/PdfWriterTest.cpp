// Pages of each depth and quarter turn to PDF files, grouped, checked with qpdf, pdfinfo, pdfimages and
// pdftotext: the tools a user's readers resemble.
#include "OutputTestSupport.h"
#include "RerunAlone.h"

#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"
#include "test_pages.h"

#include <csignal>
#include <fstream>
#include <functional>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace outtest {
namespace {

struct ImageRow {
    int page = 0, width = 0, height = 0, bpc = 0, xppi = 0, yppi = 0;
    std::string colour, encoding;
};

std::vector<ImageRow> imageRows(const fs::path& pdf) {
    std::istringstream lines(vlmtest::run("pdfimages -list '" + pdf.string() + "'"));
    std::vector<ImageRow> rows;
    std::string line, skip;
    std::getline(lines, line);
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream f(line);
        ImageRow r;
        f >> r.page >> skip >> skip >> r.width >> r.height >> r.colour >> skip >> r.bpc >> r.encoding >>
            skip >> skip >> skip >> r.xppi >> r.yppi;
        rows.push_back(r);
    }
    return rows;
}

// The text with every run of spaces made one, as the tools align their columns.
std::string squeezed(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ')
            out += c;
    return out;
}

void expectValidPdf(const fs::path& pdf, int pages) {
    int status = -1;
    const std::string report = vlmtest::run("qpdf --check '" + pdf.string() + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << report;
    const std::string info = vlmtest::run("pdfinfo '" + pdf.string() + "'");
    EXPECT_NE(squeezed(info).find("Pages: " + std::to_string(pages) + "\n"), std::string::npos) << info;
}

void expectImage(const ImageRow& row, const RawPage& page, bool compressed) {
    const bool odd = page.rotation % 2 == 1;
    EXPECT_EQ(row.width, odd ? page.height : page.width);
    EXPECT_EQ(row.height, odd ? page.width : page.height);
    EXPECT_EQ(row.xppi, odd ? 200 : 300);
    EXPECT_EQ(row.yppi, odd ? 300 : 200);
    EXPECT_EQ(row.colour, page.bpp == 24 ? "rgb" : "gray");
    EXPECT_EQ(row.bpc, page.bpp == 1 ? 1 : 8);
    EXPECT_EQ(row.encoding, page.bpp == 1 ? "ccitt" : compressed ? "jpeg" : "image");
}

class PdfWriter : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        host.options.fileFormatType = tlv::kFormatPDF;
        host.options.imgFileName = "Scan_001.pdf";
    }
    void ExpectTheFirstPagesKept(const std::function<bool()>& shortenRoom);
    void expectTheFirstLostPageAfterTheKept(const std::vector<std::string>& args, const fs::path& file,
                                            int pages);
    // Adds a grey page of rendered text at index, at dpi both ways and turned quarter turns, to be read
    // in English.
    void addTextPage(const vlmtest::Page& text, int index, double dpi, int turns) {
        const fs::path raw = TlvUtilsMethod::tmpBaseImageFilePath(index);
        std::ofstream(raw, std::ios::binary)
            .write(reinterpret_cast<const char*>(text.pixels.data()), text.pixels.size());
        host.addPage(fnd::Dictionary{{ImgInfo_NameKey, raw.filename().string()},
                                     {ImgInfo_bppKey, 8},
                                     {ImgInfo_WidthKey, text.width},
                                     {ImgInfo_HeightKey, text.height},
                                     {ImgInfo_XResKey, dpi},
                                     {ImgInfo_YResKey, dpi},
                                     {ImgInfo_RotateKey, turns}});
        host.options.isAddOCR = true;
        host.options.ffOCRLangType = 2; // English
    }
};

TEST_F(PdfWriter, EveryDepthAndTurnGroupedEveryTwoPages) {
    const std::vector<RawPage> pages = addEveryDepthAndTurn();
    host.options.ffMultiTypePDF = 1;
    host.options.multiPageNumPDF = 2;
    reader->readImgFiles(host.batch());
    EXPECT_EQ(host.errors(), std::vector<std::string>{});
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::PagesWritten});
    const std::vector<fs::path> files = savedFiles();
    ASSERT_EQ(files.size(), 6u);
    EXPECT_EQ(writer->writtenFiles().cpyWriteFilePathArray(), files);
    for (size_t f = 0; f < files.size(); ++f) {
        EXPECT_EQ(files[f].filename(), "Scan_00" + std::to_string(f + 1) + ".pdf");
        expectValidPdf(files[f], 2);
        const std::vector<ImageRow> rows = imageRows(files[f]);
        ASSERT_EQ(rows.size(), 2u);
        for (int k = 0; k < 2; ++k)
            expectImage(rows[k], pages[f * 2 + k], false);
    }
    // The page keeps its paper size, turned with it: 64 px at 300 dpi and 40 px at 200 dpi.
    const std::string sizes = vlmtest::run("pdfinfo -f 1 -l 2 '" + files[0].string() + "'");
    EXPECT_NE(squeezed(sizes).find("Page 1 size: 15.36 x 14.4 pts"), std::string::npos) << sizes;
    EXPECT_NE(squeezed(sizes).find("Page 2 size: 14.4 x 15.36 pts"), std::string::npos) << sizes;
}

TEST_F(PdfWriter, AllPagesInOneCompressedFile) {
    const std::vector<RawPage> pages = addEveryDepthAndTurn();
    host.options.ffCompType = 1;
    reader->readImgFiles(host.batch());
    const std::vector<fs::path> files = savedFiles();
    ASSERT_EQ(files.size(), 1u);
    expectValidPdf(files[0], 12);
    const std::vector<ImageRow> rows = imageRows(files[0]);
    ASSERT_EQ(rows.size(), pages.size());
    for (size_t k = 0; k < pages.size(); ++k)
        expectImage(rows[k], pages[k], true);
}

// Mounts a small file system over folder in a mount namespace of this (single-threaded) process alone;
// false where the system allows no such namespace.
bool mountSmallDisk(const fs::path& folder, const char* size) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", folder.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
}

// The message of a full disk: its folder, the file that keeps the first pages and their count, and the
// first page that is not in it.
void PdfWriter::expectTheFirstLostPageAfterTheKept(const std::vector<std::string>& args, const fs::path& file,
                                                   int pages) {
    ASSERT_EQ(args.size(), 4u);
    EXPECT_EQ(args[0], saveFolder.string());
    EXPECT_EQ(args[1], file.filename());
    const int kept = std::stoi(args[2]);
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, pages);
    EXPECT_EQ(args[3], std::to_string(kept + 1));
    expectValidPdf(file, kept);
}

// Runs twelve pages into one document in a process of its own whose room runs out through shortenRoom
// (false where it cannot): the pages that fit stay a sound file, and the message says so, naming the
// file, its pages and the first page lost.
void PdfWriter::ExpectTheFirstPagesKept(const std::function<bool()>& shortenRoom) {
    constexpr int kPages = 12;
    constexpr int kCannotRunAlone = 77;
    if (!test::runningAlone()) {
        const int status = test::rerunAlone();
        if (status == kCannotRunAlone)
            GTEST_SKIP() << "the room cannot be made short here (no mount namespace for a small disk)";
        EXPECT_EQ(status, 0) << "the writer's own process failed: its output is above";
        return;
    }
    for (int i = 0; i < kPages; ++i)
        addPage({24, 300, 300, 300, 300, 0});
    if (!shortenRoom())
        ::_exit(kCannotRunAlone);
    reader->readImgFiles(host.batch());
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrDiskFullPagesKept});
    const std::vector<fs::path> files = savedFiles();
    if (!HasFailure() && files.size() == 1) {
        expectTheFirstLostPageAfterTheKept(host.errorArgs().at(0), files[0], kPages);
    } else {
        ADD_FAILURE() << files.size() << " files";
    }
    // Ends here: the small disk over the save folder is this process's own and goes with it.
    std::fflush(stdout);
    ::_exit(HasFailure() ? 1 : 0);
}

TEST_F(PdfWriter, AFullDiskKeepsTheFirstPagesAndSaysWhichFileHoldsThem) {
    ExpectTheFirstPagesKept([this] { return mountSmallDisk(saveFolder, "1m"); });
}

// A file system's largest file (or the process's file-size limit) is met like a full disk.
TEST_F(PdfWriter, TheLargestFileAllowedKeepsTheFirstPagesLikeAFullDisk) {
    ExpectTheFirstPagesKept([] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    });
}

// With a text layer, pages wait for their text beside the next ones: the page that finds no room is
// written while later ones wait, and none of them is in the file. The message names the first page
// not in the file, not the page being handed in.
TEST_F(PdfWriter, AFullDiskWithRecognisedTextNamesTheFirstPageNotInTheFile) {
    constexpr int kPages = 6;
    for (int i = 0; i < kPages; ++i)
        addPage({8, 200, 200, 300, 300, 0});
    host.options.isAddOCR = true;
    host.options.ffOCRLangType = 2; // English
    {
        const FileSizeLimit limit(64 * 1024);
        reader->readImgFiles(host.batch());
    }
    ASSERT_EQ(host.errors(), std::vector<std::string>{tlv::kErrDiskFullPagesKept});
    const std::vector<fs::path> files = savedFiles();
    ASSERT_EQ(files.size(), 1u);
    expectTheFirstLostPageAfterTheKept(host.errorArgs().at(0), files[0], kPages);
}

// The raw page's own file: a 1-bit page black on its left half, and a colour page red on its left half
// and blue on its right.
fnd::Dictionary halvesPage(int bpp, int index) {
    const RawPage page{bpp, 64, 40, 300, 300, 0};
    const auto row = tlv::bytesPerRowByImgSetting(bpp, page.width);
    std::vector<std::uint8_t> data(row * page.height);
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const bool left = x < page.width / 2;
            if (bpp == 1 && !left)
                data[row * y + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8)); // 1 is white as scanned
            if (bpp == 24)
                data[row * y + 3 * x + (left ? 0 : 2)] = 255;
        }
    fnd::Dictionary record = writeRawPage(page, index); // its pattern is replaced by the halves
    std::ofstream(TlvUtilsMethod::tmpBaseImageFilePath(index), std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return record;
}

// Pixel (x, y) of page `page` rendered at the page's own 300 dpi, as "r g b".
std::string renderedPixel(const fs::path& pdf, int page, int x, int y) {
    const std::string ppm =
        vlmtest::run("pdftoppm -r 300 -f " + std::to_string(page) + " -l " + std::to_string(page) + " -x " +
                     std::to_string(x) + " -y " + std::to_string(y) + " -W 1 -H 1 '" + pdf.string() + "'");
    const std::string pixel = ppm.substr(ppm.size() - 3);
    return std::to_string(static_cast<std::uint8_t>(pixel[0])) + " " +
           std::to_string(static_cast<std::uint8_t>(pixel[1])) + " " +
           std::to_string(static_cast<std::uint8_t>(pixel[2]));
}

TEST_F(PdfWriter, BlackStaysBlackAndRedStaysRed) {
    host.addPage(halvesPage(1, 0));
    host.addPage(halvesPage(24, 1));
    reader->readImgFiles(host.batch());
    const fs::path pdf = saveFolder / "Scan_001.pdf";
    EXPECT_EQ(renderedPixel(pdf, 1, 5, 20), "0 0 0");
    EXPECT_EQ(renderedPixel(pdf, 1, 60, 20), "255 255 255");
    EXPECT_EQ(renderedPixel(pdf, 2, 5, 20), "255 0 0");
    EXPECT_EQ(renderedPixel(pdf, 2, 60, 20), "0 0 255");
}

TEST_F(PdfWriter, RecognisedTextIsSearchable) {
    const vlmtest::Page text =
        vlmtest::renderText({"Quarterly report of the scanning office"}, 300, 420, 120);
    addTextPage(text, 0, 300.0, 0);
    reader->readImgFiles(host.batch());
    ASSERT_EQ(host.errors(), std::vector<std::string>{});
    const std::string words = vlmtest::run("pdftotext '" + (saveFolder / "Scan_001.pdf").string() + "' -");
    EXPECT_NE(words.find("Quarterly report"), std::string::npos) << words;
}

// Pages turned in the preview (a quarter turn either way, a half turn) keep their words: each is read as
// it lies in the file.
TEST_F(PdfWriter, TurnedPagesKeepTheirWords) {
    const vlmtest::Page text = vlmtest::renderText(
        {"Quarterly report of the scanning office", "The rollers were cleaned twice this year",
         "and the feeder took every sheet we gave it", "Three new jobs were added for the archive",
         "Please keep the covers closed while scanning"},
        150, 420, 200);
    for (int turns = 1; turns <= 3; ++turns)
        addTextPage(text, turns - 1, 150.0, turns);
    reader->readImgFiles(host.batch());
    ASSERT_EQ(host.errors(), std::vector<std::string>{});
    const fs::path pdf = saveFolder / "Scan_001.pdf";
    for (int page = 1; page <= 3; ++page) {
        const std::string words = vlmtest::run("pdftotext -f " + std::to_string(page) + " -l " +
                                               std::to_string(page) + " '" + pdf.string() + "' -");
        EXPECT_NE(words.find("scanning office"), std::string::npos) << "page " << page << ": " << words;
    }
}

TEST_F(PdfWriter, MissingLanguagePackHasItsOwnMessage) {
    addPage({8, 32, 32});
    host.options.isAddOCR = true;
    host.options.ffOCRLangType = 3; // Spanish, not in the folder below
    const fs::path packs = root / "packs";
    fs::create_directories(packs);
    ASSERT_EQ(VLMC_changepath(packs.c_str()), VLM_OK);
    reader->readImgFiles(host.batch());
    VLMC_changepath(nullptr);
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrOcrLanguage});
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::WriteFailed});
    EXPECT_TRUE(savedFiles().empty());
    EXPECT_FALSE(writer->formatWriter(tlv::kFormatPDF).hasOpenFile());
}

TEST_F(PdfWriter, FileThatAppearsBeforeClosingMovesTheNumberOn) {
    host.options.ffMultiTypePDF = 1;
    host.options.multiPageNumPDF = 2;
    const tlv::TlvOutputOptions options = host.options;
    const tlv::TlvPageImage page = tlv::readPageImage(writeRawPage({8, 40, 30}, 0));
    writer->exeWriteImgFiles(host.batch(), 0, page, options, false, std::nullopt, std::nullopt);
    std::ofstream(saveFolder / "Scan_001.pdf") << "the user's own file";
    writer->exeWriteImgFiles(host.batch(), 1, page, options, false, std::nullopt, std::nullopt);

    EXPECT_EQ(bytesOf(saveFolder / "Scan_001.pdf"),
              std::vector<char>({'t', 'h', 'e', ' ', 'u', 's', 'e', 'r', '\'', 's', ' ', 'o', 'w', 'n', ' ',
                                 'f', 'i', 'l', 'e'}));
    expectValidPdf(saveFolder / "Scan_002.pdf", 2);
    EXPECT_EQ(writer->writtenFiles().cpyWriteFilePathArray(),
              std::vector<fs::path>{saveFolder / "Scan_002.pdf"});
    // The next group goes on from there.
    writer->exeWriteImgFiles(host.batch(), 2, page, options, true, std::nullopt, std::nullopt);
    expectValidPdf(saveFolder / "Scan_003.pdf", 1);
}

} // namespace
} // namespace outtest
