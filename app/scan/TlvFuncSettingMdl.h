// The output function of a job: what happens to the scanned pages. Save (type 0), mail (1) and
// application (3) each keep their own entry of naming, format and save-place settings, so that
// switching a job's function type loses nothing; print (2) has no entry, only the printer fields.
//
// A plain value; copies are deep. Per-entry accessors take the entry index 0..2 last (from
// fIndexByFType); a getter given another index answers the defaults, a setter ignores it.
// The dictionary form is the stored format inside a job and is read as outside input.
#pragma once

#include "TlvPlatformLookup.h"
#include "Value.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// One entry's settings, with the defaults of a new model (the language-dependent two are filled in
// by TlvFuncSettingMdl).
struct TlvFuncEntry {
    std::string imgFileName;    // the name the file-name panel last showed
    std::string partFileName;   // fixed part of the automatic name
    bool isUseFNSetting = true; // true: automatic name; false: the free name
    std::optional<std::string> freeFileName = std::string();
    bool isAddDateTime = true;
    std::int32_t dateTimeType = 2; // date layout 0..3
    bool isAddNumber = false;
    std::int32_t digitType = 2; // counter digits - 1
    std::int32_t startNum = 1;
    std::int32_t fileFormatType = 0;   // 0 PDF, 1 TIFF, 2 JPEG
    std::int32_t ff_MultiType_PDF = 0; // 0 one file, 1 a file every multiPageNum_PDF pages
    std::int32_t multiPageNum_PDF = 1; // 1..99
    std::int32_t compRate_PDF = 3;
    std::int32_t ff_CompType = 0;
    bool isAddOCR = true;
    std::int32_t ff_OCRLangType = 2;
    std::int32_t ff_MultiType_TIFF = 0;
    std::int32_t multiPageNum_TIFF = 1; // 1..99
    std::int32_t compRate_JPEG = 3;
    bool isPictureFolderSave = true;
    std::optional<std::string> fileSavePath = std::string();

    friend bool operator==(const TlvFuncEntry&, const TlvFuncEntry&) = default;
};

class TlvFuncSettingMdl {
public:
    static constexpr int sFuncIndexSum = 3;
    // Entry of a function type: 0 -> 0, 1 -> 1, 3 -> 2; -1 for print and unknown types.
    static int fIndexByFType(int functionType);
    // Recognition and date-layout defaults of the application's language.
    static std::int32_t defaultOCRLangType();
    static std::int32_t defaultDateTimeType();
    // Extension of a file format: ".pdf", ".tiff", ".jpg"; "" for an unknown format.
    static std::string extensionForFormat(std::int32_t fileFormatType);

    // The defaults: language-dependent layout and recognition language, the default printer and
    // the shared print settings of the platform look-up.
    TlvFuncSettingMdl();

    // The defaults, then every stored value of the right type and range. A blank job (isBlankJob)
    // takes the date layout, recognition language and printer of this machine instead of the stored
    // ones; a stored layout 3 (the localised one) is read only under Japanese.
    static TlvFuncSettingMdl initWithFuncMdlDict(const fnd::Dictionary* dict, bool isBlankJob);
    fnd::Dictionary funcMdlToDict() const;
    TlvFuncSettingMdl copyWithZone() const { return *this; }
    // Resets everything the given function type does not use.
    void clearExceptTargetFunc(int functionType);

    // ---- file names (TlvFuncSettingFileName.cpp) ----
    // The automatic name of entry e: the trimmed fixed part, the date and time (at, else the local
    // clock now), the counter, and the extension when asked. Parts that could not name a file in a
    // folder are left out (see there); an empty result stays empty, also with the extension asked for.
    std::string imgFileName(int e, bool isExt, const std::optional<TlvLocalTime>& at = std::nullopt) const;
    // The free name of entry e with the extension when asked; unset when unset; empty when the
    // name could not name a file in a folder.
    std::optional<std::string> freeFileName(int e, bool isExt) const;

    // ---- per-entry accessors ----
    const TlvFuncEntry& entry(int e) const;
    void setImgFileName(const std::string& name, int e);
    void setPartFileName(const std::string& part, int e);
    const std::string& partFileName(int e) const { return entry(e).partFileName; }
    void setIsUseFNSetting(bool on, int e);
    bool isUseFNSetting(int e) const { return entry(e).isUseFNSetting; }
    void setFreeFileName(const std::optional<std::string>& name, int e);
    void setIsAddDateTime(bool on, int e);
    bool isAddDateTime(int e) const { return entry(e).isAddDateTime; }
    void setDateTimeType(std::int32_t type, int e);
    std::int32_t dateTimeType(int e) const { return entry(e).dateTimeType; }
    void setIsAddNumber(bool on, int e);
    bool isAddNumber(int e) const { return entry(e).isAddNumber; }
    void setDigitType(std::int32_t type, int e);
    std::int32_t digitType(int e) const { return entry(e).digitType; }
    void setStartNum(std::int32_t number, int e);
    std::int32_t startNum(int e) const { return entry(e).startNum; }
    void setFileFormatType(std::int32_t format, int e);
    std::int32_t fileFormatType(int e) const { return entry(e).fileFormatType; }
    void setFF_MultiType_PDF(std::int32_t type, int e);
    std::int32_t ff_MultiType_PDF(int e) const { return entry(e).ff_MultiType_PDF; }
    // Clamped to 1..99.
    void setMultiPageNum_PDF(std::int32_t pages, int e);
    std::int32_t multiPageNum_PDF(int e) const { return entry(e).multiPageNum_PDF; }
    void setCompRate_PDF(std::int32_t rate, int e);
    std::int32_t compRate_PDF(int e) const { return entry(e).compRate_PDF; }
    void setFF_CompType(std::int32_t type, int e);
    std::int32_t ff_CompType(int e) const { return entry(e).ff_CompType; }
    void setIsAddOCR(bool on, int e);
    bool isAddOCR(int e) const { return entry(e).isAddOCR; }
    void setFF_OCRLangType(std::int32_t language, int e);
    std::int32_t ff_OCRLangType(int e) const { return entry(e).ff_OCRLangType; }
    void setFF_MultiType_TIFF(std::int32_t type, int e);
    std::int32_t ff_MultiType_TIFF(int e) const { return entry(e).ff_MultiType_TIFF; }
    // Clamped to 1..99.
    void setMultiPageNum_TIFF(std::int32_t pages, int e);
    std::int32_t multiPageNum_TIFF(int e) const { return entry(e).multiPageNum_TIFF; }
    void setCompRate_JPEG(std::int32_t rate, int e);
    std::int32_t compRate_JPEG(int e) const { return entry(e).compRate_JPEG; }
    void setIsPictureFolderSave(bool on, int e);
    bool isPictureFolderSave(int e) const { return entry(e).isPictureFolderSave; }
    void setFileSavePath(const std::optional<std::string>& path, int e);
    const std::optional<std::string>& fileSavePath(int e) const { return entry(e).fileSavePath; }

    // ---- single fields ----
    void setPrinterName(const std::optional<std::string>& name) { mPrinterName = name; }
    // "" when unset.
    std::string printerName() const { return mPrinterName.value_or(std::string()); }
    void setPrintInfoDict(const std::optional<fnd::Dictionary>& settings) { mPrintInfoDict = settings; }
    const std::optional<fnd::Dictionary>& printInfoDict() const { return mPrintInfoDict; }
    void setPrintLayoutType(std::int32_t type) { mPrintLayoutType = type; }
    std::int32_t printLayoutType() const { return mPrintLayoutType; }
    void setApplicationName(const std::optional<std::string>& path) { mApplicationName = path; }
    const std::optional<std::string>& applicationName() const { return mApplicationName; }

    friend bool operator==(const TlvFuncSettingMdl&, const TlvFuncSettingMdl&) = default;

private:
    static TlvFuncEntry defaultEntry();
    TlvFuncEntry* mutableEntry(int e);
    void resetPrintSettings();

    std::array<TlvFuncEntry, sFuncIndexSum> mEntries;
    std::optional<std::string> mPrinterName;
    std::optional<fnd::Dictionary> mPrintInfoDict;
    std::int32_t mPrintLayoutType = 0;
    std::optional<std::string> mApplicationName = std::string();
};
