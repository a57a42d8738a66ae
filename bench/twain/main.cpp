// k3100-twain-bench: a TWAIN application that pulls a whole batch from the K3100 data source by memory
// transfer and drops each page, so the time is the data source's alone (no file encoding). Prints sheets
// per minute and seconds per sheet in wall time, and this process's CPU seconds per sheet (the application
// and the data source: reader and image-processing threads; the emulator runs in its own process).
// usage: k3100-twain-bench [twainscan options without --output]; run through bench/endtoend.
#include "TwainSession.h"
#include "twain.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {
double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int Run(const twainscan::SScanOptions& options, bool duplex) {
    using namespace twainscan;
    CTwainSession session;
    session.OpenSource(options.source);
    for (const SCapSetting& setting : options.settings)
        session.Set(setting);
    const double cpuStart = ProcessSeconds();
    const auto start = std::chrono::steady_clock::now();
    session.Enable();
    int pages = 0;
    double bytes = 0;
    for (bool more = true; more;) {
        SPageBitmap page;
        if (session.TransferPage(page) == EPageResult::kCancelled)
            break;
        ++pages;
        bytes += static_cast<double>(page.pixels.size());
        more = session.EndTransfer();
    }
    session.Close();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double sheets = duplex ? pages / 2.0 : pages;
    if (pages == 0) {
        std::fprintf(stderr, "k3100-twain-bench: no page was transferred\n");
        return 1;
    }
    std::printf(
        "%d pages, %.1f MB, %.2f s: %.1f sheets/min, wall %.3f s/sheet, data source %.3f CPU s/sheet\n",
        pages, bytes / 1e6, took.count(), sheets * 60 / took.count(), took.count() / sheets,
        (ProcessSeconds() - cpuStart) / sheets);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i)
        if (std::string(argv[i]) != "--auto-feed")
            args.push_back(argv[i]);
    std::string output = "--output", folder = "/nonexistent"; // pages are never written
    args.push_back(output.data());
    args.push_back(folder.data());
    std::string error;
    const auto options = twainscan::ParseScanOptions(static_cast<int>(args.size()), args.data(), error);
    if (!options) {
        std::fprintf(stderr, "k3100-twain-bench: %s\n", error.c_str());
        return 2;
    }
    bool duplex = false, autoFeed = false;
    for (int i = 1; i < argc; ++i) {
        duplex = duplex || std::string(argv[i]) == "--duplex";
        autoFeed = autoFeed || std::string(argv[i]) == "--auto-feed";
    }
    // The data source's own default may be both sides; a simplex batch must say so.
    auto settings = *options;
    if (!duplex)
        settings.settings.push_back({CAP_DUPLEXENABLED, TWTY_BOOL, 0});
    if (autoFeed)
        settings.settings.push_back({CAP_AUTOFEED, TWTY_BOOL, 1});
    try {
        return Run(settings, duplex);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "k3100-twain-bench: %s\n", failure.what());
        return 1;
    }
}
