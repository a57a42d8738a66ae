// The transport phases of the emulated scanner. A malformed or out-of-phase container is answered with
// a check condition (illegal request: invalid field or command sequence error) in the status phase, so
// the host learns of it through REQUEST SENSE as it would from the real unit.
#include "Session.h"

#include "BigEndian.h"
#include "UsbDevice.h"

#include <algorithm>

namespace k3100::emu {
namespace {

constexpr uint8_t kIllegalRequest = 0x5;
constexpr uint8_t kInvalidField = 0x24;
constexpr uint8_t kInvalidParameterLength = 0x1A;
constexpr uint8_t kSequenceError = 0x2C;
constexpr uint8_t kInvalidOpcode = 0x20;

} // namespace

void Session::refuse(uint8_t key, uint8_t code) {
    checkCondition_ = true;
    sense_ = {};
    sense_.key = key;
    sense_.code = code;
    dataIn_.clear();
    phase_ = Phase::Status;
}

usb::UsbStatus Session::bulkWrite(uint8_t pipe, std::span<const uint8_t> data) {
    if (model_.gone())
        return usb::UsbStatus::NoDevice;
    if (pipe != usb::kBulkOutPipe)
        return usb::UsbStatus::NotFound;
    // A command container while another command waits for its data restarts the exchange, as the
    // host does after clearing a stalled command.
    const auto header = usb::parseContainerHeader(data);
    if (phase_ == Phase::DataOut && !(header && header->type == usb::kContainerCommand))
        return acceptData(data);
    return acceptCommand(data);
}

usb::UsbStatus Session::acceptCommand(std::span<const uint8_t> data) {
    pending_ = Outcome::Transport::None;
    const auto header = usb::parseContainerHeader(data);
    if (!header || data.size() != usb::kCommandContainerSize) {
        refuse(kIllegalRequest, kInvalidParameterLength);
        return usb::UsbStatus::Ok;
    }
    if (header->type != usb::kContainerCommand) {
        refuse(kIllegalRequest, kSequenceError);
        return usb::UsbStatus::Ok;
    }
    if (header->length != usb::kCommandContainerSize - 4 || header->code != usb::kCommandCode ||
        header->reserved != 0) {
        refuse(kIllegalRequest, kInvalidField);
        return usb::UsbStatus::Ok;
    }
    std::copy_n(data.begin() + 12, usb::kCommandBlockSize, block_.begin());
    const auto phase = usb::dataPhaseOf(block_);
    if (!phase) {
        refuse(kIllegalRequest, kInvalidOpcode);
        return usb::UsbStatus::Ok;
    }
    if (static_cast<usb::Op>(block_[0]) == usb::Op::RequestSense) {
        const auto bytes = usb::encodeSense(sense_);
        Outcome o;
        o.dataIn.assign(bytes.begin(), bytes.begin() + std::min<size_t>(block_[4], bytes.size()));
        return finish(std::move(o), true);
    }
    if (phase->direction == usb::Direction::Out && phase->length > 0) {
        expectedOut_ = phase->length;
        phase_ = Phase::DataOut;
        return usb::UsbStatus::Ok;
    }
    return finish(model_.execute(id_, block_, {}), phase->direction == usb::Direction::In);
}

usb::UsbStatus Session::acceptData(std::span<const uint8_t> data) {
    const auto header = usb::parseContainerHeader(data);
    if (!header || header->type != usb::kContainerData || header->code != usb::kDataCode) {
        refuse(kIllegalRequest, kSequenceError);
        return usb::UsbStatus::Ok;
    }
    if (header->length != expectedOut_ + 8 || data.size() != usb::kDataHeaderSize + expectedOut_) {
        refuse(kIllegalRequest, kInvalidParameterLength);
        return usb::UsbStatus::Ok;
    }
    return finish(model_.execute(id_, block_, data.subspan(usb::kDataHeaderSize)), false);
}

usb::UsbStatus Session::finish(Outcome outcome, bool dataInPhase) {
    if (outcome.transport == Outcome::Transport::Gone)
        return usb::UsbStatus::NoDevice;
    pending_ = outcome.transport;
    checkCondition_ = outcome.check;
    sense_ = outcome.sense;
    dataIn_ = std::move(outcome.dataIn);
    phase_ = dataInPhase && pending_ == Outcome::Transport::None ? Phase::DataIn : Phase::Status;
    return usb::UsbStatus::Ok;
}

usb::UsbStatus Session::bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received) {
    received = 0;
    if (model_.gone())
        return usb::UsbStatus::NoDevice;
    if (pipe != usb::kBulkInPipe)
        return usb::UsbStatus::NotFound;
    if (inStalled_)
        return usb::UsbStatus::PipeStalled;
    if (pending_ != Outcome::Transport::None) {
        const Outcome::Transport transport = pending_;
        pending_ = Outcome::Transport::None;
        phase_ = Phase::Command;
        inStalled_ = transport == Outcome::Transport::Stall;
        return inStalled_ ? usb::UsbStatus::PipeStalled : usb::UsbStatus::Timeout;
    }
    switch (phase_) {
    case Phase::DataIn:
        received = std::min(buffer.size(), dataIn_.size());
        std::copy_n(dataIn_.begin(), received, buffer.begin());
        dataIn_.clear();
        phase_ = Phase::Status;
        return usb::UsbStatus::Ok;
    case Phase::Status: {
        uint8_t status[usb::kStatusSize];
        usb::putBE32(status, checkCondition_ ? 1 : 0);
        received = std::min(buffer.size(), sizeof status);
        std::copy_n(status, received, buffer.begin());
        phase_ = Phase::Command;
        return usb::UsbStatus::Ok;
    }
    default:
        // Nothing to send: the host would wait for its whole time-out.
        return usb::UsbStatus::Timeout;
    }
}

usb::UsbStatus Session::clearHalt(uint8_t pipe) {
    if (model_.gone())
        return usb::UsbStatus::NoDevice;
    if (pipe == usb::kBulkInPipe)
        inStalled_ = false;
    else if (pipe != usb::kBulkOutPipe)
        return usb::UsbStatus::NotFound;
    return usb::UsbStatus::Ok;
}

} // namespace k3100::emu
