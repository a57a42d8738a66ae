// User defaults and the backup dictionary are read by one routine over the same keys.
#include "TlvAppSettingMdl.h"

#include "TlvStoredValue.h"

namespace {

constexpr const char* kScanModeTypeKey = "AppScanModeTypeKey";
constexpr const char* kValidContinueScanFOAKey = "AppValidContinueScanFOAKey";
constexpr const char* kValidContinueScanJOBKey = "AppValidContinueScanJOBKey";
constexpr const char* kBtn1AllocFOAScanKey = "AppBtn1AllocFOAScanKey";
constexpr const char* kConfirmOutputKey = "AppConfirmOutputKey";
constexpr const char* kSelJobIndexKey = "AppSelJobIndexKey";
constexpr const char* kForDisplayJobIndexKey = "AppForDisplayJobIndexKey";
constexpr const char* kExpJobInfoKey = "AppExpJobInfoKey";

constexpr std::int32_t kLastJobRow = 9; // ten jobs
} // namespace

template <typename Source> void TlvAppSettingMdl::readFrom(const Source& source, bool withScanMode) {
    if (withScanMode)
        TlvTakeStored(mScanModeType, TlvStoredValueOf(source, kScanModeTypeKey), 0, 1);
    TlvTakeStored(mIsValidContinueScanFOA, TlvStoredValueOf(source, kValidContinueScanFOAKey));
    TlvTakeStored(mIsValidContinueScanJOB, TlvStoredValueOf(source, kValidContinueScanJOBKey));
    TlvTakeStored(mIsBtn1AllocFOAScan, TlvStoredValueOf(source, kBtn1AllocFOAScanKey));
    TlvTakeStored(mIsConfirmOutput, TlvStoredValueOf(source, kConfirmOutputKey));
    TlvTakeStored(mSelJobIndex, TlvStoredValueOf(source, kSelJobIndexKey), -1, kLastJobRow);
    TlvTakeStored(mForDisplayJobIndex, TlvStoredValueOf(source, kForDisplayJobIndexKey), -1, kLastJobRow);
    TlvTakeStored(mIsExpJobInfo, TlvStoredValueOf(source, kExpJobInfoKey));
}

TlvAppSettingMdl::TlvAppSettingMdl(const fnd::UserDefaults& defaults) {
    readFrom(defaults, true);
}

TlvAppSettingMdl TlvAppSettingMdl::initWithAppSttingDict(const fnd::Dictionary* dict,
                                                         const fnd::UserDefaults& defaults) {
    TlvAppSettingMdl model(defaults);
    if (dict)
        model.readFrom(*dict, false);
    return model;
}

fnd::Dictionary TlvAppSettingMdl::appSttingToDict() const {
    return {{kValidContinueScanFOAKey, mIsValidContinueScanFOA},
            {kValidContinueScanJOBKey, mIsValidContinueScanJOB},
            {kBtn1AllocFOAScanKey, mIsBtn1AllocFOAScan},
            {kConfirmOutputKey, mIsConfirmOutput},
            {kSelJobIndexKey, mSelJobIndex},
            {kForDisplayJobIndexKey, mForDisplayJobIndex},
            {kExpJobInfoKey, mIsExpJobInfo}};
}

void TlvAppSettingMdl::saveAppSttingToFile(fnd::UserDefaults& defaults) const {
    defaults.set(kScanModeTypeKey, mScanModeType);
    for (const auto& [key, value] : appSttingToDict())
        defaults.set(key, value);
}
