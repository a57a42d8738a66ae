// The pass-through commands: four-character codes by which the main application reads and writes the
// scanner's service data and aborts a running scan. Buffers are copied with memcpy, since the caller's
// data need not be aligned.
#include <array>
#include <cstring>

#include "COrvkQS.h"
#include "OrvkQSDS.h"

namespace {

constexpr std::uint32_t Code(const char (&text)[5]) {
    return std::uint32_t(std::uint8_t(text[0])) << 24 | std::uint32_t(std::uint8_t(text[1])) << 16 |
           std::uint32_t(std::uint8_t(text[2])) << 8 | std::uint32_t(std::uint8_t(text[3]));
}

struct SPassThruRow {
    std::uint32_t code;
    std::uint32_t dataBytes; // the buffer a command needs; 0 none
};

constexpr SPassThruRow kCommands[] = {
    {Code("AbRq"), 0}, {Code("GtBS"), 4},  {Code("GtDI"), 12}, {Code("GtXL"), 4}, {Code("RtPC"), 0},
    {Code("RtRC"), 0}, {Code("StSC"), 12}, {Code("StSN"), 16}, {Code("StXL"), 4},
};

std::array<std::uint32_t, 3> Words(const void* data) {
    std::array<std::uint32_t, 3> words{};
    std::memcpy(words.data(), data, sizeof words);
    return words;
}

} // namespace

COrvkQSDS::COrvkQSDS() = default;
COrvkQSDS::~COrvkQSDS() = default;

void COrvkQSDS::AttachScanner(std::unique_ptr<k3100::COrvkQS> scanner) {
    mScanner = std::move(scanner);
}

TW_UINT16 COrvkQSDS::PassThru(pTW_IDENTITY, TW_MEMREF data) {
    const auto* record = static_cast<const TW_PASSTHRU*>(data);
    if (mState < kOpen || mState > kTransferring || !record || record->CommandBytes != 4 || !record->pCommand)
        return Fail(TWCC_BADPROTOCOL);
    std::uint32_t code = 0;
    std::memcpy(&code, record->pCommand, sizeof code);
    const SPassThruRow* row = nullptr;
    for (const SPassThruRow& candidate : kCommands)
        if (candidate.code == code)
            row = &candidate;
    if (!row)
        return Fail(TWCC_BADPROTOCOL);
    if (row->dataBytes && (!record->pData || record->DataBytes < row->dataBytes))
        return TWRC_SUCCESS;
    if (code == Code("AbRq") && mDeviceEvent != kDeviceEventIdleTick)
        return SetConditionCode(TWCC_SEQERROR, TWRC_CHECKSTATUS);
    if (!mScanner || RunPassThru(code, record->pData) != 0)
        return SetConditionCode(TWCC_CHECKDEVICEONLINE, TWRC_CHECKSTATUS);
    return TWRC_SUCCESS;
}

std::uint32_t COrvkQSDS::RunPassThru(std::uint32_t code, void* data) {
    switch (code) {
    case Code("AbRq"):
        return static_cast<std::uint32_t>(mScanner->AbortScan());
    case Code("GtBS"):
        return static_cast<std::uint32_t>(ReadStatusInto("OperationpanelEZKeyStatus", data, 4));
    case Code("GtDI"):
        return static_cast<std::uint32_t>(ReadStatusInto("ServiceData", data, 12));
    case Code("GtXL"):
        return static_cast<std::uint32_t>(ReadStatusInto("MaxScanLength", data, 4));
    case Code("RtPC"):
        return mScanner->ClearRollerCounter(1);
    case Code("RtRC"):
        return mScanner->ClearRollerCounter(0);
    case Code("StSC"): {
        const auto words = Words(data);
        return mScanner->SetScanCounter(words[0], words[1], words[2]);
    }
    case Code("StSN"): {
        // The serial number is 16 bytes of text, not necessarily terminated.
        std::array<char, 17> serial{};
        std::memcpy(serial.data(), data, 16);
        return mScanner->SetSerialNumber(serial.data());
    }
    case Code("StXL"): {
        std::uint32_t length = 0;
        std::memcpy(&length, data, sizeof length);
        return mScanner->SetMaxScanLength(length);
    }
    default:
        return 1;
    }
}

int COrvkQSDS::ReadStatusInto(const char* key, void* data, std::size_t bytes) {
    std::array<std::uint32_t, 3> words{};
    const int result = mScanner->GetStatus(key, words.data());
    if (result == 0)
        std::memcpy(data, words.data(), bytes);
    return result;
}

TW_UINT16 COrvkQSDS::GetDeviceEvent(pTW_IDENTITY, TW_MEMREF data) {
    auto* event = static_cast<TW_DEVICEEVENT*>(data);
    if (mState < kOpen || mState > kTransferring)
        return Fail(TWCC_SEQERROR);
    if (!event)
        return Fail(TWCC_BADVALUE);
    *event = TW_DEVICEEVENT{};
    event->Event = mDeviceEvent;
    return TWRC_SUCCESS;
}
