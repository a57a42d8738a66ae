// See TlvFileNameSettingCntlr.h. The preview is made by the settings model itself from a copy that
// holds the panel's values, so the panel shows exactly the name a file will get; the same name is
// what the check judges, not only the prefix.
#include "TlvFileNameSettingCntlr.h"

#include "TlvFileNamePanel.h"
#include "TlvFileNaming.h"
#include "TlvFuncSettingMdl.h"
#include "TlvOutputFailure.h"
#include "TlvPopUps.h"

#include "FilteringFields.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"
#include "VX_Exception.h"
#include "VX_FWindow.h"
#include "VX_Message.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>

namespace tlv {
namespace {

constexpr int kMaxDigits = 6;

} // namespace

TlvFileNameSettingCntlr::TlvFileNameSettingCntlr(TlvFuncViewLink& view)
    : mView(view), mPanel(new TlvFileNamePanel(kPrefixLength)) {
    connectPanel();
}

TlvFileNameSettingCntlr::~TlvFileNameSettingCntlr() = default;

QDialog* TlvFileNameSettingCntlr::fileNameSettingPanel() const {
    return mPanel.get();
}

void TlvFileNameSettingCntlr::connectPanel() {
    TlvFileNamePanel* panel = mPanel.get();
    const auto refresh = [this] { updateFileNameCntlr(); };
    QObject::connect(panel->addDateTime, &QCheckBox::toggled, panel, refresh);
    QObject::connect(panel->dateTimeType, &QComboBox::currentIndexChanged, panel, refresh);
    QObject::connect(panel->addNumber, &QCheckBox::toggled, panel, refresh);
    QObject::connect(panel->digitType, &QComboBox::activated, panel, [this] { changeDigitType(); });
    QObject::connect(panel->prefix, &QLineEdit::textEdited, panel, [this] {
        changePrtFileName();
        updateFileNameCntlr();
    });
    QObject::connect(panel->startNum, &QLineEdit::textEdited, panel, [this] {
        changeDigit();
        updateFileNameCntlr();
    });
    QObject::connect(panel->startNum, &QLineEdit::editingFinished, panel,
                     [this] { startNumDidEndEditing(); });
    QObject::connect(panel->buttons, &QDialogButtonBox::accepted, panel,
                     [this] { closeFileNameSttngPnl(kTagOK); });
    QObject::connect(panel->buttons, &QDialogButtonBox::rejected, panel, &QDialog::reject);
    // Cancel, Escape and the close button all end here, as does an accepted rule.
    QObject::connect(panel, &QDialog::finished, panel, [panel] { VX_FWindow::endModalWindow(panel); });
}

int TlvFileNameSettingCntlr::digits() const {
    // A stored count with no item keeps counting with what is stored.
    const TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl();
    const int tag = mPanel->digitType->selectedTag();
    const int type = tag >= 0 ? tag : settings ? settings->digitType(mView.entryIndex()) : 0;
    return std::clamp(type + 1, 1, kMaxDigits);
}

int TlvFileNameSettingCntlr::maxDigNum(int digits) {
    if (digits < 1 || digits > kMaxDigits)
        return 0;
    int largest = 0;
    for (int i = 0; i < digits; ++i)
        largest = largest * 10 + 9;
    return largest;
}

void TlvFileNameSettingCntlr::runModalFileNameSttngPnl(bool fromEditor) {
    if (mView.entryIndex() < 0 || !mView.tmpFuncSettingMdl())
        return;
    initFileNameCntlr();
    mPanel->setWindowTitle(appkit::localized("Title_FileNameWin"));
    mPanel->adjustSize();
    VX_FWindow::beginModalWindow(mPanel.get(), mView.parentWindow(fromEditor));
}

void TlvFileNameSettingCntlr::initFileNameCntlr() {
    const TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (!settings || e < 0)
        return;
    mPanel->result->setText(QString::fromStdString(settings->imgFileName(e, true)));
    mPanel->prefix->setText(QString::fromStdString(settings->partFileName(e)));
    mPanel->addDateTime->setChecked(settings->isAddDateTime(e));
    mPanel->dateTimeType->selectItemWithTag(settings->dateTimeType(e));
    mPanel->addNumber->setChecked(settings->isAddNumber(e));
    mPanel->digitType->selectItemWithTag(settings->digitType(e));
    mPanel->startNum->setText(QString::number(settings->startNum(e)));
    mPanel->startNum->setValidLength(digits());
    updateFileNameCntlr();
}

void TlvFileNameSettingCntlr::updateFileNameCntlr() {
    mPanel->dateTimeType->setEnabled(mPanel->addDateTime->isChecked());
    mPanel->digitType->setEnabled(mPanel->addNumber->isChecked());
    mPanel->startNum->setEnabled(mPanel->addNumber->isChecked());
    mPanel->numberLabel->setEnabled(mPanel->addNumber->isChecked());
    updateFileNameDisplay();
}

QString TlvFileNameSettingCntlr::trimmedPrefix() const {
    return TlvUtilsMethod::deleteSpaceHeadAndTail(mPanel->prefix->text()).value_or(QString());
}

std::unique_ptr<TlvFuncSettingMdl> TlvFileNameSettingCntlr::ruleFromControls() const {
    const TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl();
    auto rule = std::make_unique<TlvFuncSettingMdl>(settings ? *settings : TlvFuncSettingMdl());
    const int e = mView.entryIndex();
    rule->setPartFileName(trimmedPrefix().toStdString(), e);
    rule->setIsAddDateTime(mPanel->addDateTime->isChecked(), e);
    if (mPanel->dateTimeType->selectedTag() >= 0)
        rule->setDateTimeType(mPanel->dateTimeType->selectedTag(), e);
    rule->setIsAddNumber(mPanel->addNumber->isChecked(), e);
    if (mPanel->digitType->selectedTag() >= 0)
        rule->setDigitType(mPanel->digitType->selectedTag(), e);
    rule->setStartNum(std::clamp(mPanel->startNum->text().toInt(), 1, maxDigNum(digits())), e);
    return rule;
}

void TlvFileNameSettingCntlr::updateFileNameDisplay() {
    const std::string name = ruleFromControls()->imgFileName(mView.entryIndex(), true);
    if (!name.empty())
        mPanel->result->setText(QString::fromStdString(name));
}

void TlvFileNameSettingCntlr::checkFNameStngSave() const {
    const QString prefix = trimmedPrefix();
    if (!prefix.isEmpty() && TlvUtilsMethod::isHeadCharDotInString(prefix))
        throw VX_Exception(kErrHeadCharDotFileName);
    if (mPanel->addDateTime->isChecked() || !prefix.isEmpty()) {
        if (!TlvUtilsMethod::isValidNameInString(prefix))
            throw VX_Exception(kErrInValidFileName);
        // The whole name with its date, counter and extension must name a file, not only the prefix.
        if (!isUsableFileName(ruleFromControls()->imgFileName(mView.entryIndex(), true)))
            throw VX_Exception(kErrInValidFileName);
        return;
    }
    throw VX_Exception(mPanel->addNumber->isChecked() ? "Err_NonFileNameOnlyNum" : "Err_NonFileName");
}

void TlvFileNameSettingCntlr::changePrtFileName() {
    if (mPanel->prefix->text().size() > kPrefixLength)
        mPanel->prefix->setText(mPanel->prefix->text().left(kPrefixLength));
}

void TlvFileNameSettingCntlr::changeDigit() {
    const int width = static_cast<int>(mPanel->startNum->text().size());
    const int value = std::clamp(mPanel->startNum->text().toInt(), 1, std::max(1, maxDigNum(digits())));
    mPanel->startNum->setText(QString("%1").arg(value, width, 10, QChar('0')));
}

void TlvFileNameSettingCntlr::startNumDidEndEditing() {
    mPanel->startNum->setText(QString::number(mPanel->startNum->text().toInt()));
}

void TlvFileNameSettingCntlr::changeDigitType() {
    const int largest = maxDigNum(digits());
    if (mPanel->startNum->text().toInt() > largest)
        mPanel->startNum->setText(QString::number(largest));
    updateFileNameCntlr();
    mPanel->startNum->setValidLength(digits());
}

void TlvFileNameSettingCntlr::closeFileNameSttngPnl(int tagOfButton) {
    if (tagOfButton == kTagCancel) {
        mPanel->reject();
        return;
    }
    try {
        checkFNameStngSave();
    } catch (const VX_Exception& failure) {
        VX_Message::showErrorPanel(failure.name(), mPanel.get());
        return;
    }
    changeDigit();
    if (TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl()) {
        const int e = mView.entryIndex();
        *settings = *ruleFromControls();
        settings->setImgFileName(mPanel->result->text().toStdString(), e);
    }
    mView.updateFuncCntlrs();
    mView.settingDidChangeFromFunc();
    mPanel->accept();
}

} // namespace tlv
