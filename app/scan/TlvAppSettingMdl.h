// The application-wide switches: the scan mode, continue-scanning per mode, whether the scanner's
// button 1 starts a scan-first job, confirmation before job output, and the job table's selection
// and summary state. Kept in the application's user defaults, one key per field, and as a
// dictionary in the settings backup (without the scan mode, which a restore never changes).
#pragma once

#include "UserDefaults.h"

#include <cstdint>

class TlvAppSettingMdl {
public:
    // The stored values of defaults; a missing key, a value of another type or out of range gives
    // the field's default.
    explicit TlvAppSettingMdl(const fnd::UserDefaults& defaults = fnd::UserDefaults::standard());
    // The model of defaults, then the seven backup keys that dict holds (the scan mode is never
    // read from it).
    static TlvAppSettingMdl
    initWithAppSttingDict(const fnd::Dictionary* dict,
                          const fnd::UserDefaults& defaults = fnd::UserDefaults::standard());

    // Writes all eight keys; the caller synchronises when it needs the file written.
    void saveAppSttingToFile(fnd::UserDefaults& defaults = fnd::UserDefaults::standard()) const;
    // The seven keys other than the scan mode.
    fnd::Dictionary appSttingToDict() const;

    std::int32_t scanModeType() const { return mScanModeType; }
    void setScanModeType(std::int32_t mode) { mScanModeType = mode; }
    bool isValidContinueScanFOA() const { return mIsValidContinueScanFOA; }
    void setIsValidContinueScanFOA(bool on) { mIsValidContinueScanFOA = on; }
    bool isValidContinueScanJOB() const { return mIsValidContinueScanJOB; }
    void setIsValidContinueScanJOB(bool on) { mIsValidContinueScanJOB = on; }
    bool isBtn1AllocFOAScan() const { return mIsBtn1AllocFOAScan; }
    void setIsBtn1AllocFOAScan(bool on) { mIsBtn1AllocFOAScan = on; }
    bool isConfirmOutput() const { return mIsConfirmOutput; }
    void setIsConfirmOutput(bool on) { mIsConfirmOutput = on; }
    std::int32_t selJobIndex() const { return mSelJobIndex; }
    void setSelJobIndex(std::int32_t row) { mSelJobIndex = row; }
    std::int32_t forDisplayJobIndex() const { return mForDisplayJobIndex; }
    void setForDisplayJobIndex(std::int32_t row) { mForDisplayJobIndex = row; }
    bool isExpJobInfo() const { return mIsExpJobInfo; }
    void setIsExpJobInfo(bool on) { mIsExpJobInfo = on; }

    friend bool operator==(const TlvAppSettingMdl&, const TlvAppSettingMdl&) = default;

private:
    // Each key present in source (with a fitting value) overrides its field.
    template <typename Source> void readFrom(const Source& source, bool withScanMode);

    std::int32_t mScanModeType = 0; // 0 scan first, 1 run a stored job
    bool mIsValidContinueScanFOA = false;
    bool mIsValidContinueScanJOB = false;
    bool mIsBtn1AllocFOAScan = true;
    bool mIsConfirmOutput = false;
    std::int32_t mSelJobIndex = 0; // row of the ten-job table; -1 none
    std::int32_t mForDisplayJobIndex = 0;
    bool mIsExpJobInfo = false;
};
