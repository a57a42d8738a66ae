// The field list expands into the constructor, the setters and both directions of the dictionary
// form. Numbers are written with their width; a property list keeps only the value, so reading
// checks that the value fits the field's width (and, for settings with a fixed set of values, that
// it is one of them) before the field takes it.
#include "TlvScanSettingMdl.h"

#include "TlvPlatformLookup.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace {

#define TLV_SIMPLE_KEY(Name) "ScnMdl" #Name "Key"
#define TLV_CAP_KEY(Name) "Scn" #Name "Key"

struct StoredRange {
    std::string_view key;
    std::int64_t min;
    std::int64_t max;
};

// Settings whose values form a closed set; a stored value outside it is not a setting of this model.
constexpr StoredRange kStoredRanges[] = {
    {TLV_SIMPLE_KEY(ScnStColType), 0, 3},
    {TLV_SIMPLE_KEY(ScnStPapSizeType), 0, 7},
    {TLV_SIMPLE_KEY(ScnStResType), 0, 4},
    {TLV_SIMPLE_KEY(ScnStReaderSideType), 0, 2},
    {TLV_CAP_KEY(CAP_AUTOFEED), 0, 1},
    {TLV_CAP_KEY(CAP_DUPLEXENABLED), 0, 1},
    {TLV_CAP_KEY(CCAP_OVKM_BACKBRIGHTNESSENABLED), 0, 1},
    {TLV_CAP_KEY(CCAP_OVKM_BACKCONTRASTENABLED), 0, 1},
    {TLV_CAP_KEY(ICAP_PIXELTYPE), 0, 2},
    {TLV_CAP_KEY(CCAP_OVKM_PAPERSIZE), -2, 9},
};

template <typename T> bool inStoredRange(std::string_view key, const T& value) {
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
        for (const StoredRange& range : kStoredRanges)
            if (range.key == key)
                return value >= range.min && value <= range.max;
    }
    return true;
}

template <typename T> bool readStored(const fnd::Value& v, T& out) {
    std::optional<T> value;
    if constexpr (std::is_same_v<T, bool>)
        value = v.asBool();
    else if constexpr (std::is_same_v<T, std::int16_t>)
        value = v.asInt16();
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        value = v.asUInt16();
    else if constexpr (std::is_same_v<T, std::int32_t>)
        value = v.asInt32();
    else if constexpr (std::is_same_v<T, std::uint32_t>)
        value = v.asUInt32();
    if (value)
        out = *value;
    return value.has_value();
}

bool readStored(const fnd::Value& v, float& out) {
    const std::optional<double> value = v.asDouble();
    if (!value || !std::isfinite(*value) || std::fabs(*value) > std::numeric_limits<float>::max())
        return false;
    out = static_cast<float>(*value);
    return true;
}

bool readStored(const fnd::Value& v, TlvToneTable& out) {
    const fnd::Data* data = v.asData();
    if (!data || data->size() != out.size())
        return false;
    std::copy(data->begin(), data->end(), out.begin());
    return true;
}

bool readStored(const fnd::Value& v, TlvHalftoneData& out) {
    const fnd::Data* data = v.asData();
    if (data)
        out = *data;
    return data != nullptr;
}

bool readStored(const fnd::Value& v, TlvCapName& out) {
    const std::string* text = v.asString();
    if (text)
        out = *text;
    return text != nullptr;
}

template <typename T> void store(fnd::Dictionary& d, std::string_view key, T value) {
    d.set(key, fnd::Value(value));
}
void store(fnd::Dictionary& d, std::string_view key, const TlvToneTable& table) {
    d.set(key, fnd::Data(table.begin(), table.end()));
}
void store(fnd::Dictionary& d, std::string_view key, const TlvHalftoneData& data) {
    if (data)
        d.set(key, *data);
}
void store(fnd::Dictionary& d, std::string_view key, const TlvCapName& text) {
    if (text)
        d.set(key, *text);
}

template <typename T> T fitToRecord(T value) {
    return value;
}
TlvHalftoneData fitToRecord(const TlvHalftoneData& data) {
    return data ? TlvHalftoneData(TlvCutToStr32(*data)) : std::nullopt;
}
TlvCapName fitToRecord(const TlvCapName& text) {
    return text ? TlvCapName(TlvCutToStr64(*text)) : std::nullopt;
}

} // namespace

TlvScanSettingMdl::TlvScanSettingMdl() {
    const bool centimeters = TlvPlatformLookup::shared().measuresInCentimeters();
    const TlvToneTable linear = linearTable();
#define TLV_SCAN_INIT(Type, Name, getter, init) m##Name = init;
    TLV_SCAN_SETTING_FIELDS(TLV_SCAN_INIT, TLV_SCAN_INIT)
#undef TLV_SCAN_INIT
}

int TlvScanSettingMdl::MakeLinearTable(std::span<std::uint8_t, kTlvToneTableBytes> table) {
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>(i);
    return static_cast<int>(table.size());
}

TlvToneTable TlvScanSettingMdl::linearTable() {
    TlvToneTable table;
    MakeLinearTable(table);
    return table;
}

TlvHalftoneData TlvScanSettingMdl::noneHalftone() {
    return fnd::Data{'N', 'o', 'n', 'e'};
}

#define TLV_SCAN_SETTER(Type, Name, getter, init)                                                            \
    void TlvScanSettingMdl::set##Name(Arg<Type> value) {                                                     \
        m##Name = fitToRecord(value);                                                                        \
    }
TLV_SCAN_SETTING_FIELDS(TLV_SCAN_SETTER, TLV_SCAN_SETTER)
#undef TLV_SCAN_SETTER

fnd::Dictionary TlvScanSettingMdl::scanMdlToDict() const {
    fnd::Dictionary d;
#define TLV_SIMPLE_STORE(Type, Name, getter, init) store(d, TLV_SIMPLE_KEY(Name), m##Name);
#define TLV_CAP_STORE(Type, Name, getter, init) store(d, TLV_CAP_KEY(Name), m##Name);
    TLV_SCAN_SETTING_FIELDS(TLV_SIMPLE_STORE, TLV_CAP_STORE)
#undef TLV_SIMPLE_STORE
#undef TLV_CAP_STORE
    return d;
}

TlvScanSettingMdl TlvScanSettingMdl::initWithScanMdlDict(const fnd::Dictionary* dict) {
    TlvScanSettingMdl model;
    if (!dict)
        return model;
#define TLV_READ(Type, Name, key)                                                                            \
    if (const fnd::Value* stored = dict->find(key)) {                                                        \
        Type value{};                                                                                        \
        if (readStored(*stored, value) && inStoredRange(key, value))                                         \
            model.set##Name(value);                                                                          \
    }
#define TLV_SIMPLE_READ(Type, Name, getter, init) TLV_READ(Type, Name, TLV_SIMPLE_KEY(Name))
#define TLV_CAP_READ(Type, Name, getter, init) TLV_READ(Type, Name, TLV_CAP_KEY(Name))
    TLV_SCAN_SETTING_FIELDS(TLV_SIMPLE_READ, TLV_CAP_READ)
#undef TLV_SIMPLE_READ
#undef TLV_CAP_READ
#undef TLV_READ
    return model;
}

TlvScanSettingMdl TlvScanSettingMdl::copyWithZone() const {
    TlvScanSettingMdl copy = *this;
    if (!copy.mICAP_HALFTONES)
        copy.mICAP_HALFTONES = noneHalftone();
    return copy;
}
