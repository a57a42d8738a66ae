// The last raw scan drawn in this process, kept so that a scan of the same setup (the next sheet of a
// batch of like sheets) replays its bytes instead of drawing them again: drawing a sheet takes longer
// than the data source's work on it, so without this a throughput measure would time the emulator. Off
// unless asked for: tests that stop a batch part-way count on sheets arriving at the drawing's pace.
#pragma once

#include "RawScan.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace k3100::emu {

struct RecordedScan {
    std::string key;
    // The faces are held so that their addresses in the key cannot be taken by other images.
    std::shared_ptr<const PageImage> front, back;
    std::vector<uint8_t> bytes;
};

// Whether scans are kept and replayed in this process (off at start); turning it off drops the kept scan.
void setReplayLikeScans(bool on);
bool replayLikeScans();

// Everything of a setup that decides the raw bytes, as one comparable string.
std::string replayKey(const RawScanSetup& setup);
// The kept scan when replay is on and it was drawn from the same setup, else null.
std::shared_ptr<const RecordedScan> findRecorded(const RawScanSetup& setup);
// Keeps a finished scan (replacing the one kept) when replay is on and it is not too large to hold.
void keepRecorded(const RawScanSetup& setup, std::vector<uint8_t> bytes);
// Largest scan kept, bytes: a 600-dpi colour duplex A4 sheet fits.
inline constexpr uint64_t kMaxRecordedBytes = uint64_t{512} << 20;

} // namespace k3100::emu
