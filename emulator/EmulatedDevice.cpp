// In-process connection: every transfer runs under the emulator's lock, so several threads or
// connections see one consistent scanner, and none of them interleave inside a phase.
#include "EmulatedDevice.h"

#include "EmulatorCore.h"
#include "Session.h"

namespace k3100::emu {

EmulatedDevice::EmulatedDevice(std::shared_ptr<Emulator::Core> core, uint16_t vendorId, uint16_t productId)
    : core_(std::move(core)), vendorId_(vendorId), productId_(productId) {}

EmulatedDevice::~EmulatedDevice() {
    close();
}

usb::UsbStatus EmulatedDevice::open() {
    std::lock_guard lock(core_->mutex);
    if (!core_->alive || core_->model.gone())
        return usb::UsbStatus::NoDevice;
    if (!session_)
        session_ = std::make_unique<Session>(core_->model, core_->nextSession++);
    return usb::UsbStatus::Ok;
}

void EmulatedDevice::close() {
    std::lock_guard lock(core_->mutex);
    session_.reset();
}

bool EmulatedDevice::isOpen() const {
    std::lock_guard lock(core_->mutex);
    return session_ != nullptr;
}

usb::UsbStatus EmulatedDevice::bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t) {
    std::lock_guard lock(core_->mutex);
    if (!session_ || !core_->alive)
        return usb::UsbStatus::NoDevice;
    return session_->bulkWrite(pipe, data);
}

usb::UsbStatus EmulatedDevice::bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received, uint32_t) {
    std::lock_guard lock(core_->mutex);
    received = 0;
    if (!session_ || !core_->alive)
        return usb::UsbStatus::NoDevice;
    return session_->bulkRead(pipe, buffer, received);
}

usb::UsbStatus EmulatedDevice::clearHalt(uint8_t pipe) {
    std::lock_guard lock(core_->mutex);
    if (!session_ || !core_->alive)
        return usb::UsbStatus::NoDevice;
    return session_->clearHalt(pipe);
}

uint32_t EmulatedDevice::locationId() const {
    std::lock_guard lock(core_->mutex);
    return session_ ? kEmulatorLocationId : 0;
}

} // namespace k3100::emu
