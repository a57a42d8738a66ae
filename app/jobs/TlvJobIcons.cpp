#include "TlvJobIcons.h"

#include "Images.h"

#include <QPixmap>

#include <array>

namespace tlv {

namespace {

// A theme that draws an icon only small (a 16-point stamp) gets it scaled up to the size of ours, at
// both scales, so that every output's icon in a table is as large as the others.
QIcon grownToJobSize(const QIcon& themed) {
    const QSize wanted(kJobIconSize, kJobIconSize);
    const QSize largest = themed.actualSize(wanted * 2);
    if (largest.width() >= kJobIconSize || largest.isEmpty())
        return themed;
    QIcon grown;
    for (const int scale : {1, 2}) {
        QPixmap pixmap =
            themed.pixmap(largest).scaled(wanted * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        pixmap.setDevicePixelRatio(scale);
        grown.addPixmap(pixmap);
    }
    return grown;
}

} // namespace

QIcon jobFuncTypeIcon(const TlvJobListSettingMdl& job) {
    constexpr std::array<const char*, 4> kThemeNames = {"folder", "mail-send", "document-print",
                                                        "application-x-executable"};
    const std::int32_t type = job.jList_FunctionType();
    if (job.isBlank() || type < 0 || type >= static_cast<std::int32_t>(kThemeNames.size()))
        return {};
    const QIcon themed = QIcon::fromTheme(kThemeNames[static_cast<std::size_t>(type)]);
    return themed.isNull() ? appkit::bundleIcon(job.jList_FuncTypeDefaultImgName(false))
                           : grownToJobSize(themed);
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
