#include "TlvJobIcons.h"

#include "Images.h"

#include <array>

namespace tlv {

QIcon jobFuncTypeIcon(const TlvJobListSettingMdl& job) {
    constexpr std::array<const char*, 4> kThemeNames = {"folder", "mail-send", "document-print",
                                                        "application-x-executable"};
    const std::int32_t type = job.jList_FunctionType();
    if (job.isBlank() || type < 0 || type >= static_cast<std::int32_t>(kThemeNames.size()))
        return {};
    const QIcon own = appkit::bundleIcon(job.jList_FuncTypeDefaultImgName(false));
    return QIcon::fromTheme(kThemeNames[static_cast<std::size_t>(type)], own);
}

QIcon jobScanBtnIcon(const TlvJobListSettingMdl& job, bool isBtn1AllocFOAScan) {
    if (job.isBlank())
        return {};
    if (job.jList_ScanBtnStatus() == 1 && isBtn1AllocFOAScan)
        return appkit::bundleIcon("thms_BTN_Start_N_32");
    const std::string name = job.jList_ScanBtnImgName(false);
    return name.empty() ? QIcon() : appkit::bundleIcon(name);
}

} // namespace tlv
