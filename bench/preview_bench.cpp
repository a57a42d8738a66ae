// The two waits a person paging through a batch feels in the preview, for A4 colour pages at 300 and
// 600 dpi: showing a page (its thumbnail turned, laid out and drawn) and a zoom step from the whole page
// (the view made from the raw file at 200 dpi, turned, laid out and drawn), and a further zoom step.
// Offscreen; each iteration ends with the drawing done.
#include "PreviewTestSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

namespace {

namespace fs = std::filesystem;

struct Bench {
    explicit Bench(int dpi) {
        host.state = tlv::AppStateScanFinish;
        // Two pages so that paging moves; the second turned, as a person would have it.
        for (int page = 0; page < 2; ++page)
            host.addPage(test::markedPage(dpi * 827 / 100, dpi * 1169 / 100), static_cast<float>(dpi));
        host.pages[1].record.set(ImgInfo_RotateKey, std::int32_t{1});
        cntlr.attach(window.area, &window);
        window.show();
        QApplication::processEvents();
    }
    test::PreviewHost host;
    test::PreviewWindow window;
    tlv::TlvPreviewCntlr cntlr{host};
};

// The application, the temporary folder and the pages, made once per resolution.
Bench& benchAt(int dpi) {
    static const fs::path root = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "preview_bench";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        const fs::path made = fs::temp_directory_path() / ("preview-bench-" + std::to_string(::getpid()));
        fs::create_directories(made);
        ::setenv("TMPDIR", made.c_str(), 1);
        TlvUtilsMethod::createTmpFolder();
        std::atexit([] { fs::remove_all(root); });
        return made;
    }();
    static std::map<int, std::unique_ptr<Bench>> benches;
    std::unique_ptr<Bench>& bench = benches[dpi];
    if (!bench) {
        bench = std::make_unique<Bench>(dpi);
        bench->cntlr.followPageCount(2);
    }
    return *bench;
}

void showPage(benchmark::State& state) {
    Bench& bench = benchAt(static_cast<int>(state.range(0)));
    int tag = tlv::kTagPreFirst;
    for (auto _ : state) {
        bench.cntlr.prevOrNextBtn(tag);
        benchmark::DoNotOptimize(bench.cntlr.preview()->grab());
        tag = tag == tlv::kTagPreFirst ? tlv::kTagPreLast : tlv::kTagPreFirst;
    }
}

void zoomFromThePage(benchmark::State& state) {
    Bench& bench = benchAt(static_cast<int>(state.range(0)));
    bench.cntlr.prevOrNextBtn(tlv::kTagPreLast);
    for (auto _ : state) {
        bench.cntlr.zoomOrReduceBtn(tlv::kTagPreZoomIn);
        benchmark::DoNotOptimize(bench.cntlr.zoomScroll()->viewport()->grab());
        state.PauseTiming();
        bench.cntlr.zoomOrReduceBtn(tlv::kTagPreZoomOut);
        state.ResumeTiming();
    }
}

void zoomFurther(benchmark::State& state) {
    Bench& bench = benchAt(static_cast<int>(state.range(0)));
    bench.cntlr.prevOrNextBtn(tlv::kTagPreLast);
    bench.cntlr.zoomOrReduceBtn(tlv::kTagPreZoomIn);
    int tag = tlv::kTagPreZoomIn;
    for (auto _ : state) {
        bench.cntlr.zoomOrReduceBtn(tag);
        benchmark::DoNotOptimize(bench.cntlr.zoomScroll()->viewport()->grab());
        tag = bench.cntlr.cache().scale() == 4   ? tlv::kTagPreZoomOut
              : bench.cntlr.cache().scale() == 1 ? tlv::kTagPreZoomIn
                                                 : tag;
    }
}

BENCHMARK(showPage)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
BENCHMARK(zoomFromThePage)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
BENCHMARK(zoomFurther)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

} // namespace
