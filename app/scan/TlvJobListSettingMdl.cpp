// Jobs, their stored dictionary and the built-in jobs. A built-in job whose application is a fixed
// path of another platform has nothing to start here and stays an unused slot; the image-viewer
// job takes the desktop's handler of JPEG images.
#include "TlvJobListSettingMdl.h"

#include "TlvPlatformLookup.h"
#include "TlvStoredValue.h"

namespace {

constexpr const char* kNumKey = "JLMdlJList_NumKey";
constexpr const char* kTitleKey = "JLMdlJList_TitleKey";
constexpr const char* kFunctionTypeKey = "JLMdlJList_FunctionTypeKey";
constexpr const char* kScanBtnStatusKey = "JLMdlJList_ScanBtnStatusKey";
constexpr const char* kFuncSettingMdlKey = "JLMdlJList_FuncSettingMdlKey";
constexpr const char* kScanSettingMdlKey = "JLMdlJList_ScanSettingMdlKey";

constexpr std::int32_t kSaveToFolder = 0;
constexpr std::int32_t kMail = 1;
constexpr std::int32_t kApplication = 3;
constexpr std::int32_t kPDF = 0;
constexpr std::int32_t kJPEG = 2;
constexpr std::int32_t kColour = 1;
constexpr std::int32_t kGrey = 2;

// The job's function with its entry's format, and the scan's colour mode.
void makeBuiltIn(TlvJobListSettingMdl& job, const char* titleKey, std::int32_t function, std::int32_t format,
                 std::int32_t colourMode) {
    job.setJList_Title(TlvPlatformLookup::shared().localizedString(titleKey));
    job.setJList_FunctionType(function);
    job.jList_FuncSettingMdl()->setFileFormatType(format, TlvFuncSettingMdl::fIndexByFType(function));
    job.jList_ScanSettingMdl()->setScnStColType(colourMode);
}

} // namespace

TlvJobListSettingMdl::TlvJobListSettingMdl()
    : mJList_FuncSettingMdl(std::make_shared<TlvFuncSettingMdl>()),
      mJList_ScanSettingMdl(std::make_shared<TlvScanSettingMdl>()) {}

std::optional<TlvJobListSettingMdl> TlvJobListSettingMdl::initWithBlankJobMdlIndex(int index) {
    if (index < 0 || index >= kJobSlotCount)
        return std::nullopt;
    TlvJobListSettingMdl job;
    job.setJList_Num(index);
    job.setJList_FunctionType(kSaveToFolder);
    return job;
}

std::optional<TlvJobListSettingMdl> TlvJobListSettingMdl::initWithJobIndex(int index) {
    std::optional<TlvJobListSettingMdl> job = initWithBlankJobMdlIndex(index);
    if (!job)
        return job;
    switch (index) {
    case 0:
        makeBuiltIn(*job, "JobList_Def01", kSaveToFolder, kPDF, kGrey);
        job->setJList_ScanBtnStatus(1);
        break;
    case 1:
        makeBuiltIn(*job, "JobList_Def02", kMail, kPDF, kColour);
        break;
    case 2:
        if (auto viewer = TlvPlatformLookup::shared().defaultImageApplication()) {
            makeBuiltIn(*job, "JobList_Def03_01", kApplication, kJPEG, kColour);
            job->jList_FuncSettingMdl()->setApplicationName(std::move(viewer));
        } else {
            makeBuiltIn(*job, "JobList_Def03_02", kSaveToFolder, kPDF, kColour);
        }
        break;
    default: // slots 3 and 4 named applications at fixed paths of another platform
        break;
    }
    return job;
}

TlvJobListSettingMdl TlvJobListSettingMdl::initWithJobListMdlDict(const fnd::Dictionary* dict,
                                                                  bool isFoaMode) {
    TlvJobListSettingMdl job;
    if (!dict)
        return job;
    if (const auto number = TlvStoredInt(dict->get(kNumKey), 1, kJobSlotCount))
        job.setJList_Num(*number - 1);
    if (const std::string* title = dict->get(kTitleKey).asString())
        job.setJList_Title(*title);
    const bool blank = !isFoaMode && job.isBlank();
    TlvTakeStored(job.mJList_FunctionType, dict->get(kFunctionTypeKey), -1, kApplication);
    if (const auto status = TlvStoredInt(dict->get(kScanBtnStatusKey));
        status && (isScanButton(*status) || *status == kNoButton))
        job.mJList_ScanBtnStatus = *status;
    if (const fnd::Dictionary* func = dict->get(kFuncSettingMdlKey).asDictionary())
        job.mJList_FuncSettingMdl =
            std::make_shared<TlvFuncSettingMdl>(TlvFuncSettingMdl::initWithFuncMdlDict(func, blank));
    if (const fnd::Dictionary* scan = dict->get(kScanSettingMdlKey).asDictionary())
        job.mJList_ScanSettingMdl =
            std::make_shared<TlvScanSettingMdl>(TlvScanSettingMdl::initWithScanMdlDict(scan));
    return job;
}

fnd::Dictionary TlvJobListSettingMdl::jobListMdlToDict() const {
    fnd::Dictionary d{{kNumKey, mJList_Num}};
    if (mJList_Title)
        d.set(kTitleKey, *mJList_Title);
    d.set(kFunctionTypeKey, mJList_FunctionType);
    d.set(kScanBtnStatusKey, mJList_ScanBtnStatus);
    if (mJList_FuncSettingMdl)
        d.set(kFuncSettingMdlKey, mJList_FuncSettingMdl->funcMdlToDict());
    if (mJList_ScanSettingMdl)
        d.set(kScanSettingMdlKey, mJList_ScanSettingMdl->scanMdlToDict());
    return d;
}

TlvJobListSettingMdl TlvJobListSettingMdl::copyWithZone() const {
    TlvJobListSettingMdl copy = *this;
    if (mJList_FuncSettingMdl)
        copy.mJList_FuncSettingMdl =
            std::make_shared<TlvFuncSettingMdl>(mJList_FuncSettingMdl->copyWithZone());
    if (mJList_ScanSettingMdl)
        copy.mJList_ScanSettingMdl =
            std::make_shared<TlvScanSettingMdl>(mJList_ScanSettingMdl->copyWithZone());
    return copy;
}

void TlvJobListSettingMdl::setJList_Num(int index) {
    if (index >= 0 && index < kJobSlotCount)
        mJList_Num = index + 1;
}

std::string TlvJobListSettingMdl::jList_ScanBtnImgName(bool small) const {
    switch (mJList_ScanBtnStatus) {
    case 1:
        return small ? "Thms_BTN_Start_16" : "thms_BTN_Start_32";
    case 2:
        return small ? "TakeZ_BTN_2_16" : "takeZ_BTN_2_32";
    case 4:
        return small ? "TakeZ_BTN_3_16" : "takeZ_BTN_3_32";
    default:
        return {};
    }
}

std::string TlvJobListSettingMdl::jList_FuncTypeDefaultImgName(bool small) const {
    const char* names[] = {"def_Folder_E", "def_MAPI_E", "def_Print_E", "def_App_E"};
    if (mJList_FunctionType < 0 || mJList_FunctionType > kApplication)
        return {};
    return std::string(names[mJList_FunctionType]) + (small ? "_16" : "_32");
}
