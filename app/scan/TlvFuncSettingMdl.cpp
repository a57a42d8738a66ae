// Defaults, accessors and the stored dictionary of the output function. The stored per-entry keys
// are the field's key stem with the entry index appended ("FncMdlStartNumKey2"); one table of
// member pointers drives both directions, so the two cannot drift apart.
#include "TlvFuncSettingMdl.h"

#include "TlvPlatformLookup.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <variant>

namespace {

constexpr std::int32_t kMinPages = 1;
constexpr std::int32_t kMaxPages = 99;
constexpr std::int64_t kAnyInt = std::numeric_limits<std::int32_t>::max();

using Member = std::variant<bool TlvFuncEntry::*, std::int32_t TlvFuncEntry::*, std::string TlvFuncEntry::*,
                            std::optional<std::string> TlvFuncEntry::*>;

// How a stored integer outside [min, max] is taken: refused (the default stays) or clamped.
enum class OutOfRange { Refuse, Clamp };

struct EntryKey {
    std::string_view stem;
    Member member;
    std::int64_t min = -kAnyInt - 1;
    std::int64_t max = kAnyInt;
    OutOfRange outOfRange = OutOfRange::Refuse;
};

// Stored order of an entry's keys; imgFileName is not stored.
const EntryKey kEntryKeys[] = {
    {"FncMdlPartFileNameKey", &TlvFuncEntry::partFileName},
    {"FncMdlIsUseFNSettingKey", &TlvFuncEntry::isUseFNSetting},
    {"FncMdlFreeFileNameKey", &TlvFuncEntry::freeFileName},
    {"FncMdlIsAddDateTimeKey", &TlvFuncEntry::isAddDateTime},
    {"FncMdlDateTimeTypeKey", &TlvFuncEntry::dateTimeType, 0, 3},
    {"FncMdlIsAddNumberKey", &TlvFuncEntry::isAddNumber},
    {"FncMdlDigitTypeKey", &TlvFuncEntry::digitType, 0, 5},
    {"FncMdlStartNumKey", &TlvFuncEntry::startNum, 0, kAnyInt},
    {"FncMdlFileFormatTypeKey", &TlvFuncEntry::fileFormatType, 0, 2},
    {"FncMdlFF_MultiType_PDFKey", &TlvFuncEntry::ff_MultiType_PDF, 0, 1},
    {"FncMdlMultiPageNum_PDFKey", &TlvFuncEntry::multiPageNum_PDF, kMinPages, kMaxPages, OutOfRange::Clamp},
    {"FncMdlCompRate_PDFKey", &TlvFuncEntry::compRate_PDF, 1, 5},
    {"FncMdlFF_CompTypeKey", &TlvFuncEntry::ff_CompType},
    {"FncMdlIsAddOCRKey", &TlvFuncEntry::isAddOCR},
    {"FncMdlFF_OCRLangTypeKey", &TlvFuncEntry::ff_OCRLangType, 0, 9},
    {"FncMdlFF_MultiType_TIFFKey", &TlvFuncEntry::ff_MultiType_TIFF, 0, 1},
    {"FncMdlMultiPageNum_TIFFKey", &TlvFuncEntry::multiPageNum_TIFF, kMinPages, kMaxPages, OutOfRange::Clamp},
    {"FncMdlCompRate_JPEGKey", &TlvFuncEntry::compRate_JPEG, 1, 5},
    {"FncMdlIsPictureFolderSaveKey", &TlvFuncEntry::isPictureFolderSave},
    {"FncMdlFileSavePathKey", &TlvFuncEntry::fileSavePath},
};

constexpr std::string_view kPrinterNameKey = "FncMdlPrinterNameKey";
constexpr std::string_view kPrintInfoDictKey = "FncMdlPrintInfoDictKey";
constexpr std::string_view kPrintLayoutTypeKey = "FncMdlPrintLayoutTypeKey";
constexpr std::string_view kApplicationNameKey = "FncMdlApplicationNameKey";

struct OCRParam {
    std::string_view language;
    std::int32_t value;
};
// Searched in order; Korean shares English's recognition language, and 1 has no row.
constexpr OCRParam sOCRParam[] = {{"Japanese", 0}, {"English", 2}, {"Spanish", 3}, {"French", 4},
                                  {"German", 5},   {"Italian", 6}, {"Dutch", 7},   {"Korean", 2},
                                  {"zh_CN", 8},    {"zh_TW", 9}};
constexpr std::int32_t kNoOCRRowValue = 2;

std::int32_t clampPages(std::int32_t pages) {
    return std::clamp(pages, kMinPages, kMaxPages);
}

std::string keyFor(const EntryKey& key, int e) {
    return std::string(key.stem) + std::to_string(e);
}

void storeEntry(fnd::Dictionary& d, const TlvFuncEntry& entry, int e) {
    for (const EntryKey& key : kEntryKeys) {
        std::visit(
            [&](auto member) {
                const auto& value = entry.*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::optional<std::string>>) {
                    if (value)
                        d.set(keyFor(key, e), *value);
                } else {
                    d.set(keyFor(key, e), fnd::Value(value));
                }
            },
            key.member);
    }
}

// One stored value into its field when it has the field's type and range.
void readEntryValue(const EntryKey& key, const fnd::Value& stored, TlvFuncEntry& entry) {
    std::visit(
        [&](auto member) {
            using T = std::decay_t<decltype(entry.*member)>;
            if constexpr (std::is_same_v<T, bool>) {
                if (const auto on = stored.asBool())
                    entry.*member = *on;
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                const auto number = stored.asInt32();
                if (number && *number >= key.min && *number <= key.max)
                    entry.*member = *number;
                else if (number && key.outOfRange == OutOfRange::Clamp)
                    entry.*member =
                        static_cast<std::int32_t>(std::clamp<std::int64_t>(*number, key.min, key.max));
            } else if (const std::string* text = stored.asString()) {
                entry.*member = *text;
            }
        },
        key.member);
}

bool readsLanguageDefault(std::string_view stem) {
    return stem == "FncMdlDateTimeTypeKey" || stem == "FncMdlFF_OCRLangTypeKey";
}

} // namespace

int TlvFuncSettingMdl::fIndexByFType(int functionType) {
    switch (functionType) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 3:
        return 2;
    default:
        return -1;
    }
}

std::int32_t TlvFuncSettingMdl::defaultOCRLangType() {
    const std::string language = TlvPlatformLookup::shared().languageName();
    for (const OCRParam& row : sOCRParam)
        if (row.language == language)
            return row.value;
    return kNoOCRRowValue;
}

std::int32_t TlvFuncSettingMdl::defaultDateTimeType() {
    const std::string language = TlvPlatformLookup::shared().languageName();
    if (language == "Japanese")
        return 3;
    if (language == "English")
        return 1;
    if (language == "zh_CN" || language == "zh_TW" || language == "Korean")
        return 0;
    return 2;
}

std::string TlvFuncSettingMdl::extensionForFormat(std::int32_t fileFormatType) {
    switch (fileFormatType) {
    case 0:
        return ".pdf";
    case 1:
        return ".tiff";
    case 2:
        return ".jpg";
    default:
        return {};
    }
}

TlvFuncEntry TlvFuncSettingMdl::defaultEntry() {
    TlvFuncEntry entry;
    entry.dateTimeType = defaultDateTimeType();
    entry.ff_OCRLangType = defaultOCRLangType();
    return entry;
}

TlvFuncSettingMdl::TlvFuncSettingMdl() {
    mEntries.fill(defaultEntry());
    mPrinterName = TlvPlatformLookup::shared().defaultPrinterName();
    mPrintInfoDict = TlvPlatformLookup::shared().sharedPrintSettings();
}

const TlvFuncEntry& TlvFuncSettingMdl::entry(int e) const {
    static const TlvFuncEntry kOutside;
    return e >= 0 && e < sFuncIndexSum ? mEntries[static_cast<std::size_t>(e)] : kOutside;
}

TlvFuncEntry* TlvFuncSettingMdl::mutableEntry(int e) {
    return e >= 0 && e < sFuncIndexSum ? &mEntries[static_cast<std::size_t>(e)] : nullptr;
}

#define TLV_ENTRY_SETTER(Name, member, Type)                                                                 \
    void TlvFuncSettingMdl::set##Name(Type value, int e) {                                                   \
        if (TlvFuncEntry* target = mutableEntry(e))                                                          \
            target->member = value;                                                                          \
    }
TLV_ENTRY_SETTER(ImgFileName, imgFileName, const std::string&)
TLV_ENTRY_SETTER(PartFileName, partFileName, const std::string&)
TLV_ENTRY_SETTER(IsUseFNSetting, isUseFNSetting, bool)
TLV_ENTRY_SETTER(FreeFileName, freeFileName, const std::optional<std::string>&)
TLV_ENTRY_SETTER(IsAddDateTime, isAddDateTime, bool)
TLV_ENTRY_SETTER(DateTimeType, dateTimeType, std::int32_t)
TLV_ENTRY_SETTER(IsAddNumber, isAddNumber, bool)
TLV_ENTRY_SETTER(DigitType, digitType, std::int32_t)
TLV_ENTRY_SETTER(StartNum, startNum, std::int32_t)
TLV_ENTRY_SETTER(FileFormatType, fileFormatType, std::int32_t)
TLV_ENTRY_SETTER(FF_MultiType_PDF, ff_MultiType_PDF, std::int32_t)
TLV_ENTRY_SETTER(CompRate_PDF, compRate_PDF, std::int32_t)
TLV_ENTRY_SETTER(FF_CompType, ff_CompType, std::int32_t)
TLV_ENTRY_SETTER(IsAddOCR, isAddOCR, bool)
TLV_ENTRY_SETTER(FF_OCRLangType, ff_OCRLangType, std::int32_t)
TLV_ENTRY_SETTER(FF_MultiType_TIFF, ff_MultiType_TIFF, std::int32_t)
TLV_ENTRY_SETTER(CompRate_JPEG, compRate_JPEG, std::int32_t)
TLV_ENTRY_SETTER(IsPictureFolderSave, isPictureFolderSave, bool)
TLV_ENTRY_SETTER(FileSavePath, fileSavePath, const std::optional<std::string>&)
#undef TLV_ENTRY_SETTER

void TlvFuncSettingMdl::setMultiPageNum_PDF(std::int32_t pages, int e) {
    if (TlvFuncEntry* target = mutableEntry(e))
        target->multiPageNum_PDF = clampPages(pages);
}

void TlvFuncSettingMdl::setMultiPageNum_TIFF(std::int32_t pages, int e) {
    if (TlvFuncEntry* target = mutableEntry(e))
        target->multiPageNum_TIFF = clampPages(pages);
}

fnd::Dictionary TlvFuncSettingMdl::funcMdlToDict() const {
    fnd::Dictionary d;
    for (int e = 0; e < sFuncIndexSum; ++e)
        storeEntry(d, mEntries[static_cast<std::size_t>(e)], e);
    d.set(kPrinterNameKey, printerName());
    if (mPrintInfoDict)
        d.set(kPrintInfoDictKey, *mPrintInfoDict);
    d.set(kPrintLayoutTypeKey, mPrintLayoutType);
    if (mApplicationName)
        d.set(kApplicationNameKey, *mApplicationName);
    return d;
}

TlvFuncSettingMdl TlvFuncSettingMdl::initWithFuncMdlDict(const fnd::Dictionary* dict, bool isBlankJob) {
    TlvFuncSettingMdl model;
    if (!dict)
        return model;
    const bool japanese = TlvPlatformLookup::shared().languageName() == "Japanese";
    for (int e = 0; e < sFuncIndexSum; ++e) {
        TlvFuncEntry& entry = model.mEntries[static_cast<std::size_t>(e)];
        for (const EntryKey& key : kEntryKeys)
            if (const fnd::Value* stored = dict->find(keyFor(key, e));
                stored && !(isBlankJob && readsLanguageDefault(key.stem)))
                readEntryValue(key, *stored, entry);
        if (entry.dateTimeType == 3 && !japanese)
            entry.dateTimeType = 0;
    }
    if (const std::string* printer = dict->get(kPrinterNameKey).asString(); printer && !isBlankJob)
        model.mPrinterName = *printer;
    if (const fnd::Dictionary* settings = dict->get(kPrintInfoDictKey).asDictionary())
        model.mPrintInfoDict = *settings;
    if (const auto layout = dict->get(kPrintLayoutTypeKey).asInt32())
        model.mPrintLayoutType = *layout;
    if (const std::string* application = dict->get(kApplicationNameKey).asString())
        model.mApplicationName = *application;
    return model;
}

void TlvFuncSettingMdl::resetPrintSettings() {
    if (auto printer = TlvPlatformLookup::shared().defaultPrinterName())
        mPrinterName = std::move(printer);
    mPrintInfoDict = TlvPlatformLookup::shared().sharedPrintSettings();
    mPrintLayoutType = 0;
}

void TlvFuncSettingMdl::clearExceptTargetFunc(int functionType) {
    const int own = fIndexByFType(functionType);
    const TlvFuncEntry defaults = defaultEntry();
    for (int e = 0; e < sFuncIndexSum; ++e) {
        TlvFuncEntry& entry = mEntries[static_cast<std::size_t>(e)];
        if (e != own) {
            entry = defaults;
            continue;
        }
        if (entry.fileFormatType != 0) {
            entry.ff_MultiType_PDF = defaults.ff_MultiType_PDF;
            entry.multiPageNum_PDF = defaults.multiPageNum_PDF;
            entry.compRate_PDF = defaults.compRate_PDF;
            entry.ff_CompType = defaults.ff_CompType;
            entry.isAddOCR = defaults.isAddOCR;
            entry.ff_OCRLangType = defaults.ff_OCRLangType;
        }
        if (entry.fileFormatType != 1) {
            entry.ff_MultiType_TIFF = defaults.ff_MultiType_TIFF;
            entry.multiPageNum_TIFF = defaults.multiPageNum_TIFF;
        }
        if (entry.fileFormatType != 2)
            entry.compRate_JPEG = defaults.compRate_JPEG;
        if (functionType == 1) {
            entry.isPictureFolderSave = true;
            entry.fileSavePath = std::string();
        }
    }
    if (functionType != 2)
        resetPrintSettings();
    if (functionType != 3)
        mApplicationName = std::string();
}
