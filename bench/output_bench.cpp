// The application's output road: one raw A4 page at 300 dpi (printed text, grey or colour) read from the
// temporary folder, brought into the format's form and written as a file of its own, PDF (lossless or
// JPEG) or TIFF; pages per second. The files are removed between iterations, outside the timing.
#include "OutputFakes.h"
#include "TlvReadFilesThread.h"
#include "TlvUtilsMethod.h"
#include "test_pages.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path& benchRoot() {
    static const fs::path root = [] {
        fs::path made = fs::temp_directory_path() / ("output-bench-" + std::to_string(::getpid()));
        fs::create_directories(made / "tmp");
        fs::create_directories(made / "saved");
        ::setenv("TMPDIR", (made / "tmp").c_str(), 1);
        ::setenv("XDG_DATA_HOME", made.c_str(), 1);
        TlvUtilsMethod::createTmpFolder();
        std::atexit([] { fs::remove_all(benchRoot()); });
        return made;
    }();
    return root;
}

// The raw file of an A4 page of text, as the page transfer leaves it; its record.
fnd::Dictionary a4Page(int bpp) {
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i)
        lines.push_back("Line " + std::to_string(i + 1) +
                        ": scanned letters, invoices and forms carry printed text.");
    const vlmtest::Page grey = vlmtest::renderText(lines, 300);
    const fs::path raw = TlvUtilsMethod::tmpBaseImageFilePath(bpp);
    std::ofstream out(raw, std::ios::binary);
    for (uint8_t sample : grey.pixels)
        for (int s = 0; s < bpp / 8; ++s)
            out.put(static_cast<char>(sample));
    return fnd::Dictionary{{ImgInfo_NameKey, raw.filename().string()},
                           {ImgInfo_bppKey, bpp},
                           {ImgInfo_WidthKey, grey.width},
                           {ImgInfo_HeightKey, grey.height},
                           {ImgInfo_XResKey, 300.0},
                           {ImgInfo_YResKey, 300.0},
                           {ImgInfo_RotateKey, 0}};
}

void writePages(benchmark::State& state, int bpp, int format, int compression) {
    const fs::path saved = benchRoot() / "saved";
    outtest::FakeHost host;
    host.options.fileFormatType = format;
    host.options.ffCompType = compression;
    host.options.ffMultiTypePDF = 1; // a file per page
    host.options.ffMultiTypeTIFF = 1;
    host.options.isPictureFolderSave = false;
    host.options.fileSavePath = saved.string();
    host.options.imgFileName = format == tlv::kFormatPDF ? "Page.pdf" : "Page.tiff";
    host.addPage(a4Page(bpp));
    host.setState(301);
    tlv::TlvExeWriteThread writer(host);
    tlv::TlvReadFilesThread reader(host, writer);
    writer.initWriteFilePathArray();
    for (auto _ : state) {
        reader.writeImageFileByIndex(host.batch(), 0, true, std::nullopt, std::nullopt);
        state.PauseTiming();
        fs::remove(saved / host.options.imgFileName);
        writer.releaseWriteFilePathArray(false);
        writer.initWriteFilePathArray();
        state.ResumeTiming();
    }
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK_CAPTURE(writePages, A4Grey300ToPdf, 8, tlv::kFormatPDF, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writePages, A4Grey300ToPdfJpeg, 8, tlv::kFormatPDF, 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writePages, A4Grey300ToTiff, 8, tlv::kFormatTIFF, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writePages, A4Colour300ToPdf, 24, tlv::kFormatPDF, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writePages, A4Colour300ToPdfJpeg, 24, tlv::kFormatPDF, 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writePages, A4Colour300ToTiff, 24, tlv::kFormatTIFF, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
