// The emulated K3100: answers one command block (with its data-out bytes) at a time, holding the state
// a real unit holds: windows, scan modes, lamp registers, the feeder, the operation-panel keys, the
// service counters, the light-curve memory, the scan in progress and the armed faults. Commands arrive
// already framed (see Session); every malformed field is refused with a check condition and sense data.
// Not thread-safe: the owner serialises calls.
#pragma once

#include "FaultPlan.h"
#include "RawScan.h"
#include "Sheet.h"

#include "CommandWire.h"
#include "WirePayloads.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace k3100::emu {

using SessionId = uint64_t;

struct Outcome {
    enum class Transport : uint8_t { None, Stall, Timeout, Gone };
    bool check = false;
    usb::SenseData sense;
    std::vector<uint8_t> dataIn;
    Transport transport = Transport::None;
};

struct PageGeometry {
    uint32_t a = 0;              // scanned length, 1/1200 inch
    uint32_t b = 0;              // document length (0xFFFFFFFF: longer than the maximum scan length)
    std::array<uint32_t, 4> c{}; // left, top, right, bottom margin around the paper
};

class ScannerModel {
public:
    ScannerModel();

    Outcome execute(SessionId session, const usb::CommandBlock& block, std::span<const uint8_t> dataOut);
    void endSession(SessionId session);

    void loadSheet(Sheet sheet);
    size_t sheetsInFeeder() const { return feeder_.size(); }
    void clearFeeder() { feeder_.clear(); }
    void pressKey(int key);
    void armFault(const FaultSpec& spec) { faults_.arm(spec); }
    void clearFaults();
    bool gone() const { return gone_; }
    void replug();

    uint32_t totalCount() const;
    // Sheets fed in total and since the roller's and the pad's last exchange (each at most the total).
    bool setCounters(uint32_t total, uint32_t roller, uint32_t pad);
    const std::array<usb::SAdjustInfo, 2>& registers() const { return registers_; }
    const PageGeometry& lastGeometry() const { return geometry_; }
    std::string describe() const;

private:
    struct ActiveScan {
        std::unique_ptr<RawScan> raw;
        bool paper = false;
        bool ended = false;
        PageGeometry geometry;
    };

    Outcome dispatch(SessionId session, const usb::CommandBlock& block, std::span<const uint8_t> dataOut);
    std::optional<Outcome> injectFault(usb::Op op, const usb::CommandBlock& block);
    bool reservedByOther(SessionId session) const;

    Outcome inquiry(const usb::CommandBlock& block) const;
    Outcome setWindow(std::span<const uint8_t> data);
    Outcome defineScanMode(std::span<const uint8_t> data);
    Outcome setAdjustData(std::span<const uint8_t> data);
    Outcome scan(std::span<const uint8_t> sides);
    Outcome read(const usb::CommandBlock& block);
    Outcome readImage(uint32_t length);
    Outcome send(const usb::CommandBlock& block, std::span<const uint8_t> data);
    Outcome objectPosition(const usb::CommandBlock& block);
    Outcome getMemory(const usb::CommandBlock& block) const;

    RawScanSetup baseSetup(std::span<const uint8_t> sides) const;
    std::optional<Outcome> startPage();
    void endPage();

    std::array<std::optional<usb::SScanWindow>, 2> windows_;
    std::array<usb::SScanModeParam, 3> modes_{};
    std::array<usb::SAdjustInfo, 2> registers_;
    std::array<uint8_t, usb::kServiceBlockLength> service_{};
    std::array<uint8_t, usb::kServiceBlockLength> maxLength_{};
    std::vector<uint8_t> lightCurve_;
    std::deque<Sheet> feeder_;
    uint8_t keys_ = 0;
    std::optional<SessionId> reservedBy_;
    FaultPlan faults_;
    bool gone_ = false;
    bool shortReads_ = false;
    bool unitAttention_ = false;
    std::optional<ActiveScan> scan_;
    std::vector<uint8_t> pageSides_; // SCAN bytes of the paper scan, for the next page of a batch
    bool continuous_ = false;
    bool batchStopped_ = false;
    PageGeometry geometry_;
};

} // namespace k3100::emu
