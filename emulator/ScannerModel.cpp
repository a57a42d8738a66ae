// Command dispatch of the emulated scanner: faults first, then the reservation, then the command's own
// checks. Settings commands store what they were sent; the scan commands live in ScannerScan.cpp.
#include "ScannerModel.h"

#include "LightCurveBlock.h"
#include "ScannerSense.h"

#include "BigEndian.h"

#include <algorithm>
#include <sstream>

namespace k3100::emu {
namespace {

constexpr usb::SAdjustInfo kPowerOnRegisters{0, 103, 1800, 1800, 1800};
constexpr uint32_t kDefaultMaxScanLength = 1000000; // micrometres: one metre
constexpr const char* kSerialNumber = "K31EMU0000000001";
constexpr uint32_t kMaxWindowLength = 1200 * 60; // 60 inches
constexpr uint16_t kYResolutions[] = {100, 150, 200, 240, 300, 400, 600};

bool validWindow(const usb::SScanWindow& w) {
    const bool yOk = std::find(std::begin(kYResolutions), std::end(kYResolutions), w.yResolution) !=
                     std::end(kYResolutions);
    return w.identifier <= 1 && (w.xResolution == 300 || w.xResolution == 600) && yOk && w.width > 0 &&
           w.left < static_cast<uint32_t>(kSensorWidth1200) && w.width <= kSensorWidth1200 - w.left &&
           w.length > 0 && w.length <= kMaxWindowLength &&
           (w.composition == usb::kCompositionGrey || w.composition == usb::kCompositionColour) &&
           (w.bitsPerPixel == 8 || w.bitsPerPixel == 12);
}

// Commands that change the unit's state are refused to everyone but the session holding it reserved.
bool needsUnit(const usb::CommandBlock& block) {
    switch (static_cast<usb::Op>(block[0])) {
    case usb::Op::Scan:
    case usb::Op::SetWindow:
    case usb::Op::DefineScanMode:
    case usb::Op::SetAdjustData:
    case usb::Op::Send:
    case usb::Op::ReserveUnit:
    case usb::Op::ObjectPosition:
    case usb::Op::StopBatch:
        return true;
    case usb::Op::Read:
        return block[2] == 0x00;
    default:
        return false;
    }
}

SenseCode senseOf(FaultKind kind) {
    switch (kind) {
    case FaultKind::NoPaper:
        return kSenseNoPaper;
    case FaultKind::Jam:
        return kSenseJam;
    case FaultKind::DoubleFeed:
        return kSenseDoubleFeed;
    case FaultKind::CoverOpen:
        return kSenseCoverOpen;
    case FaultKind::LampError:
        return kSenseLamp;
    case FaultKind::NotReady:
        return kSenseNotReady;
    default:
        return kSenseHardware;
    }
}

} // namespace

ScannerModel::ScannerModel() : lightCurve_(buildLightCurveBlock()) {
    registers_ = {kPowerOnRegisters, kPowerOnRegisters};
    std::copy_n(kSerialNumber, usb::kServiceSerialLength, service_.begin() + usb::kServiceSerialNumber);
    usb::putBE32(&maxLength_[usb::kMaxScanLengthWord], kDefaultMaxScanLength);
}

void ScannerModel::loadSheet(Sheet sheet) {
    feeder_.push_back(std::move(sheet));
}

void ScannerModel::pressKey(int key) {
    keys_ |= usb::panelKeyBit(key);
}

void ScannerModel::clearFaults() {
    faults_.clear();
    shortReads_ = false;
    unitAttention_ = false;
}

void ScannerModel::replug() {
    gone_ = false;
    scan_.reset();
    reservedBy_.reset();
    unitAttention_ = true; // a unit that was reset reports it once
}

uint32_t ScannerModel::totalCount() const {
    return usb::getBE32(&service_[usb::kServiceTotalCount]);
}

bool ScannerModel::setCounters(uint32_t total, uint32_t roller, uint32_t pad) {
    if (roller > total || pad > total)
        return false;
    usb::putBE32(&service_[usb::kServiceTotalCount], total);
    usb::putBE32(&service_[usb::kServiceRollerReference], total - roller);
    usb::putBE32(&service_[usb::kServicePadReference], total - pad);
    return true;
}

std::string ScannerModel::describe() const {
    std::ostringstream out;
    const uint32_t total = totalCount();
    out << "sheets=" << feeder_.size() << " total=" << total
        << " roller=" << total - usb::getBE32(&service_[usb::kServiceRollerReference])
        << " pad=" << total - usb::getBE32(&service_[usb::kServicePadReference]) << " keys=" << int(keys_)
        << " reserved=" << (reservedBy_ ? 1 : 0) << " scanning=" << (scan_ && !scan_->ended ? 1 : 0)
        << " gone=" << (gone_ ? 1 : 0);
    return out.str();
}

void ScannerModel::endSession(SessionId session) {
    if (reservedBy_ == session)
        reservedBy_.reset();
}

bool ScannerModel::reservedByOther(SessionId session) const {
    return reservedBy_ && *reservedBy_ != session;
}

Outcome ScannerModel::execute(SessionId session, const usb::CommandBlock& block,
                              std::span<const uint8_t> dataOut) {
    if (gone_) {
        Outcome o;
        o.transport = Outcome::Transport::Gone;
        return o;
    }
    const auto op = static_cast<usb::Op>(block[0]);
    if (auto fault = injectFault(op, block))
        return *fault;
    if (unitAttention_ && op != usb::Op::Inquiry) {
        unitAttention_ = false;
        return failed(kSensePowerOn);
    }
    if (needsUnit(block) && reservedByOther(session))
        return failed(kSenseInUse);
    return dispatch(session, block, dataOut);
}

std::optional<Outcome> ScannerModel::injectFault(usb::Op op, const usb::CommandBlock& block) {
    const auto kind = faults_.onCommand(op);
    if (!kind)
        return std::nullopt;
    Outcome o;
    switch (*kind) {
    case FaultKind::DeviceGone:
        gone_ = true;
        scan_.reset();
        o.transport = Outcome::Transport::Gone;
        return o;
    case FaultKind::Timeout:
        o.transport = Outcome::Transport::Timeout;
        o.sense = failed(kSenseTimeout).sense;
        return o;
    case FaultKind::Stall:
        o.transport = Outcome::Transport::Stall;
        return o;
    case FaultKind::ShortReads:
        shortReads_ = true;
        return std::nullopt;
    case FaultKind::UnitAttention:
        unitAttention_ = true;
        return std::nullopt;
    default:
        break;
    }
    // A paper fault in the middle of a page ends it; the sheet is taken out by the user.
    if (op == usb::Op::Read && block[2] == 0x00 && scan_ && scan_->paper)
        scan_.reset();
    return failed(senseOf(*kind));
}

Outcome ScannerModel::dispatch(SessionId session, const usb::CommandBlock& block,
                               std::span<const uint8_t> dataOut) {
    switch (static_cast<usb::Op>(block[0])) {
    case usb::Op::TestUnitReady:
        return good();
    case usb::Op::Inquiry:
        return inquiry(block);
    case usb::Op::ReserveUnit:
        reservedBy_ = session;
        return good();
    case usb::Op::ReleaseUnit:
        endSession(session);
        return good();
    case usb::Op::SetWindow:
        return setWindow(dataOut);
    case usb::Op::DefineScanMode:
        return block[1] == 0x10 ? defineScanMode(dataOut) : failed(kSenseInvalidField);
    case usb::Op::SetAdjustData:
        return setAdjustData(dataOut);
    case usb::Op::Scan:
        return scan(dataOut);
    case usb::Op::Read:
        return read(block);
    case usb::Op::Send:
        return send(block, dataOut);
    case usb::Op::ObjectPosition:
        return objectPosition(block);
    case usb::Op::GetMemory:
        return getMemory(block);
    case usb::Op::StopBatch:
        batchStopped_ = true;
        return good();
    case usb::Op::RequestSense: // answered by the session, which keeps the sense data
        break;
    }
    return failed(kSenseInvalidOpcode);
}

Outcome ScannerModel::inquiry(const usb::CommandBlock& block) const {
    const auto data = usb::encodeInquiry({"ORVIK", "K3100 Scanner", "1.00"});
    return good({data.begin(), data.begin() + std::min<size_t>(block[4], data.size())});
}

Outcome ScannerModel::setWindow(std::span<const uint8_t> data) {
    const auto window = usb::decodeWindowList(data);
    if (!window || !validWindow(*window))
        return failed(kSenseInvalidParameter);
    windows_[window->identifier] = *window;
    return good();
}

Outcome ScannerModel::defineScanMode(std::span<const uint8_t> data) {
    const auto mode = usb::decodeModePage(data);
    if (!mode || (mode->page == 1 && mode->first != 0 && mode->first != 2))
        return failed(kSenseInvalidParameter);
    modes_[mode->page] = *mode;
    return good();
}

Outcome ScannerModel::setAdjustData(std::span<const uint8_t> data) {
    const auto pair = usb::decodeAdjustData(data);
    if (!pair)
        return failed(kSenseInvalidParameter);
    registers_ = {pair->front, pair->back};
    return good();
}

Outcome ScannerModel::send(const usb::CommandBlock& block, std::span<const uint8_t> data) {
    const auto kind = usb::dataKindFrom(block[2], block[4], block[5]);
    if (kind != usb::DataKind::ServiceBlock && kind != usb::DataKind::MaxScanLength)
        return failed(kSenseInvalidField);
    if (data.size() != usb::kServiceBlockLength)
        return failed(kSenseInvalidParameter);
    auto& target = kind == usb::DataKind::ServiceBlock ? service_ : maxLength_;
    std::copy(data.begin(), data.end(), target.begin());
    return good();
}

Outcome ScannerModel::getMemory(const usb::CommandBlock& block) const {
    const uint32_t address = usb::getBE32(&block[2]);
    const uint32_t length = usb::getBE24(&block[6]);
    if (length == 0 || length > usb::kMaxGetMemoryLength)
        return failed(kSenseInvalidField);
    if (address < kLightCurveAddress || address - kLightCurveAddress > kLightCurveSize - length)
        return failed(kSenseAddressRange);
    const auto from = lightCurve_.begin() + (address - kLightCurveAddress);
    return good({from, from + length});
}

} // namespace k3100::emu
