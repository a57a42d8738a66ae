// Faults to inject into the emulated scanner, each armed to strike at a chosen command: the n-th
// command after arming, or the n-th command with a given operation ("jam@read:3"). REQUEST SENSE is
// never counted, so the host can always learn what went wrong.
#pragma once

#include "CommandWire.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k3100::emu {

enum class FaultKind : uint8_t {
    NoPaper,
    Jam,
    DoubleFeed,
    CoverOpen,
    LampError,
    NotReady,
    UnitAttention,
    HardwareError,
    Timeout,    // the device never answers the command
    Stall,      // the bulk-in pipe stalls until cleared
    DeviceGone, // unplugged until "replug"
    ShortReads, // from then on image data comes in small pieces
};

struct FaultSpec {
    FaultKind kind = FaultKind::Jam;
    std::optional<usb::Op> op; // any command when empty
    uint32_t occurrence = 1;   // 1-based among the matching commands
};

// "kind[@[op:]n]", e.g. "jam", "timeout@12", "stall@read:2". Op names: tur, inquiry, reserve, release,
// scan, window, read, send, position, memory, mode, stop, adjust.
std::optional<FaultSpec> parseFaultSpec(const std::string& text, std::string& error);
std::string faultName(FaultKind kind);

class FaultPlan {
public:
    void arm(const FaultSpec& spec);
    void clear() { armed_.clear(); }
    bool empty() const { return armed_.empty(); }

    // Counts the command against every armed fault; returns the first fault that strikes now.
    std::optional<FaultKind> onCommand(usb::Op op);

private:
    struct Armed {
        FaultSpec spec;
        uint32_t seen = 0;
    };
    std::vector<Armed> armed_;
};

} // namespace k3100::emu
