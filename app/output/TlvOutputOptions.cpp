// See TlvOutputOptions.h.
#include "TlvOutputOptions.h"

#include "TlvFuncSettingMdl.h"

namespace tlv {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\n\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\n\r") - first + 1);
}

} // namespace

TlvOutputOptions outputOptionsOf(const TlvFuncSettingMdl& m, int functionType, std::string pictureFolder,
                                 const TlvLocalTime& nameTime) {
    const int e = TlvFuncSettingMdl::fIndexByFType(functionType);
    TlvOutputOptions o;
    o.fileFormatType = m.fileFormatType(e);
    o.ffMultiTypePDF = m.ff_MultiType_PDF(e);
    o.multiPageNumPDF = m.multiPageNum_PDF(e);
    o.ffMultiTypeTIFF = m.ff_MultiType_TIFF(e);
    o.multiPageNumTIFF = m.multiPageNum_TIFF(e);
    o.ffCompType = m.ff_CompType(e);
    o.compRatePDF = m.compRate_PDF(e);
    o.compRateJPEG = m.compRate_JPEG(e);
    o.isAddOCR = m.isAddOCR(e);
    o.ffOCRLangType = m.ff_OCRLangType(e);
    o.isPictureFolderSave = m.isPictureFolderSave(e);
    o.pictureFolder = std::move(pictureFolder);
    o.fileSavePath = m.fileSavePath(e).value_or(std::string());
    o.isUseFNSetting = m.isUseFNSetting(e);
    o.isAddNumber = m.isAddNumber(e);
    o.partFileName = trimmed(m.partFileName(e)); // as the automatic name holds it
    o.imgFileName = m.imgFileName(e, true, nameTime);
    o.freeFileName = m.freeFileName(e, true).value_or(std::string());
    return o;
}

} // namespace tlv
