// Fault specs and their counters.
#include "FaultPlan.h"

#include <utility>

namespace k3100::emu {
namespace {

constexpr std::pair<const char*, FaultKind> kKinds[] = {
    {"no-paper", FaultKind::NoPaper},
    {"jam", FaultKind::Jam},
    {"double-feed", FaultKind::DoubleFeed},
    {"cover-open", FaultKind::CoverOpen},
    {"lamp-error", FaultKind::LampError},
    {"not-ready", FaultKind::NotReady},
    {"unit-attention", FaultKind::UnitAttention},
    {"hardware-error", FaultKind::HardwareError},
    {"timeout", FaultKind::Timeout},
    {"stall", FaultKind::Stall},
    {"gone", FaultKind::DeviceGone},
    {"short-reads", FaultKind::ShortReads},
};

constexpr std::pair<const char*, usb::Op> kOps[] = {
    {"tur", usb::Op::TestUnitReady},
    {"inquiry", usb::Op::Inquiry},
    {"reserve", usb::Op::ReserveUnit},
    {"release", usb::Op::ReleaseUnit},
    {"scan", usb::Op::Scan},
    {"window", usb::Op::SetWindow},
    {"read", usb::Op::Read},
    {"send", usb::Op::Send},
    {"position", usb::Op::ObjectPosition},
    {"memory", usb::Op::GetMemory},
    {"mode", usb::Op::DefineScanMode},
    {"stop", usb::Op::StopBatch},
    {"adjust", usb::Op::SetAdjustData},
};

std::optional<uint32_t> parseCount(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto n = static_cast<uint32_t>(std::stoul(text));
    return n == 0 ? std::nullopt : std::optional(n);
}

} // namespace

std::string faultName(FaultKind kind) {
    for (const auto& [name, k] : kKinds)
        if (k == kind)
            return name;
    return "?";
}

std::optional<FaultSpec> parseFaultSpec(const std::string& text, std::string& error) {
    const size_t at = text.find('@');
    const std::string kindName = text.substr(0, at);
    FaultSpec spec;
    bool known = false;
    for (const auto& [name, k] : kKinds)
        if (kindName == name) {
            spec.kind = k;
            known = true;
        }
    if (!known) {
        error = "unknown fault \"" + kindName + "\"";
        return std::nullopt;
    }
    if (at == std::string::npos)
        return spec;
    std::string when = text.substr(at + 1);
    const size_t colon = when.find(':');
    if (colon != std::string::npos) {
        const std::string opName = when.substr(0, colon);
        bool found = false;
        for (const auto& [name, op] : kOps)
            if (opName == name) {
                spec.op = op;
                found = true;
            }
        if (!found) {
            error = "unknown command \"" + opName + "\"";
            return std::nullopt;
        }
        when = when.substr(colon + 1);
    }
    const auto count = parseCount(when);
    if (!count) {
        error = "bad command count in \"" + text + "\"";
        return std::nullopt;
    }
    spec.occurrence = *count;
    return spec;
}

void FaultPlan::arm(const FaultSpec& spec) {
    armed_.push_back({spec, 0});
}

std::optional<FaultKind> FaultPlan::onCommand(usb::Op op) {
    std::optional<FaultKind> strike;
    for (auto it = armed_.begin(); it != armed_.end();) {
        if (!it->spec.op || *it->spec.op == op)
            ++it->seen;
        if (it->seen >= it->spec.occurrence && !strike) {
            strike = it->spec.kind;
            it = armed_.erase(it);
        } else {
            ++it;
        }
    }
    return strike;
}

} // namespace k3100::emu
