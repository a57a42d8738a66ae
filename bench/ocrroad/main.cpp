// k3100-ocr-road: the searchable-PDF road as a person waits for it. A TWAIN application pulls a batch from
// the K3100 data source by memory transfer and hands each page, as it comes, to the application's output
// step (the page files of the temporary folder, the page writer, the PDF with its text layer). Prints the
// seconds from the last sheet leaving the scanner to the finished PDF, the whole batch's wall time, CPU
// seconds per page (this process: data source, output step and recognition) and the peak memory.
// usage: k3100-ocr-road PDF [--no-text] [twainscan options without --output]; run through bench/ocr-road.
//        k3100-ocr-road --make-pages FOLDER N: N A4 pages of prose at 300 dpi, FOLDER/page-K.pgm.
#include "OutputFakes.h"
#include "TlvReadFilesThread.h"
#include "TlvUtilsMethod.h"
#include "TwainSession.h"
#include "test_pages.h"
#include "twain.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int makePages(const std::string& folder, int count) {
    fs::create_directories(folder);
    const vlmtest::TextStyle style{"Times-Roman", 11};
    for (int k = 0; k < count; ++k) {
        const vlmtest::Page page =
            vlmtest::renderText(vlmtest::proseLines(style, static_cast<size_t>(k)), 300, 595, 842, style);
        std::ofstream(folder + "/page-" + std::to_string(k + 1) + ".pgm", std::ios::binary)
            << "P5\n"
            << page.width << " " << page.height << "\n255\n"
            << std::string(page.pixels.begin(), page.pixels.end());
    }
    return 0;
}

// The page as the scan session leaves it in the temporary folder: rows packed, and its record.
fnd::Dictionary storePage(const SPageBitmap& page, int index) {
    const int bpp = page.samplesPerPixel * page.bitsPerSample;
    const fs::path raw = TlvUtilsMethod::tmpBaseImageFilePath(index);
    std::ofstream out(raw, std::ios::binary);
    for (uint32_t row = 0; row < page.height; ++row)
        out.write(reinterpret_cast<const char*>(page.Row(row)),
                  static_cast<std::streamsize>(page.MinimumBytesPerRow()));
    return fnd::Dictionary{{ImgInfo_NameKey, raw.filename().string()},
                           {ImgInfo_bppKey, bpp},
                           {ImgInfo_WidthKey, static_cast<int>(page.width)},
                           {ImgInfo_HeightKey, static_cast<int>(page.height)},
                           {ImgInfo_XResKey, static_cast<double>(page.xResolution)},
                           {ImgInfo_YResKey, static_cast<double>(page.yResolution)},
                           {ImgInfo_RotateKey, 0}};
}

int run(const twainscan::SScanOptions& options, const fs::path& pdf, bool withText) {
    const fs::path temporary = fs::temp_directory_path() / ("ocr-road-" + std::to_string(::getpid()));
    fs::create_directories(temporary);
    ::setenv("TMPDIR", temporary.c_str(), 1);
    TlvUtilsMethod::createTmpFolder();

    outtest::FakeHost host;
    host.options.fileFormatType = tlv::kFormatPDF;
    host.options.ffCompType = 1;     // JPEG images, as a text document is usually kept
    host.options.ffMultiTypePDF = 0; // one file for the batch
    host.options.isAddOCR = withText;
    host.options.ffOCRLangType = 2; // English
    host.options.isPictureFolderSave = false;
    host.options.fileSavePath = fs::absolute(pdf).parent_path().string();
    host.options.imgFileName = pdf.filename().string();
    host.setState(301);
    tlv::TlvExeWriteThread writer(host);
    tlv::TlvReadFilesThread reader(host, writer);
    writer.initWriteFilePathArray();

    twainscan::CTwainSession session;
    session.OpenSource(options.source);
    for (const twainscan::SCapSetting& setting : options.settings)
        session.Set(setting);
    const double cpuStart = processSeconds();
    const Clock::time_point start = Clock::now();
    session.Enable();
    // Each page goes to the output step when the next has come, so that the last one is known as such.
    int pages = 0;
    Clock::time_point lastSheet = start;
    for (bool more = true; more;) {
        SPageBitmap page;
        if (session.TransferPage(page) == twainscan::EPageResult::kCancelled)
            break;
        host.addPage(storePage(page, pages));
        more = session.EndTransfer();
        if (!more)
            lastSheet = Clock::now();
        reader.writeImageFileByIndex(host.batch(), pages, !more, std::nullopt, std::nullopt);
        ++pages;
    }
    session.Close();
    const Clock::time_point done = Clock::now();
    fs::remove_all(temporary);
    if (pages == 0 || !host.errors().empty()) {
        std::fprintf(stderr, "k3100-ocr-road: %s\n",
                     pages == 0 ? "no page was transferred" : host.errors().front().c_str());
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const std::chrono::duration<double> tail = done - lastSheet;
    const std::chrono::duration<double> whole = done - start;
    std::printf("%d pages: %.2f s after the last sheet, %.2f s in all, %.3f CPU s/page, peak %.0f MB\n",
                pages, tail.count(), whole.count(), (processSeconds() - cpuStart) / pages,
                usage.ru_maxrss / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--make-pages")
        return makePages(argv[2], std::atoi(argv[3]));
    if (argc < 2) {
        std::fprintf(stderr, "usage: k3100-ocr-road PDF [--no-text] [twainscan options]\n");
        return 2;
    }
    bool withText = true;
    std::vector<char*> args{argv[0]};
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--no-text")
            withText = false;
        else
            args.push_back(argv[i]);
    }
    std::string output = "--output", folder = "/nonexistent"; // pages are never written as files
    args.push_back(output.data());
    args.push_back(folder.data());
    std::string error;
    const auto options = twainscan::ParseScanOptions(static_cast<int>(args.size()), args.data(), error);
    if (!options) {
        std::fprintf(stderr, "k3100-ocr-road: %s\n", error.c_str());
        return 2;
    }
    try {
        return run(*options, argv[1], withText);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "k3100-ocr-road: %s\n", failure.what());
        return 1;
    }
}
