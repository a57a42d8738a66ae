// Flattens the capability pool into the 2504-byte settings blob and applies a blob back. One table of
// fields (offset, kind, capability) drives both directions, so the two can never disagree; integers are
// little-endian, floats big-endian, strings the pool's items byte for byte.
#include "SettingsBlob.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <span>

#include "CapHelpers.h"
#include "QSCapIds.h"
#include "QSCapLimits.h"

namespace {

enum class EField : std::uint8_t {
    kU16,   // unsigned 16-bit; read back as unsigned (a transfer count 0xFFFF becomes -1)
    kS16,   // signed 16-bit
    kU32,   // unsigned 32-bit
    kS32,   // signed 32-bit
    kFloat, // 32-bit float, byte-reversed (big-endian)
    kXRes,  // X resolution as a whole number of dpi in 16 bits; restores X and Y
    kStr34, // TWTY_STR32 item
    kStr66, // TWTY_STR64 item: a length byte counting UTF-16 units, then the units
    kStr256 // TWTY_STR255 item (tone curves: 256 table bytes)
};

struct SBlobField {
    std::uint16_t offset;
    EField kind;
    TW_UINT16 capId;
};

constexpr std::size_t FieldSize(EField kind) {
    switch (kind) {
    case EField::kU16:
    case EField::kS16:
    case EField::kXRes:
        return 2;
    case EField::kStr34:
        return 34;
    case EField::kStr66:
        return 66;
    case EField::kStr256:
        return 256;
    default:
        return 4;
    }
}

using enum EField;
constexpr SBlobField kFields[] = {
    {0, kS16, CAP_XFERCOUNT},
    {2, kU16, CAP_AUTOFEED},
    {4, kS32, CCAP_OVKM_SCANAREA_X},
    {8, kS32, CCAP_OVKM_SCANAREA_Y},
    {12, kS32, CCAP_OVKM_SCANAREA_WIDTH},
    {16, kS32, CCAP_OVKM_SCANAREA_HEIGHT},
    {20, kU32, CCAP_OVKM_UNIT},
    {24, kU32, CCAP_OVKM_CUSTOM_SCANAREA},
    {28, kU32, CCAP_OVK_MARGINLENGTH},
    {32, kU16, ICAP_PIXELTYPE},
    {34, kStr34, ICAP_HALFTONES},
    {68, kU32, CCAP_OVK_TEXTENHANCE},
    {72, kU32, CCAP_OVK_DETECTPAGETYPE},
    {76, kU32, CCAP_OVK_DETECTPAGETYPE_THRESHOLD},
    {80, kU32, CCAP_OVK_DETECTPAGETYPE_AMOUNT},
    {84, kU32, CCAP_OVKM_DETECTPAGETYPE_BWMODE},
    {88, kXRes, ICAP_XRESOLUTION},
    {90, kU16, CAP_DUPLEXENABLED},
    {92, kU32, CCAP_OVK_BLANKSKIP},
    {96, kU32, CCAP_OVK_FOLDLARGESIZE},
    {100, kU32, CCAP_OVK_BLANKSKIPSLICE3},
    {104, kS32, CCAP_OVKM_PAPERSIZE},
    {108, kS32, CCAP_OVK_DETECTPAGESIZE},
    {112, kStr66, CCAP_OVKM_CUSTOMPAGESIZENAME},
    {180, kU32, CCAP_OVK_DESKEW},
    {184, kU32, CCAP_OVK_REDUCE_MOIRE},
    {188, kFloat, ICAP_BRIGHTNESS},
    {192, kFloat, BackTwin(ICAP_BRIGHTNESS)},
    {196, kU16, CCAP_OVKM_BACKBRIGHTNESSENABLED},
    {200, kFloat, ICAP_CONTRAST},
    {204, kFloat, BackTwin(ICAP_CONTRAST)},
    {208, kU16, CCAP_OVKM_BACKCONTRASTENABLED},
    {212, kS32, CCAP_OVK_TEXTENHANCE_BRIGHTNESS},
    {216, kS32, CCAP_OVK_TEXTENHANCE_CONTRAST},
    {220, kU32, CCAP_OVK_EDGEEMPHASIS},
    {224, kU32, CCAP_OVK_DATAORIENTATION},
    {228, kU32, CCAP_OVK_REVERSESCANTYPE},
    {232, kU32, CCAP_OVK_RECOGNIZE_DIRECTION},
    {236, kU32, CCAP_OVK_BLEEDTHROUGH},
    {240, kU32, CCAP_OVK_BLEEDTHROUGH_THRESHOLD},
    {244, kU32, CCAP_OVK_DROPOUT},
    {248, kU32, CCAP_OVK_COLORENHANCE},
    {252, kU32, BackTwin(CCAP_OVK_DROPOUT)},
    {256, kU32, BackTwin(CCAP_OVK_COLORENHANCE)},
    {260, kU32, CCAP_OVK_FEEDER_JAMLESS},
    {264, kU32, CCAP_OVK_DETECTDBLFEED_LENGTH},
    {268, kU32, CCAP_OVK_DETECTDBLFEED_ULTRASONIC},
    {272, kU32, CCAP_OVK_MANUALFEED},
    {276, kU32, CCAP_OVK_AUTOSTARTDELAY},
    {280, kU32, CCAP_OVK_PRESCAN},
    {284, kStr256, CCAP_OVKM_GRAYCURVE},
    {540, kStr256, CCAP_OVKM_REDCURVE},
    {796, kStr256, CCAP_OVKM_GREENCURVE},
    {1052, kStr256, CCAP_OVKM_BLUECURVE},
    {1308, kStr256, BackTwin(CCAP_OVKM_GRAYCURVE)},
    {1564, kStr256, BackTwin(CCAP_OVKM_REDCURVE)},
    {1820, kStr256, BackTwin(CCAP_OVKM_GREENCURVE)},
    {2076, kStr256, BackTwin(CCAP_OVKM_BLUECURVE)},
    {2332, kFloat, CCAP_OVKM_GRAYGAMMA},
    {2336, kFloat, CCAP_OVKM_REDGAMMA},
    {2340, kFloat, CCAP_OVKM_GREENGAMMA},
    {2344, kFloat, CCAP_OVKM_BLUEGAMMA},
    {2348, kFloat, BackTwin(CCAP_OVKM_GRAYGAMMA)},
    {2352, kFloat, BackTwin(CCAP_OVKM_REDGAMMA)},
    {2356, kFloat, BackTwin(CCAP_OVKM_GREENGAMMA)},
    {2360, kFloat, BackTwin(CCAP_OVKM_BLUEGAMMA)},
    {2364, kU32, CCAP_OVKM_GAMMAMODE},
    {2368, kU32, CCAP_OVKM_GAMMAMETHOD},
    {2372, kStr66, CCAP_OVKM_CUSTOMGAMMANAME},
    {2438, kStr66, CCAP_OVKM_FAVORITENAME},
};

// Fields in rising order, never overlapping, the last one ending exactly at the blob's end.
constexpr bool FieldsTileTheBlob() {
    std::size_t end = 0;
    for (const SBlobField& field : kFields) {
        if (field.offset < end)
            return false;
        end = field.offset + FieldSize(field.kind);
    }
    return end == kSettingsBlobSize;
}
static_assert(FieldsTileTheBlob());

// A name holds at most this many UTF-16 units after its length byte.
constexpr std::size_t kMaxNameUnits = (66 - 1) / 2;

void PutLE(std::uint8_t* at, std::uint32_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t GetLE(const std::uint8_t* at, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        value |= std::uint32_t{at[i]} << (8 * i);
    return value;
}
void PutFloatBE(std::uint8_t* at, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(bits >> (8 * (3 - i)));
}
float GetFloatBE(const std::uint8_t* at) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i)
        bits = (bits << 8) | at[i];
    return std::bit_cast<float>(bits);
}

void FlattenField(const CCapPool& pool, const SBlobField& field, std::uint8_t* at) {
    const std::size_t size = FieldSize(field.kind);
    switch (field.kind) {
    case kU16:
    case kU32:
        PutLE(at, GetCapUIntValue(&pool, field.capId), size);
        break;
    case kS16:
    case kS32:
        PutLE(at, static_cast<std::uint32_t>(GetCapSIntValue(&pool, field.capId)), size);
        break;
    case kFloat:
        PutFloatBE(at, GetCapFloatValue(&pool, field.capId));
        break;
    case kXRes:
        PutLE(at, static_cast<std::uint16_t>(std::trunc(GetCapFloatValue(&pool, field.capId))), size);
        break;
    default:
        GetCapStrValue(&pool, field.capId, std::span(at, size));
        break;
    }
}

// The field's integer as its capability holds it: 16-bit signed fields sign-extended.
std::int32_t IntegerOf(const SBlobField& field, const std::uint8_t* at) {
    const std::uint32_t raw = GetLE(at, FieldSize(field.kind));
    return field.kind == kS16 ? static_cast<std::int16_t>(raw) : static_cast<std::int32_t>(raw);
}

void UnflattenField(CCapPool& pool, const SBlobField& field, const std::uint8_t* at) {
    const std::size_t size = FieldSize(field.kind);
    const bool integer = field.kind == kU16 || field.kind == kS16 || field.kind == kU32 || field.kind == kS32;
    // A value the scan cannot use would fail every scan and be saved again at each close.
    if (integer && !IsWithinCapLimits(field.capId, IntegerOf(field, at)))
        return;
    switch (field.kind) {
    case kU16:
    case kS16:
    case kU32:
        SetCapUIntValue(&pool, field.capId, GetLE(at, size));
        break;
    case kS32:
        SetCapSIntValue(&pool, field.capId, static_cast<std::int32_t>(GetLE(at, size)));
        break;
    case kFloat:
        SetCapFloatValue(&pool, field.capId, GetFloatBE(at));
        break;
    case kXRes: {
        const auto dpi = static_cast<float>(GetLE(at, size));
        SetCapFloatValue(&pool, ICAP_XRESOLUTION, dpi);
        SetCapFloatValue(&pool, ICAP_YRESOLUTION, dpi);
        break;
    }
    case kStr66:
        // A longer name would make readers run past the item.
        if (at[0] <= kMaxNameUnits)
            SetCapStrValue(&pool, field.capId, std::span(at, size));
        break;
    default:
        SetCapStrValue(&pool, field.capId, std::span(at, size));
        break;
    }
}

// Bytes no field covers are written as zero: a blob with any of them set was not written as a blob,
// whatever its length says.
bool IsSoundBlob(const CapData& data) {
    if (data.size() != kSettingsBlobSize)
        return false;
    std::array<bool, kSettingsBlobSize> covered{};
    for (const SBlobField& field : kFields)
        std::fill_n(covered.begin() + field.offset, FieldSize(field.kind), true);
    for (std::size_t at = 0; at < kSettingsBlobSize; ++at)
        if (!covered[at] && data[at] != 0)
            return false;
    return true;
}

} // namespace

std::optional<CapData> FlattenCapabilities(const CCapPool& pool, std::int32_t& version) {
    CapData blob(kSettingsBlobSize, 0);
    for (const SBlobField& field : kFields)
        FlattenField(pool, field, blob.data() + field.offset);
    version = kSettingsBlobVersion;
    return blob;
}

bool UnflattenCapabilities(CCapPool& pool, const CapData& data, std::int32_t version) {
    if (version != kSettingsBlobVersion || data.size() != kSettingsBlobSize) {
        std::fprintf(stderr, "K3100: stored settings ignored (version %d, %zu bytes; expected %d, %zu)\n",
                     version, data.size(), kSettingsBlobVersion, kSettingsBlobSize);
        return false;
    }
    if (!IsSoundBlob(data))
        return false;
    for (const SBlobField& field : kFields)
        UnflattenField(pool, field, data.data() + field.offset);
    return true;
}
