// See TlvPopUps.h. The rows are constant tables; a title is looked up once, when the pop-up is made.
#include "TlvPopUps.h"

#include "Strings.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"
#include "VX_Func.h"
#include "ViewImage.h"

#include <QIcon>

#include <array>

namespace {

constexpr std::array<TlvPopUpRow, 2> sCompress = {{{"Compress_Non", nullptr}, {"Compress_High", nullptr}}};
constexpr std::array<TlvPopUpRow, 3> sFileFormat = {{{"FileFormat_PDF", "FILE_type_PDF"},
                                                     {"FileFormat_TIFF", "FILE_type_TIFF"},
                                                     {"FileFormat_JPEG", "FILE_type_Jpeg"}}};
constexpr std::array<TlvPopUpRow, 10> sOCRLang = {{{"OCRLang_JE", nullptr},
                                                   {"OCRLang_Jap", nullptr},
                                                   {"OCRLang_Eng", nullptr},
                                                   {"OCRLang_Spa", nullptr},
                                                   {"OCRLang_Fre", nullptr},
                                                   {"OCRLang_Deu", nullptr},
                                                   {"OCRLang_Ity", nullptr},
                                                   {"OCRLang_Ned", nullptr},
                                                   {"OCRLang_zhCn", nullptr},
                                                   {"OCRLang_zhTW", nullptr}}};
constexpr std::array<TlvPopUpRow, 4> sDateTime = {{{"DateTime_YYYYMMDD", nullptr},
                                                   {"DateTime_MMDDYYYY", nullptr},
                                                   {"DateTime_DDMMYYYY", nullptr},
                                                   {"DateTime_Jap_YYYYMMDD", nullptr}}};
constexpr std::array<TlvPopUpRow, 6> sNumberAdd = {{{"NumberAdd_1digit", nullptr},
                                                    {"NumberAdd_2digit", nullptr},
                                                    {"NumberAdd_3digit", nullptr},
                                                    {"NumberAdd_4digit", nullptr},
                                                    {"NumberAdd_5digit", nullptr},
                                                    {"NumberAdd_6digit", nullptr}}};
constexpr std::array<TlvPopUpRow, 2> sPageLayout = {
    {{"PageLayout_Normal", nullptr}, {"PageLayout_PapSize", nullptr}}};
constexpr std::array<TlvPopUpRow, 4> sFuncType = {{{"JobList_OutPut_File", "def_Folder_E_16"},
                                                   {"JobList_OutPut_Mail", "def_MAPI_E_16"},
                                                   {"JobList_OutPut_Print", "def_Print_E_16"},
                                                   {"JobList_OutPut_App", "def_App_E_16"}}};
constexpr std::array<TlvPopUpRow, 4> sColorName = {{{"Color_ColBWDetector", "DRV_Mode_A_E"},
                                                    {"Color_Color", "DRV_Mode_C_E"},
                                                    {"Color_Gray", "DRV_Mode_G_E"},
                                                    {"Color_BW", "DRV_Mode_B_E"}}};
// A5, A6 and B6 are fed turned; their image says so.
constexpr std::array<TlvPopUpRow, 8> sPaperSize = {{{"PaperSize_Auto", nullptr},
                                                    {"PaperSize_A4", nullptr},
                                                    {"PaperSize_A5", "DRV_SIZE_VH_E"},
                                                    {"PaperSize_A6", "DRV_SIZE_VH_E"},
                                                    {"PaperSize_B5", nullptr},
                                                    {"PaperSize_B6", "DRV_SIZE_VH_E"},
                                                    {"PaperSize_Legal", nullptr},
                                                    {"PaperSize_Letter", nullptr}}};
constexpr std::array<TlvPopUpRow, 3> sReadPage = {{{"ReadPage_One", "RDV_READ_Simplex_E"},
                                                   {"ReadPage_Both", "RDV_READ_Duplex_E"},
                                                   {"ReadPage_Skip", "RDV_READ_Skip_E"}}};
constexpr std::array<TlvPopUpRow, 5> sResolution = {{{"Resolution_150", nullptr},
                                                     {"Resolution_200", nullptr},
                                                     {"Resolution_300", nullptr},
                                                     {"Resolution_400", nullptr},
                                                     {"Resolution_600", nullptr}}};

QIcon iconNamed(const char* name) {
    const std::shared_ptr<const ViewImage> image = name ? ViewImage::named(name) : nullptr;
    if (!image)
        return {};
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0})
        icon.addPixmap(image->pixmap(dpr));
    return icon;
}

} // namespace

TlvPopUp::TlvPopUp(std::span<const TlvPopUpRow> rows, QWidget* parent) : QComboBox(parent) {
    for (std::size_t tag = 0; tag < rows.size(); ++tag) {
        const QString title = appkit::localized(rows[tag].key);
        if (!title.isEmpty())
            VX_Func::addMenuItem(this, title, static_cast<int>(tag), iconNamed(rows[tag].image));
    }
}

void TlvPopUp::selectItemWithTag(int tag) {
    setCurrentIndex(findData(tag, appkit::kItemTagRole));
}

int TlvPopUp::selectedTag() const {
    return currentIndex() < 0 ? -1 : currentData(appkit::kItemTagRole).toInt();
}

TlvCompressPopUp::TlvCompressPopUp(QWidget* parent) : TlvPopUp(sCompress, parent) {}
TlvFileFormatPopUp::TlvFileFormatPopUp(QWidget* parent) : TlvPopUp(sFileFormat, parent) {}
TlvOCRLangPopUp::TlvOCRLangPopUp(QWidget* parent) : TlvPopUp(sOCRLang, parent) {}
TlvNumberAddPopUp::TlvNumberAddPopUp(QWidget* parent) : TlvPopUp(sNumberAdd, parent) {}
TlvPageLayoutPopUp::TlvPageLayoutPopUp(QWidget* parent) : TlvPopUp(sPageLayout, parent) {}
TlvFuncPopUp::TlvFuncPopUp(QWidget* parent) : TlvPopUp(sFuncType, parent) {}
TlvColorPopUp::TlvColorPopUp(QWidget* parent) : TlvPopUp(sColorName, parent) {}
TlvPaperSizePopUp::TlvPaperSizePopUp(QWidget* parent) : TlvPopUp(sPaperSize, parent) {}
TlvReadPagePopUp::TlvReadPagePopUp(QWidget* parent) : TlvPopUp(sReadPage, parent) {}
TlvResolutionPopUp::TlvResolutionPopUp(QWidget* parent) : TlvPopUp(sResolution, parent) {}

TlvDateTimeAddPopUp::TlvDateTimeAddPopUp(QWidget* parent)
    : TlvDateTimeAddPopUp(TlvUtilsMethod::isEqualToLocaleStr("ja"), parent) {}

TlvDateTimeAddPopUp::TlvDateTimeAddPopUp(bool japanese, QWidget* parent)
    : TlvPopUp(std::span(sDateTime).first(japanese ? 4 : 3), parent) {}
