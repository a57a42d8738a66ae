// One kept scan per process behind a lock: emulators in one process (tests) share it, and a key holds every
// field that changes the bytes, so a shared entry never hands one emulator another's data.
#include "RawScanReplay.h"

#include <mutex>

namespace k3100::emu {
namespace {

std::mutex& recordedLock() {
    static std::mutex lock;
    return lock;
}

std::shared_ptr<const RecordedScan>& recorded() {
    static std::shared_ptr<const RecordedScan> last;
    return last;
}

bool& replayOn() {
    static bool on = false;
    return on;
}

template <typename T> void append(std::string& key, const T& value) {
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace

void setReplayLikeScans(bool on) {
    const std::lock_guard<std::mutex> hold(recordedLock());
    replayOn() = on;
    if (!on)
        recorded().reset();
}

bool replayLikeScans() {
    const std::lock_guard<std::mutex> hold(recordedLock());
    return replayOn();
}

std::string replayKey(const RawScanSetup& s) {
    std::string key;
    for (const int v :
         {s.xResolution, s.yResolution, s.leftPixel, s.pixels, s.bitsPerPixel, s.sides, s.offsetLines})
        append(key, v);
    append(key, s.colour);
    append(key, s.lines);
    append(key, s.top1200);
    for (const SideSource& side : s.side) {
        const usb::SAdjustInfo& r = side.lighting.registers;
        append(key, side.sideNumber);
        append(key, side.content);
        for (const int v : {int{r.Gain1}, int{r.Offset1}, int{r.RedLED}, int{r.GreenLED}, int{r.BlueLED},
                            int{side.lighting.dropOut}, int{side.lighting.enhance}})
            append(key, v);
    }
    append(key, s.sheet.has_value());
    if (s.sheet) {
        append(key, s.sheet->front.get());
        append(key, s.sheet->back.get());
        append(key, s.sheet->width1200);
        append(key, s.sheet->length1200);
        append(key, s.sheet->skewDegrees);
    }
    return key;
}

std::shared_ptr<const RecordedScan> findRecorded(const RawScanSetup& setup) {
    const std::string key = replayKey(setup);
    const std::lock_guard<std::mutex> hold(recordedLock());
    if (!replayOn())
        return nullptr;
    const std::shared_ptr<const RecordedScan>& last = recorded();
    return last && last->key == key ? last : nullptr;
}

void keepRecorded(const RawScanSetup& setup, std::vector<uint8_t> bytes) {
    if (bytes.size() > kMaxRecordedBytes)
        return;
    auto scan = std::make_shared<RecordedScan>();
    scan->key = replayKey(setup);
    if (setup.sheet) {
        scan->front = setup.sheet->front;
        scan->back = setup.sheet->back;
    }
    scan->bytes = std::move(bytes);
    const std::lock_guard<std::mutex> hold(recordedLock());
    if (replayOn())
        recorded() = std::move(scan);
}

} // namespace k3100::emu
