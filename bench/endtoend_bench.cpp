// Sheets per minute from the emulated scanner (in process, never throttled) through the data source's
// device object (USB commands, reader and image-processing threads, the real page library) to the host
// reading every finished line, as a memory transfer does. A batch of A4 sheets per run, calibration
// included; wall time per sheet against the time the reader was at work and the time a page was in
// processing, and the time both were (sampled every millisecond). With continuous feeding the next sheet
// is read while the current one is processed; one sheet at a time, each is started when the host asks.
// Arguments: dpi, colour (0/1), sides (1/2), sizing (deskew and size detection, 0/1), continuous (0/1).
#include "COrvkQS.h"
#include "PixenLibrary.h"

#include "Emulator.h"
#include "RawScanReplay.h"
#include "ScannerErrors.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {
constexpr int kSheetsPerBatch = 20; // enough that the calibration at the batch start weighs little

tagScanParam A4Params(uint32_t dpi, bool colour, bool duplex, bool sizing, bool continuous) {
    tagScanParam p{};
    p.resolution = dpi;
    p.scanWidth = 9921;   // 210 mm in 1/1200 inch
    p.scanLength = 14031; // 297 mm
    p.pixelMode = colour ? 2 : 1;
    p.duplex = duplex ? 2 : 0;
    p.batch = continuous;
    p.deskew = sizing;
    p.detectPageSize = sizing;
    p.rotation = 1;
    return p;
}

// Which of the device's threads are at work, sampled every millisecond until `finish`: the reader while
// it runs and is not held back, the image processing while a page is in it.
class ThreadSampler {
public:
    explicit ThreadSampler(const k3100::COrvkQS& device) : device(device), sampling([this] { run(); }) {}
    ~ThreadSampler() { finish(); }
    void finish() {
        stop = true;
        if (sampling.joinable())
            sampling.join();
    }
    double reader = 0, processing = 0, both = 0; // s, valid after `finish`

private:
    void run() {
        auto last = std::chrono::steady_clock::now();
        while (!stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const auto now = std::chrono::steady_clock::now();
            const double step = std::chrono::duration<double>(now - last).count();
            last = now;
            const bool reading = device.ReaderRunning() && !device.ReaderPaused();
            const bool processed = device.ProcessingRunning();
            reader += reading ? step : 0;
            processing += processed ? step : 0;
            both += reading && processed ? step : 0;
        }
    }

    const k3100::COrvkQS& device;
    std::atomic<bool> stop{false};
    std::thread sampling;
};

// Reads one side line by line into a reused buffer; returns its bytes, or throws on a device error.
uint64_t ReadSide(k3100::COrvkQS& device, int& result) {
    tagScanParam side{};
    result = device.ScanPage(&side);
    if (result != 0)
        return 0;
    const uint32_t rowBytes = side.outPixelType == 0   ? (side.outWidth + 7) / 8
                              : side.outPixelType == 2 ? side.outWidth * 3
                                                       : side.outWidth;
    std::vector<uint8_t> block(static_cast<size_t>(rowBytes) * 256);
    uint64_t bytes = 0;
    for (;;) {
        uint32_t count = 256;
        const int read = device.ReadLines(block.data(), rowBytes, &count);
        bytes += uint64_t{count} * rowBytes;
        if (read != 0)
            throw std::runtime_error("reading lines failed: " + std::to_string(read));
        if (count == 0)
            break;
    }
    device.ScanComplete();
    return bytes;
}

double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void Batch(benchmark::State& state) {
    const auto dpi = static_cast<uint32_t>(state.range(0));
    const bool colour = state.range(1) != 0, duplex = state.range(2) == 2;
    const bool sizing = state.range(3) != 0, continuous = state.range(4) != 0;
    k3100::emu::setReplayLikeScans(true); // the first sheet is drawn, the rest replayed
    k3100::emu::Emulator emulator;
    k3100::COrvkQS device(k3100::SScannerDesc{k3100::kTransportUSB, emulator.vendorId(), emulator.productId(),
                                              emulator.connect()},
                          k3100::PixenQS880Library());
    if (device.OpenSession() != 0)
        throw std::runtime_error("the device object did not open the emulated scanner");
    std::string error;
    const auto sheet = k3100::emu::sheetFromSpec("gen:ramp-a4", error);
    uint64_t delivered = 0;
    const double cpuStart = ProcessSeconds();
    const auto start = std::chrono::steady_clock::now();
    ThreadSampler sampler(device);
    for (auto _ : state) {
        emulator.loadSheet(*sheet, kSheetsPerBatch);
        tagScanParam params = A4Params(dpi, colour, duplex, sizing, continuous);
        // One sheet at a time, the host starts each scan, as the data source does without continuous feeding.
        for (int sheets = continuous ? 1 : kSheetsPerBatch; sheets > 0; --sheets) {
            tagScanParam sheetParams = params;
            if (device.StartScan(&sheetParams) != 0)
                throw std::runtime_error("the scan did not start");
            for (int result = 0, sides = 0; result == 0 && (continuous || sides < (duplex ? 2 : 1)); ++sides)
                delivered += ReadSide(device, result);
            device.FinishScan();
        }
    }
    sampler.finish();
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const std::chrono::duration<double, std::ratio<60>> took = wall;
    const double sheets = static_cast<double>(state.iterations()) * kSheetsPerBatch;
    state.counters["wall_s/sheet"] = wall.count() / sheets;
    state.counters["reader_s/sheet"] = sampler.reader / sheets;
    state.counters["processing_s/sheet"] = sampler.processing / sheets;
    state.counters["both_s/sheet"] = sampler.both / sheets;
    state.counters["sheets/min"] = sheets / took.count();
    // All threads, the emulator's own included: what the batch costs whatever else the machine runs.
    state.counters["cpu_s/sheet"] = (ProcessSeconds() - cpuStart) / sheets;
    state.counters["MB/sheet"] = static_cast<double>(delivered) / 1e6 / sheets;
}
} // namespace

BENCHMARK(Batch)
    ->ArgNames({"dpi", "colour", "sides", "sizing", "continuous"})
    ->Args({300, 1, 2, 0, 1})
    ->Args({300, 1, 2, 1, 1})
    ->Args({300, 1, 2, 1, 0})
    ->Args({600, 1, 2, 1, 1})
    ->Args({600, 1, 2, 1, 0})
    ->Args({300, 0, 1, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
