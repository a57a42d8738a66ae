// The in-process emulated scanner and its text controls.
#include "Emulator.h"

#include "EmulatedDevice.h"
#include "EmulatorCore.h"

#include "UsbDiscovery.h"

#include <sstream>

namespace k3100::emu {
namespace {

constexpr int kMaxSheetsPerLoad = 10000;

constexpr int kMaxCounter = 999999;

std::optional<int> parseNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int n = std::stoi(text);
    return n >= low && n <= high ? std::optional(n) : std::nullopt;
}

} // namespace

Emulator::Emulator(uint16_t vendorId, uint16_t productId)
    : core_(std::make_shared<Core>()), vendorId_(vendorId), productId_(productId) {}

Emulator::~Emulator() {
    if (installed_)
        usb::setDeviceFinder({});
    std::lock_guard lock(core_->mutex);
    core_->alive = false;
}

std::shared_ptr<usb::UsbDevice> Emulator::connect() {
    return std::make_shared<EmulatedDevice>(core_, vendorId_, productId_);
}

void Emulator::installAsBus() {
    std::weak_ptr<Core> weak = core_;
    const uint16_t vendor = vendorId_, product = productId_;
    usb::setDeviceFinder([weak, vendor, product](uint16_t v, uint16_t p, usb::DeviceList& found) {
        found.clear();
        auto core = weak.lock();
        if (!core || v != vendor || p != product)
            return usb::UsbStatus::Ok;
        {
            std::lock_guard lock(core->mutex);
            if (!core->alive || core->model.gone())
                return usb::UsbStatus::Ok;
        }
        found.push_back(std::make_shared<EmulatedDevice>(core, vendor, product));
        return usb::UsbStatus::Ok;
    });
    installed_ = true;
}

void Emulator::loadSheet(Sheet sheet, int count) {
    std::lock_guard lock(core_->mutex);
    for (int i = 0; i < count; ++i)
        core_->model.loadSheet(sheet);
}

void Emulator::pressKey(int key) {
    std::lock_guard lock(core_->mutex);
    core_->model.pressKey(key);
}

void Emulator::armFault(const FaultSpec& spec) {
    std::lock_guard lock(core_->mutex);
    core_->model.armFault(spec);
}

size_t Emulator::sheetsInFeeder() const {
    std::lock_guard lock(core_->mutex);
    return core_->model.sheetsInFeeder();
}

uint32_t Emulator::totalCount() const {
    std::lock_guard lock(core_->mutex);
    return core_->model.totalCount();
}

void Emulator::inspect(const std::function<void(const ScannerModel&)>& inspect) const {
    std::lock_guard lock(core_->mutex);
    inspect(core_->model);
}

std::string Emulator::control(const std::string& command) {
    std::istringstream in(command);
    std::string verb, argument, extra;
    in >> verb >> argument >> extra;
    std::string error;
    if (verb == "load") {
        const auto count = extra.empty() ? std::optional(1) : parseNumber(extra, 1, kMaxSheetsPerLoad);
        if (!count)
            return "error: bad sheet count \"" + extra + "\"";
        auto sheet = sheetFromSpec(argument, error);
        if (!sheet)
            return "error: " + error;
        loadSheet(std::move(*sheet), *count);
        return "ok";
    }
    if (verb == "press") {
        const auto key = parseNumber(argument, 1, 3);
        if (!key)
            return "error: keys are 1 to 3";
        pressKey(*key);
        return "ok";
    }
    if (verb == "fault") {
        const auto spec = parseFaultSpec(argument, error);
        if (!spec)
            return "error: " + error;
        armFault(*spec);
        return "ok";
    }
    std::lock_guard lock(core_->mutex);
    if (verb == "counters") {
        std::string pad;
        in >> pad;
        const auto total = parseNumber(argument, 0, kMaxCounter);
        const auto roller = parseNumber(extra, 0, kMaxCounter);
        const auto padCount = parseNumber(pad, 0, kMaxCounter);
        if (!total || !roller || !padCount ||
            !core_->model.setCounters(static_cast<uint32_t>(*total), static_cast<uint32_t>(*roller),
                                      static_cast<uint32_t>(*padCount)))
            return "error: counters are TOTAL ROLLER PAD, the last two at most the total";
        return "ok";
    }
    if (verb == "clear-feeder")
        core_->model.clearFeeder();
    else if (verb == "clear-faults")
        core_->model.clearFaults();
    else if (verb == "replug")
        core_->model.replug();
    else if (verb == "status")
        return core_->model.describe();
    else
        return "error: unknown control \"" + verb + "\"";
    return "ok";
}

} // namespace k3100::emu
