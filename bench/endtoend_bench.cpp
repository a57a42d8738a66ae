// Sheets per minute from the emulated scanner (in process, never throttled) through the data source's
// device object (USB commands, reader and image-processing threads, the real page library) to the host
// reading every finished line, as a memory transfer does. A batch of A4 sheets per run, calibration
// included; wall time, since the reader and the image processing overlap on their own threads. Memory
// transfers through the TWAIN entry are not built yet; the host reads lines from the device object.
// Arguments: dpi, colour (0/1), sides (1/2).
#include "COrvkQS.h"
#include "PixenLibrary.h"

#include "Emulator.h"
#include "RawScanReplay.h"
#include "ScannerErrors.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr int kSheetsPerBatch = 20; // enough that the calibration at the batch start weighs little

tagScanParam A4Params(uint32_t dpi, bool colour, bool duplex) {
    tagScanParam p{};
    p.resolution = dpi;
    p.scanWidth = 9921;   // 210 mm in 1/1200 inch
    p.scanLength = 14031; // 297 mm
    p.pixelMode = colour ? 2 : 1;
    p.duplex = duplex ? 2 : 0;
    p.batch = 1;
    p.rotation = 1;
    return p;
}

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
    for (auto _ : state) {
        emulator.loadSheet(*sheet, kSheetsPerBatch);
        tagScanParam params = A4Params(dpi, colour, duplex);
        if (device.StartScan(&params) != 0)
            throw std::runtime_error("the batch did not start");
        for (int result = 0; result == 0;)
            delivered += ReadSide(device, result);
        device.FinishScan();
    }
    const std::chrono::duration<double, std::ratio<60>> took = std::chrono::steady_clock::now() - start;
    const double sheets = static_cast<double>(state.iterations()) * kSheetsPerBatch;
    state.counters["sheets/min"] = sheets / took.count();
    // All threads, the emulator's own included: what the batch costs whatever else the machine runs.
    state.counters["cpu_s/sheet"] = (ProcessSeconds() - cpuStart) / sheets;
    state.counters["MB/sheet"] = static_cast<double>(delivered) / 1e6 / sheets;
}
} // namespace

BENCHMARK(Batch)
    ->ArgNames({"dpi", "colour", "sides"})
    ->Args({300, 1, 2})
    ->Args({600, 1, 2})
    ->Args({300, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
