// See TlvFunctionViewCntlr.h: the checks of the controls, storing them, and the OK, cancel and mode
// buttons. Names are judged as the files will bear them: with the format's extension.
#include "FilteringFields.h"
#include "TlvAppState.h"
#include "TlvConfirmedNames.h"
#include "TlvFileNaming.h"
#include "TlvFunctionViewCntlr.h"
#include "TlvOutputFailure.h"
#include "TlvPopUps.h"
#include "TlvScanSettingMdl.h"
#include "TlvUtilsMethod.h"
#include "VX_Exception.h"
#include "VX_Message.h"

#include <QCheckBox>
#include <QLineEdit>

#include <filesystem>
#include <set>

namespace tlv {
namespace fs = std::filesystem;
void TlvFunctionViewCntlr::checkJpegFromScanSettings() const {
    const TlvScanSettingMdl* scan = curScnMdlFuncView();
    if (!scan || !isSetFunMdlFileFormat() || mFileFormat->selectedTag() != kFormatJPEG)
        return;
    if (!scan->isUseDriverSetting()) {
        if (scan->scnStColType() == 0)
            throw VX_Exception("Err_NotCreateJpegFromAuto");
        if (scan->scnStColType() == 3)
            throw VX_Exception("Err_NotCreateJpegFromBW");
        return;
    }
    if (scan->ccap_OVK_DETECTPAGETYPE() == 1)
        throw VX_Exception("Err_NotCreateJpegFromAuto");
    if (scan->icap_PIXELTYPE() == 0)
        throw VX_Exception("Err_NotCreateJpegFromBW");
}

void TlvFunctionViewCntlr::checkFreeName() const {
    const QString name = mFileName->text();
    if (name.isEmpty())
        throw VX_Exception(kErrNonFileNameForJobScan);
    if (TlvUtilsMethod::isHeadCharDotInString(name))
        throw VX_Exception(kErrHeadCharDotFileName);
    const std::string whole =
        name.toStdString() + TlvFuncSettingMdl::extensionForFormat(mFileFormat->selectedTag());
    if (whole.size() > kMaxFileNameBytes)
        throw VX_Exception(kErrTooLongFileName);
    if (!TlvUtilsMethod::isValidNameInString(name) || !isUsableFileName(whole))
        throw VX_Exception(kErrInValidFileName);
}

void TlvFunctionViewCntlr::checkFuncStngSave() const {
    const int type = curFuncTypeFuncView();
    std::error_code ec;
    if (type == kFuncApplication && !fs::is_regular_file(chosenApp(), ec))
        throw VX_Exception(kErrNonAppPath);
    checkJpegFromScanSettings();
    // Printing writes no file, so its hidden name is not the user's to fill in.
    if (type != kFuncPrint && isChoosingAtState202() && !mUseFNSetting->isChecked())
        checkFreeName();
    if (mHost.curScanModeType() == kScanModeJOB && mHost.isConfirmOutput() && type != kFuncPrint &&
        !mIsOpenJobListPanel) {
        if (const std::optional<std::string> fault =
                checkConfirmedNames(mTmpWriteFileNameArray, mHost.cpyWriteFilePathArray()))
            throw VX_Exception(*fault);
    }
    if ((type == kFuncSave || type == kFuncApplication) && !mSavePicture->isChecked()) {
        if (mSavePath->text().isEmpty())
            throw VX_Exception("Err_NonSaveFilePath");
        if (!fs::is_directory(mSavePath->text().toStdString(), ec))
            throw VX_Exception("Err_NotFindSaveFPath");
    }
    if (type == kFuncPrint && mPrinterName->text().isEmpty())
        throw VX_Exception(kErrNotFoundPrinter);
}

void TlvFunctionViewCntlr::saveFuncSettingFromCntlr() {
    checkFuncStngSave();
    const int type = curFuncTypeFuncView();
    const int e = entryIndex();
    if (type == kFuncApplication)
        mTmpFuncSettingMdl->setApplicationName(chosenApp());
    if (type == kFuncPrint) {
        if (mPrintLayout->selectedTag() >= 0)
            mTmpFuncSettingMdl->setPrintLayoutType(mPrintLayout->selectedTag());
        return;
    }
    if (e < 0)
        return;
    if (isChoosingAtState202() && !mUseFNSetting->isChecked())
        mTmpFuncSettingMdl->setFreeFileName(mFileName->text().toStdString(), e);
    if (isSetFunMdlFileFormat() && mFileFormat->selectedTag() >= 0)
        mTmpFuncSettingMdl->setFileFormatType(mFileFormat->selectedTag(), e);
    if (type == kFuncSave || type == kFuncApplication) {
        mTmpFuncSettingMdl->setFileSavePath(mSavePath->text().toStdString(), e);
        mTmpFuncSettingMdl->setIsPictureFolderSave(mSavePicture->isChecked(), e);
    }
}

void TlvFunctionViewCntlr::executeFunction(int tag) {
    const int mode = mHost.curScanModeType();
    if (mode == kScanModeJOB && tag == kTagCancel) {
        mHost.switchScanMode(0);
        return;
    }
    if (tag == kTagOK || tag < 0) {
        if (mode == kScanModeFOA || mHost.isConfirmOutput()) {
            try {
                saveFuncSettingFromCntlr();
            } catch (const VX_Exception& failure) {
                VX_Message::showErrorPanel(failure.name(), mHost.mainWindow());
                return;
            }
        }
        mHost.completeFunction();
        mHost.setAppState(AppStateFixStart);
        if (mode == kScanModeFOA)
            mHost.setFoaFuncSettingMdl(*mTmpFuncSettingMdl);
        const bool print = curFuncTypeFuncView() == kFuncPrint;
        mHost.setAppState(print                  ? AppStateFixPrint
                          : mode == kScanModeFOA ? AppStateFixReadFiles
                                                 : AppStateFixRemakeRotated);
    } else if (mode == kScanModeFOA) {
        mHost.setAppState(AppStateFuncSelect);
        mHost.showSelectFunction();
    }
    mHost.changeKeyView();
}

} // namespace tlv
