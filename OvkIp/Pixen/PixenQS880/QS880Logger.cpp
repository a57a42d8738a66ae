// Record dumps for the trace: an opening tag, one labelled field per line with its value right-aligned in
// ten columns (negative values as their 32-bit two's complement, pointers as full-width addresses), and a
// closing tag. Debug images take the first free number, created exclusively so no file is ever reused.
#include "QS880Logger.h"

#include "FileIo.h"
#include "ImageFileCommon.h"
#include "OvkLogger.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <string>
#include <unistd.h>

namespace Ovk::Pixen::QS880 {

namespace {

using Ovk::OvkLogger;

constexpr int kDebugImageNumbers = 1000; // names NNN.ovk, three digits

template <class V> void value(const char* label, V v) {
    OvkLogger::writeLog("%s%10u", label, static_cast<unsigned>(static_cast<std::uint32_t>(v)));
}

void pointer(const char* label, const void* p) {
    OvkLogger::writeLog("%s%10" PRIuPTR, label, reinterpret_cast<std::uintptr_t>(p));
}

void line(const char* text) {
    OvkLogger::writeLog("%s", text);
}

void writeAdjustRegisters(const char* const labels[10], const tagADJUSTREGINFO& r) {
    const std::uint32_t values[10] = {r.Gain1,    r.Reserved1, r.Offset1,   r.Reserved2, r.RedLED,
                                      r.GreenLED, r.BlueLED,   r.Reserved3, r.Reserved4, r.Reserved5};
    for (int i = 0; i < 10; ++i)
        value(labels[i], values[i]);
}

template <class ColourInfo> void writeColourInfo(const char* label, const ColourInfo* info) {
    pointer(label, info);
    if (info == nullptr)
        return;
    value("\t    .ulSize                   ", info->ulSize);
    pointer("\t    .lpColor                  ", info->lpColor);
    pointer("\t    .lpNewColors              ", info->lpNewColors);
    value("\t    .nColorCount              ", info->nColorCount);
    value("\t    .nRange                   ", info->nRange);
}

void writePoint(const char* label, const tagPOINT32& p) {
    OvkLogger::writeLog("%s%10u, %10u", label, static_cast<unsigned>(p.x), static_cast<unsigned>(p.y));
}

void writeShading(const tagSHADINGINFO* info) {
    pointer("\t.pShadingInfo             ", info);
    if (info == nullptr)
        return;
    value("\t    .ulSize                   ", info->ulSize);
    QS880Logger::writeIMAGEINFO(&info->imgWhite.getInfo());
    QS880Logger::writeIMAGEINFO(&info->imgBlack.getInfo());
}

void writeSRGB(const tagSRGBCONVERSIONINFO* info) {
    pointer("\t.pSRGBConversionInfo        ", info);
    if (info == nullptr)
        return;
    value("\t    .ulSize                   ", info->ulSize);
    value("\t    .Type                     ", info->Type);
    const char* rowLabels[3] = {"\t    .Matrix                   ", "\t                              ",
                                "\t                              "};
    for (int row = 0; row < 3; ++row)
        OvkLogger::writeLog("%s%10u, %10u, %10u", rowLabels[row],
                            static_cast<unsigned>(info->Matrix[3 * row]),
                            static_cast<unsigned>(info->Matrix[3 * row + 1]),
                            static_cast<unsigned>(info->Matrix[3 * row + 2]));
}

void writeDetect4Points(const tagDETECT4POINTSINFO* info) {
    pointer("\t.pDetect4PointsInfo       ", info);
    if (info == nullptr)
        return;
    value("\t    .ulSize                   ", info->ulSize);
    writePoint("\t    .LeftTop                  ", info->LeftTop);
    writePoint("\t    .RightTop                 ", info->RightTop);
    writePoint("\t    .LeftBottom               ", info->LeftBottom);
    writePoint("\t    .RightBottom              ", info->RightBottom);
    const tagRECT32& r = info->rectDoc;
    OvkLogger::writeLog("\t    .rectDoc                  %10u, %10u, %10u, %10u",
                        static_cast<unsigned>(r.top), static_cast<unsigned>(r.right),
                        static_cast<unsigned>(r.bottom), static_cast<unsigned>(r.left));
    writePoint("\t    .vectorSlant              ", info->vectorSlant);
    writePoint("\t    .Size                     ", tagPOINT32{info->Size.width, info->Size.height});
    value("\t    .lTopMargin               ", info->lTopMargin);
    value("\t    .lBottomMargin            ", info->lBottomMargin);
    value("\t    .lLeftMargin              ", info->lLeftMargin);
    value("\t    .lRightMargin             ", info->lRightMargin);
}

} // namespace

void QS880Logger::createLogger(const char* path) noexcept {
    OvkLogger::createLogger(path);
}

void QS880Logger::writeIMAGEINFO(const tagIMAGEINFO* info) noexcept {
    if (!OvkLogger::isLogOn() || info == nullptr)
        return;
    line("<IMAGEINFO>");
    value("    .lXpos         ", info->lXpos);
    value("    .lYpos         ", info->lYpos);
    value("    .lWidth        ", info->lWidth);
    value("    .lHeight       ", info->lHeight);
    value("    .lSync         ", info->lSync);
    value("    .tImageSize    ", info->tImageSize);
    value("    .lBps          ", info->lBps);
    value("    .lSpp          ", info->lSpp);
    value("    .ulRGBOrder    ", info->ulRGBOrder);
    value("    .lXResolution  ", info->lXResolution);
    value("    .lYResolution  ", info->lYResolution);
    line("</IMAGEINFO>");
}

void QS880Logger::writeADJUSTINFO(const tagADJUSTINFO& info) noexcept {
    if (!OvkLogger::isLogOn())
        return;
    static const char* const front[10] = {
        "    .FrontAdjustInfo.Gain1      ", "    .FrontAdjustInfo.Reserved1  ",
        "    .FrontAdjustInfo.Offset1    ", "    .FrontAdjustInfo.Reserved2  ",
        "    .FrontAdjustInfo.RedLED     ", "    .FrontAdjustInfo.GreenLED   ",
        "    .FrontAdjustInfo.BlueLED    ", "    .FrontAdjustInfo.Reserved3  ",
        "    .FrontAdjustInfo.Reserved4  ", "    .FrontAdjustInfo.Reserved5  "};
    static const char* const back[10] = {
        "    .BackAdjustInfo.Gain1       ", "    .BackAdjustInfo.Reserved1   ",
        "    .BackAdjustInfo.Offset1     ", "    .BackAdjustInfo.Reserved2   ",
        "    .BackAdjustInfo.RedLED      ", "    .BackAdjustInfo.GreenLED    ",
        "    .BackAdjustInfo.BlueLED     ", "    .BackAdjustInfo.Reserved3   ",
        "    .BackAdjustInfo.Reserved4   ", "    .BackAdjustInfo.Reserved5   "};
    line("<ADJUSTINFO>");
    value("    .bDuplex                    ", info.bDuplex);
    value("    .lXResolution               ", info.lXResolution);
    value("    .ScanMode                   ", info.ScanMode);
    value("    .FrontLightSorce            ", info.FrontLightSorce);
    value("    .BackLightSorce             ", info.BackLightSorce);
    writeAdjustRegisters(front, info.FrontAdjustInfo);
    writeAdjustRegisters(back, info.BackAdjustInfo);
    value("    .ScanInfo\t                 ", info.ScanInfo);
    line("</ADJUSTINFO>");
}

void QS880Logger::writeNORMALFILTERINFO(tagNORMALFILTERINFO& info) noexcept {
    if (!OvkLogger::isLogOn())
        return;
    line("<NORMALFILTERINFO>");
    value("\t.ulSize                   ", info.ulSize);
    value("\t.bReduceMoire             ", info.bReduceMoire);
    pointer("\t.pDetectColorOrGrayInfo   ", info.pDetectColorOrGrayInfo);
    if (const auto* p = info.pDetectColorOrGrayInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .lSensitivityOfAutoColor  ", p->lSensitivityOfAutoColor);
        value("\t    .ulIntensityOfAutoColor   ", p->ulIntensityOfAutoColor);
    }
    writeColourInfo("\t.pDropOutColorInfo        ", info.pDropOutColorInfo);
    writeColourInfo("\t.pEmphasisColorInfo       ", info.pEmphasisColorInfo);
    pointer("\t.pEraseBackPageInfo       ", info.pEraseBackPageInfo);
    if (const auto* p = info.pEraseBackPageInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .ulCoefficient            ", p->ulCoefficient);
        value("\t    .ulThreshold              ", p->ulThreshold);
    }
    pointer("\t.pGRCInfo                 ", info.pGRCInfo);
    if (const auto* p = info.pGRCInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .ucBrightness             ", p->ucBrightness);
        value("\t    .ucContrast               ", p->ucContrast);
    }
    pointer("\t.pEmphasisEdgeInfo        ", info.pEmphasisEdgeInfo);
    if (const auto* p = info.pEmphasisEdgeInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .ulEmphasisLevel          ", p->ulEmphasisLevel);
    }
    value("\t.bAutoSize                ", info.bAutoSize);
    value("\t.bSkewCorrection          ", info.bSkewCorrection);
    pointer("\t.pTextImageDirectionInfo  ", info.pTextImageDirectionInfo);
    if (const auto* p = info.pTextImageDirectionInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .tidlang                  ", p->tidlang);
        value("\t    .tidcodepage              ", p->tidcodepage);
        value("\t    .nDeg                     ", p->nDeg);
        OvkLogger::writeLog("\t    .dRad                     %10.6f", p->dRad);
    }
    pointer("\t.pRotate90xInfo           ", info.pRotate90xInfo);
    if (const auto* p = info.pRotate90xInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .lDegree                  ", p->lDegree);
    }
    pointer("\t.pGrayToBinaryInfo        ", info.pGrayToBinaryInfo);
    if (const auto* p = info.pGrayToBinaryInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .Method                   ", p->Method);
        value("\t    .ulBrightness             ", p->ulBrightness);
        value("\t    .ulContrast               ", p->ulContrast);
    }
    value("\t.bInverse                 ", info.bInverse);
    pointer("\t.pBlankPageInfo\t\t      ", info.pBlankPageInfo);
    if (const auto* p = info.pBlankPageInfo) {
        value("\t    .ulSize                   ", p->ulSize);
        value("\t    .lBlankSkipSlice          ", p->lBlankSkipSlice);
        value("\t    .bBlankPage               ", p->bBlankPage);
    }
    line("</NORMALFILTERINFO>");
}

void QS880Logger::writeSPECIALFILTERINFO(tagSPECIALFILTERINFO& info) noexcept {
    if (!OvkLogger::isLogOn())
        return;
    line("<SPECIALFILTER>");
    value("\t.ulSize                   ", info.ulSize);
    writeShading(info.pShadingInfo);
    writeSRGB(info.pSRGBConversionInfo);
    writeDetect4Points(info.pDetect4PointsInfo);
    line("</SPECIALFILTER>");
}

void QS880Logger::writeFILTERSIMPLEXINFO(tagFILTERSIMPLEXINFO& info) noexcept {
    if (!OvkLogger::isLogOn())
        return;
    line("<FILTERSIMPLEXINFO>");
    value("\t.ulSize                   ", info.ulSize);
    writeIMAGEINFO(&info.InImageInfo);
    writeIMAGEINFO(&info.OutImageInfo);
    writeNORMALFILTERINFO(info.NormalFilterInfo);
    writeSPECIALFILTERINFO(info.SpecialFilterInfo);
    line("</FILTERSIMPLEXINFO>");
}

void QS880Logger::writeFILTERDUPLEXINFO(tagFILTERDUPLEXINFO& info) noexcept {
    if (!OvkLogger::isLogOn())
        return;
    line("<FILTERDUPLEXINFO>");
    value("\t.ulSize                   ", info.ulSize);
    writeIMAGEINFO(&info.InImageInfo);
    writeIMAGEINFO(&info.OutImageInfo);
    writeNORMALFILTERINFO(info.FrontNormalFilterInfo);
    writeNORMALFILTERINFO(info.BackNormalFilterInfo);
    writeSPECIALFILTERINFO(info.FrontSpecialFilterInfo);
    writeSPECIALFILTERINFO(info.BackSpecialFilterInfo);
    line("</FILTERDUPLEXINFO>");
}

void QS880Logger::writeOvk(const CImg& image, const char* prefix) noexcept {
    if (!OvkLogger::isLogOn() || prefix == nullptr)
        return;
    try {
        for (int n = 0; n < kDebugImageNumbers; ++n) {
            char number[16];
            std::snprintf(number, sizeof number, "%03d.ovk", n);
            const std::string name = std::string(prefix) + number;
            fileio::UniqueFd fd{
                ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
            if (fd.valid()) {
                fileio::writeOvkFile(fd.get(), image);
                return;
            }
            if (errno != EEXIST)
                return; // the folder is unusable; every further name would fail the same way
        }
    } catch (const std::bad_alloc&) {
        // A debug aid never fails the pipeline.
    }
}

} // namespace Ovk::Pixen::QS880
