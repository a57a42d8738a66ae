// One host's connection to the emulated scanner as the bulk pipes see it: the phase machine of the
// transport (command container, data-out container or data-in bytes, 4-byte status), the sense data of
// the last command, and stalled pipes. REQUEST SENSE is answered here; every other command goes to the
// model. The caller serialises access together with the model's.
#pragma once

#include "ScannerModel.h"

#include "UsbStatus.h"

#include <span>

namespace k3100::emu {

class Session {
public:
    Session(ScannerModel& model, SessionId id) : model_(model), id_(id) {}
    ~Session() { model_.endSession(id_); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    usb::UsbStatus bulkWrite(uint8_t pipe, std::span<const uint8_t> data);
    usb::UsbStatus bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received);
    usb::UsbStatus clearHalt(uint8_t pipe);

private:
    enum class Phase { Command, DataOut, DataIn, Status };

    usb::UsbStatus acceptCommand(std::span<const uint8_t> data);
    usb::UsbStatus acceptData(std::span<const uint8_t> data);
    usb::UsbStatus finish(Outcome outcome, bool dataInPhase);
    void refuse(uint8_t key, uint8_t code);

    ScannerModel& model_;
    SessionId id_;
    Phase phase_ = Phase::Command;
    usb::CommandBlock block_{};
    uint32_t expectedOut_ = 0;
    std::vector<uint8_t> dataIn_;
    bool checkCondition_ = false;
    usb::SenseData sense_;
    Outcome::Transport pending_ = Outcome::Transport::None;
    bool inStalled_ = false;
};

} // namespace k3100::emu
