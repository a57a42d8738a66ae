#include "ScannerInfoRecord.h"

#include <QString>

#include <cstring>
#include <string>

namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kNameLength = 64;
constexpr std::size_t kVersionOffset = 64;
constexpr std::size_t kVersionLength = 32;
constexpr std::size_t kUltrasonicFlag = 96;

std::string FieldText(const ScannerInfoBlock& info, std::size_t offset, std::size_t length) {
    const char* field = info.data() + offset;
    const QString text = QString::fromLocal8Bit(field, static_cast<qsizetype>(strnlen(field, length)));
    return text.trimmed().toStdString();
}

} // namespace

fnd::Dictionary ScannerInfoFromRecords(const ScannerInfoBlock& info, const ServiceCounters& service,
                                       std::uint32_t maxScanLength) {
    return fnd::Dictionary{
        {"PadCount", std::int64_t{service[2]}},
        {"RollerCount", std::int64_t{service[1]}},
        {"TotalScanCount", std::int64_t{service[0]}},
        {"MaxScanLength", std::int64_t{maxScanLength}},
        {"ScannerName", FieldText(info, kNameOffset, kNameLength)},
        {"ScannerVersion", FieldText(info, kVersionOffset, kVersionLength)},
        {"SupportDfdByUSS", info[kUltrasonicFlag] != 0},
    };
}
