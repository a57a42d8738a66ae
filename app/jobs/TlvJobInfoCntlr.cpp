// The text tables are indexed by values read from stored jobs and from the data source; every look-up
// is bounded, so a value from a damaged file or another version shows an empty line.
#include "TlvJobInfoCntlr.h"

#include "TlvAppState.h"
#include "TlvJobIcons.h"
#include "TlvTailLabel.h"

#include "Applications.h"
#include "Images.h"
#include "Strings.h"
#include "Tags.h"
#include "UButton.h"
#include "VX_Func.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace tlv {
namespace {

using appkit::tagged;

constexpr std::array<const char*, 4> sMode = {"Color_ColBWDetector", "Color_Color", "Color_Gray", "Color_BW"};
constexpr std::array<const char*, 6> sDriversMode = {"Color_BW",
                                                     "DriversColor_Gray",
                                                     "DriversColor_Color",
                                                     "DriversColor_HalfTone",
                                                     "DriversColor_TextEnhance",
                                                     "DriversColor_ColBWDetector"};
constexpr std::array<const char*, 8> sPaperSize = {"PaperSize_Auto",  "PaperSize_A4",    "PaperSize_A5",
                                                   "PaperSize_A6",    "PaperSize_B5",    "PaperSize_B6",
                                                   "PaperSize_Legal", "PaperSize_Letter"};
constexpr std::array<const char*, 12> sDriversPaperSize = {
    "PaperSize_A4",    "PaperSize_A5",     "PaperSize_A5R",         "PaperSize_A6",
    "PaperSize_A6R",   "PaperSize_B5",     "PaperSize_B6",          "PaperSize_B6R",
    "PaperSize_Legal", "PaperSize_Letter", "DriversPaperSize_Full", "DriversPaperSize_Auto"};
constexpr std::array<const char*, 5> sResolution = {"Resolution_150", "Resolution_200", "Resolution_300",
                                                    "Resolution_400", "Resolution_600"};
constexpr std::array<const char*, 5> sDriversResolution = {
    "DriversResolution_150", "Resolution_200", "Resolution_300", "Resolution_400", "DriversResolution_600"};
constexpr std::array<const char*, 3> sReadPage = {"ReadPage_One", "ReadPage_Both", "ReadPage_Skip"};
constexpr std::array<const char*, 4> sDriversReadPage = {"ReadPage_One", "ReadPage_Both", "ReadPage_Skip",
                                                         "DriversReadPage_Half"};
constexpr std::array<const char*, 4> kCaptions = {"JobInfo_Mode", "JobInfo_PaperSize", "JobInfo_Resolution",
                                                  "JobInfo_ReadPage"};
constexpr std::array<const char*, 3> kFormats = {"FileFormat_PDF", "FileFormat_TIFF", "FileFormat_JPEG"};

constexpr int kPaperFull = -1, kPaperCustom = -2;

// The localised text of table[index]; empty outside the table.
template <std::size_t N> QString lookUp(const std::array<const char*, N>& table, long long index) {
    if (index < 0 || index >= static_cast<long long>(N))
        return {};
    return appkit::localized(table[static_cast<std::size_t>(index)]);
}

bool isErrorDiffusion(const TlvHalftoneData& halftone) {
    constexpr std::string_view kName = "Error Diffusion";
    if (!halftone)
        return false;
    std::string name(halftone->begin(), halftone->end());
    if (const auto end = name.find('\0'); end != std::string::npos)
        name.resize(end);
    return name == kName;
}

QLabel* iconLabel(int tag) {
    auto* icon = tagged(new QLabel, tag);
    icon->setFixedSize(kJobIconSize, kJobIconSize);
    return icon;
}

// Caption/value pairs: captions at first, first + 2, ..., values one above each.
QWidget* lineBlock(int first, std::span<const char* const> captionKeys) {
    auto* block = new QWidget;
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    for (std::size_t k = 0; k < captionKeys.size(); ++k) {
        const int tag = first + 2 * static_cast<int>(k);
        auto* caption = tagged(new QLabel, tag);
        if (captionKeys[k])
            caption->setText(appkit::localized(captionKeys[k]));
        grid->addWidget(caption, static_cast<int>(k), 0);
        grid->addWidget(tagged(new TlvTailLabel, tag + 1), static_cast<int>(k), 1);
    }
    grid->setColumnStretch(1, 1);
    return block;
}

UButton* sizeButton(int tag, int imageBase, const char* descriptionKey) {
    auto* button = tagged(new UButton, tag);
    QStringList ids;
    for (int k = 0; k < 6; ++k)
        ids << QString::number(imageBase + k);
    button->setText("!" + ids.join(':'));
    button->awakeFromNib();
    button->setDescriptionKey(descriptionKey);
    button->setFixedSize(button->sizeHint());
    return button;
}

QWidget* buttonRow(int captionTag, const char* captionKey, QWidget* button) {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->addStretch(1);
    line->addWidget(tagged(new QLabel(appkit::localized(captionKey)), captionTag));
    line->addWidget(button);
    return row;
}

} // namespace

TlvJobInfoCntlr::TlvJobInfoCntlr(TlvJobsHost& host) : mHost(host) {
    buildFoaPane();
    buildJobPane();
    buildScngPane();
}

TlvJobInfoCntlr::~TlvJobInfoCntlr() {
    for (QWidget* pane : {static_cast<QWidget*>(mFoaView), static_cast<QWidget*>(mJobView.data()),
                          static_cast<QWidget*>(mScngView)})
        if (pane && !pane->parent())
            delete pane;
}

void TlvJobInfoCntlr::attachTo(QWidget* pane, QWidget* container) {
    if (!pane || !container)
        return;
    if (!container->layout()) {
        auto* layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    container->layout()->addWidget(pane);
}

QWidget* TlvJobInfoCntlr::summaryBlock(int iconTag, QWidget* icon, QWidget* lines) {
    auto* block = new QWidget;
    auto* row = new QHBoxLayout(block);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(icon ? icon : iconLabel(iconTag), 0, Qt::AlignTop);
    row->addWidget(lines, 1);
    return block;
}

void TlvJobInfoCntlr::buildFoaPane() {
    mFoaView = new QWidget;
    auto* column = new QVBoxLayout(mFoaView);
    column->addWidget(summaryBlock(kFoaIcon, nullptr, lineBlock(kFoaIcon + 1, kCaptions)));
    column->addStretch(1);
}

void TlvJobInfoCntlr::buildScngPane() {
    mScngView = new QWidget;
    auto* column = new QVBoxLayout(mScngView);
    column->addWidget(summaryBlock(kScngIcon, nullptr, lineBlock(kScngIcon + 1, kCaptions)));
    column->addStretch(1);
}

void TlvJobInfoCntlr::buildJobPane() {
    mJobView = new TlvJobInfoView;
    mStr1View = lineBlock(kJobIcon + 1, kCaptions);
    constexpr std::array<const char*, 3> kNoCaptions = {nullptr, nullptr, nullptr};
    mStr2View = lineBlock(kJobOutputFirst, kNoCaptions);
    auto* column = new QVBoxLayout(mJobView);
    column->addWidget(summaryBlock(kJobIcon, nullptr, mStr1View));
    column->addStretch(1);
    column->addWidget(
        buttonRow(kJobMoreCaption, "JobInfo_Btn01SideStr", sizeButton(kJobExpand, 11500, "Tip_JobInfo")));
    column->addWidget(mStr2View);
    column->addWidget(buttonRow(kJobLessCaption, "JobInfo_Btn02SideStr",
                                sizeButton(kJobCollapse, 11600, "Tip_JobInfoLess")));
    for (const int tag : {kJobExpand, kJobCollapse})
        QObject::connect(appkit::viewWithTag<QAbstractButton>(mJobView, tag), &QAbstractButton::clicked,
                         mJobView, [this, tag] { changeDisplaySize(tag); });
    mJobView->setMinimumWidth(260);
    changeDisplaySize(kJobCollapse);
}

void TlvJobInfoCntlr::setText(QWidget* pane, int tag, const QString& text) {
    if (auto* tail = appkit::viewWithTag<TlvTailLabel>(pane, tag))
        tail->setFullText(text);
    else if (auto* label = appkit::viewWithTag<QLabel>(pane, tag))
        label->setText(text);
}

void TlvJobInfoCntlr::setIcon(QWidget* pane, int tag, const QIcon& icon) {
    if (auto* label = appkit::viewWithTag<QLabel>(pane, tag))
        label->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(kJobIconSize, kJobIconSize));
}

void TlvJobInfoCntlr::fillSummary(QWidget* pane, int iconTag, const TlvScanSettingMdl& s) {
    const QString lines[] = {getModeJobInfo(s), getPaperSizeJobInfo(s), getResolutionJobInfo(s),
                             getReadPageJobInfo(s)};
    for (int k = 0; k < 4; ++k)
        setText(pane, iconTag + 2 + 2 * k, lines[k]);
}

QString TlvJobInfoCntlr::getModeJobInfo(const TlvScanSettingMdl& s) {
    if (!s.isUseDriverSetting())
        return lookUp(sMode, s.scnStColType());
    if (s.ccap_OVK_DETECTPAGETYPE() == 1)
        return appkit::localized("DriversColor_ColBWDetector");
    if (s.icap_PIXELTYPE() == 0 && s.ccap_OVK_TEXTENHANCE() == 1)
        return appkit::localized("DriversColor_TextEnhance");
    if (s.icap_PIXELTYPE() == 0 && isErrorDiffusion(s.icap_HALFTONES()))
        return appkit::localized("DriversColor_HalfTone");
    return lookUp(sDriversMode, s.icap_PIXELTYPE());
}

QString TlvJobInfoCntlr::getPaperSizeJobInfo(const TlvScanSettingMdl& s) {
    if (!s.isUseDriverSetting())
        return lookUp(sPaperSize, s.scnStPapSizeType());
    if (s.ccap_OVK_DETECTPAGESIZE() == 1)
        return appkit::localized("DriversPaperSize_Auto");
    const std::int32_t code = s.ccap_OVKM_PAPERSIZE();
    if (code == kPaperFull)
        return appkit::localized("DriversPaperSize_Full");
    if (code == kPaperCustom) {
        const TlvCapName& name = s.ccap_OVKM_CUSTOMPAGESIZENAME();
        return name ? QString::fromStdString(*name) : appkit::localized("DriversPaperSize_Auto");
    }
    return lookUp(sDriversPaperSize, code);
}

QString TlvJobInfoCntlr::getResolutionJobInfo(const TlvScanSettingMdl& s) {
    if (!s.isUseDriverSetting())
        return lookUp(sResolution, s.scnStResType());
    const float x = s.icap_XRESOLUTION();
    const long long dpi =
        std::isfinite(x) ? static_cast<long long>(std::trunc(std::clamp(x, -1e9f, 1e9f))) : 0;
    const int index = dpi == 150 ? 0 : dpi == 300 ? 2 : dpi == 400 ? 3 : dpi == 600 ? 4 : 1;
    return lookUp(sDriversResolution, index);
}

QString TlvJobInfoCntlr::getReadPageJobInfo(const TlvScanSettingMdl& s) {
    if (!s.isUseDriverSetting())
        return lookUp(sReadPage, s.scnStReaderSideType());
    if (s.ccap_OVK_FOLDLARGESIZE() == 1)
        return appkit::localized("DriversReadPage_Half");
    if (s.ccap_OVK_BLANKSKIP() == 1)
        return appkit::localized("ReadPage_Skip");
    return lookUp(sDriversReadPage, s.cap_DUPLEXENABLED());
}

std::string TlvJobInfoCntlr::foaIconName(const TlvScanSettingMdl& s) {
    char family = 'A';
    char size = '6';
    if (s.isUseDriverSetting()) {
        family = s.ccap_OVK_DETECTPAGETYPE() == 1 ? 'C'
                 : s.icap_PIXELTYPE() == 2        ? 'B'
                 : s.icap_PIXELTYPE() == 1        ? 'G'
                                                  : 'A';
        const float x = s.icap_XRESOLUTION();
        size = x < 200.0f ? '2' : x < 400.0f ? '4' : '6';
    } else {
        const std::int32_t colour = s.scnStColType();
        family = colour <= 0 ? 'C' : colour == 1 ? 'B' : colour == 2 ? 'G' : 'A';
        const std::int32_t resolution = s.scnStResType();
        size = resolution <= 0 ? '2' : resolution <= 2 ? '4' : '6';
    }
    return std::string("TOP_F_") + family + size + "_J_E";
}

void TlvJobInfoCntlr::setJobInfo_Foa() {
    const auto& foa = mHost.jobLists().foaJobListMdl();
    if (!foa || !foa->jList_ScanSettingMdl())
        return;
    const TlvScanSettingMdl& s = *foa->jList_ScanSettingMdl();
    setIcon(mFoaView, kFoaIcon, appkit::bundleIcon(foaIconName(s)));
    fillSummary(mFoaView, kFoaIcon, s);
}

void TlvJobInfoCntlr::updateTopJobInfo() {
    const TlvJobListSettingMdl* job = mHost.selJobListMdl();
    if (!job || !job->jList_ScanSettingMdl()) {
        clearTopJobInfoTextBx();
        return;
    }
    setIcon(mJobView, kJobIcon, jobFuncTypeIcon(*job));
    fillSummary(mJobView, kJobIcon, *job->jList_ScanSettingMdl());
    settingFunInfo(*job);
}

void TlvJobInfoCntlr::updateJobInfoForScngView() {
    const bool jobMode = mHost.appSettingObj().scanModeType() == kScanModeJOB;
    const TlvJobListSettingMdl* job =
        jobMode ? mHost.selJobListMdl() : mHost.jobLists().foaJobListMdl().get();
    if (!job || !job->jList_ScanSettingMdl())
        return;
    setIcon(mScngView, kScngIcon, jobMode ? jobFuncTypeIcon(*job) : QIcon());
    fillSummary(mScngView, kScngIcon, *job->jList_ScanSettingMdl());
}

void TlvJobInfoCntlr::clearTopJobInfoTextBx() {
    setIcon(mJobView, kJobIcon, QIcon());
    for (const int tag : {1022, 1024, 1026, 1028, 1031, 1032, 1033, 1034, 1035, 1036})
        setText(mJobView, tag, QString());
}

void TlvJobInfoCntlr::settingFunInfo(const TlvJobListSettingMdl& job) {
    const std::int32_t type = job.jList_FunctionType();
    const TlvFuncSettingMdl* func = job.jList_FuncSettingMdl().get();
    QString lines[6];
    if (func && type == kFuncPrint) {
        lines[0] = appkit::localized("JobInfo_FncPrintName");
        lines[1] = QString::fromStdString(func->printerName());
    } else if (const int e = TlvFuncSettingMdl::fIndexByFType(type); func && e >= 0) {
        lines[0] = appkit::localized("JobInfo_FncFName");
        lines[1] = QString::fromStdString(func->imgFileName(e, false));
        lines[2] = appkit::localized("JobInfo_FncFFormat");
        lines[3] = lookUp(kFormats, func->fileFormatType(e));
        if (type == kFuncSave) {
            lines[4] = appkit::localized("JobInfo_FncFSave");
            lines[5] = QString::fromStdString(func->isPictureFolderSave(e)
                                                  ? VX_Func::defaultPictureFolder().string()
                                                  : func->fileSavePath(e).value_or(std::string()));
        } else if (type == kFuncApplication) {
            lines[4] = appkit::localized("JobInfo_FncAppName");
            const std::string app = func->applicationName().value_or(std::string());
            lines[5] = app.empty() ? QString() : QString::fromStdString(ws::applicationName(app));
        }
    }
    setIcon(mJobView, kJobIcon, jobFuncTypeIcon(job));
    for (int k = 0; k < 6; ++k)
        setText(mJobView, kJobOutputFirst + k, lines[k]);
}

void TlvJobInfoCntlr::changeDisplaySize(std::optional<int> tag) {
    const bool expand = tag ? *tag == kJobExpand : mHost.appSettingObj().isExpJobInfo();
    mJobView->setIsExpansion(expand);
    for (const int shownCollapsed : {kJobMoreCaption, kJobExpand})
        appkit::viewWithTag(mJobView, shownCollapsed)->parentWidget()->setVisible(!expand);
    mStr2View->setVisible(expand);
    appkit::viewWithTag(mJobView, kJobLessCaption)->parentWidget()->setVisible(expand);
    mJobView->layout()->activate();
    mJobView->setDrawLineLftBtmPt(QPoint(0, mStr2View->y()));
}

} // namespace tlv
