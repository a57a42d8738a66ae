// See TlvFileNameSettingCntlr.h. The preview is made by the settings model itself from a copy that
// holds the panel's values, so the panel shows exactly the name a file will get; the same name is
// what the check judges, not only the prefix.
#include "TlvFileNameSettingCntlr.h"

#include "DialogButtons.h"
#include "TlvFileNaming.h"
#include "TlvFuncSettingMdl.h"
#include "TlvOutputFailure.h"
#include "TlvPopUps.h"

#include "FilteringFields.h"
#include "NotificationCenter.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvUtilsMethod.h"
#include "VX_Exception.h"
#include "VX_FWindow.h"
#include "VX_Message.h"
#include <QDialogButtonBox>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tlv {
namespace {

constexpr int kMaxDigits = 6;

using appkit::tagged;

} // namespace

TlvFileNameSettingCntlr::TlvFileNameSettingCntlr(TlvFuncViewLink& view) : mView(view) {
    buildPanel();
}

TlvFileNameSettingCntlr::~TlvFileNameSettingCntlr() {
    delete mPanel.data();
}

void TlvFileNameSettingCntlr::buildPanel() {
    mPanel = new QDialog;
    mResult = tagged(new QLabel, kTagResult);
    mResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mResult->setMinimumWidth(320);
    mPrefix = tagged(new appkit::FTextField, kTagPrefix);
    mPrefix->setValidLength(kPrefixLength);
    mPrefix->setInvalidCharsInString("\r\n");
    mAddDateTime = tagged(new QCheckBox(appkit::localized("FName_AddDateTime")), kTagAddDateTime);
    mDateTimeType = tagged(new TlvDateTimeAddPopUp, kTagDateTimeType);
    mAddNumber = tagged(new QCheckBox(appkit::localized("FName_AddNumber")), kTagAddNumber);
    mDigitType = tagged(new TlvNumberAddPopUp, kTagDigitType);
    mStartNum = tagged(new appkit::FTextField, kTagStartNum);
    mStartNum->setValidCharsInString("1234567890");
    mNumberLabel = tagged(new appkit::FStaticTextField, kTagNumberLabel);
    mNumberLabel->setText(appkit::localized("FName_Counter"));
    const auto [buttons, cancel, ok] = appkit::cancelAndOk(kTagCancel, kTagOK);

    auto* grid = new QGridLayout(mPanel);
    grid->addWidget(new QLabel(appkit::localized("FName_Prefix")), 0, 0);
    grid->addWidget(mPrefix, 0, 1);
    grid->addWidget(mAddDateTime, 1, 0);
    grid->addWidget(mDateTimeType, 1, 1);
    grid->addWidget(mAddNumber, 2, 0, 1, 2);
    auto* counter = new QHBoxLayout;
    counter->addWidget(mDigitType);
    counter->addWidget(mStartNum, 1);
    grid->addWidget(mNumberLabel, 3, 0);
    grid->addLayout(counter, 3, 1);
    grid->addWidget(new QLabel(appkit::localized("FName_Result")), 4, 0);
    grid->addWidget(mResult, 4, 1);
    grid->addWidget(buttons, 5, 0, 1, 2);

    const auto refresh = [this] { updateFileNameCntlr(); };
    QObject::connect(mAddDateTime, &QCheckBox::toggled, mPanel, refresh);
    QObject::connect(mDateTimeType, &QComboBox::currentIndexChanged, mPanel, refresh);
    QObject::connect(mAddNumber, &QCheckBox::toggled, mPanel, refresh);
    QObject::connect(mDigitType, &QComboBox::activated, mPanel, [this] { changeDigitType(); });
    QObject::connect(mPrefix, &QLineEdit::textEdited, mPanel, [this] {
        changePrtFileName();
        updateFileNameCntlr();
    });
    QObject::connect(mStartNum, &QLineEdit::textEdited, mPanel, [this] {
        changeDigit();
        updateFileNameCntlr();
    });
    QObject::connect(mStartNum, &QLineEdit::editingFinished, mPanel, [this] { startNumDidEndEditing(); });
    QObject::connect(cancel, &QPushButton::clicked, mPanel, [this] { closeFileNameSttngPnl(kTagCancel); });
    QObject::connect(ok, &QPushButton::clicked, mPanel, [this] { closeFileNameSttngPnl(kTagOK); });
}

int TlvFileNameSettingCntlr::digits() const {
    // A stored count with no item keeps counting with what is stored.
    const TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl();
    const int tag = mDigitType->selectedTag();
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
    VX_FWindow::beginModalWindow(mPanel, mView.parentWindow(fromEditor));
}

void TlvFileNameSettingCntlr::initFileNameCntlr() {
    const TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (!settings || e < 0)
        return;
    mResult->setText(QString::fromStdString(settings->imgFileName(e, true)));
    mPrefix->setText(QString::fromStdString(settings->partFileName(e)));
    mAddDateTime->setChecked(settings->isAddDateTime(e));
    mDateTimeType->selectItemWithTag(settings->dateTimeType(e));
    mAddNumber->setChecked(settings->isAddNumber(e));
    mDigitType->selectItemWithTag(settings->digitType(e));
    mStartNum->setText(QString::number(settings->startNum(e)));
    mStartNum->setValidLength(digits());
    updateFileNameCntlr();
}

void TlvFileNameSettingCntlr::updateFileNameCntlr() {
    mDateTimeType->setEnabled(mAddDateTime->isChecked());
    mDigitType->setEnabled(mAddNumber->isChecked());
    mStartNum->setEnabled(mAddNumber->isChecked());
    mNumberLabel->setEnabled(mAddNumber->isChecked());
    updateFileNameDisplay();
}

QString TlvFileNameSettingCntlr::trimmedPrefix() const {
    return TlvUtilsMethod::deleteSpaceHeadAndTail(mPrefix->text()).value_or(QString());
}

std::unique_ptr<TlvFuncSettingMdl> TlvFileNameSettingCntlr::ruleFromControls() const {
    const TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl();
    auto rule = std::make_unique<TlvFuncSettingMdl>(settings ? *settings : TlvFuncSettingMdl());
    const int e = mView.entryIndex();
    rule->setPartFileName(trimmedPrefix().toStdString(), e);
    rule->setIsAddDateTime(mAddDateTime->isChecked(), e);
    if (mDateTimeType->selectedTag() >= 0)
        rule->setDateTimeType(mDateTimeType->selectedTag(), e);
    rule->setIsAddNumber(mAddNumber->isChecked(), e);
    if (mDigitType->selectedTag() >= 0)
        rule->setDigitType(mDigitType->selectedTag(), e);
    rule->setStartNum(std::clamp(mStartNum->text().toInt(), 1, maxDigNum(digits())), e);
    return rule;
}

void TlvFileNameSettingCntlr::updateFileNameDisplay() {
    const std::string name = ruleFromControls()->imgFileName(mView.entryIndex(), true);
    if (!name.empty())
        mResult->setText(QString::fromStdString(name));
}

void TlvFileNameSettingCntlr::checkFNameStngSave() const {
    const QString prefix = trimmedPrefix();
    if (!prefix.isEmpty() && TlvUtilsMethod::isHeadCharDotInString(prefix))
        throw VX_Exception(kErrHeadCharDotFileName);
    if (mAddDateTime->isChecked() || !prefix.isEmpty()) {
        if (!TlvUtilsMethod::isValidNameInString(prefix))
            throw VX_Exception(kErrInValidFileName);
        // The whole name with its date, counter and extension must name a file, not only the prefix.
        if (!isUsableFileName(ruleFromControls()->imgFileName(mView.entryIndex(), true)))
            throw VX_Exception(kErrInValidFileName);
        return;
    }
    throw VX_Exception(mAddNumber->isChecked() ? "Err_NonFileNameOnlyNum" : "Err_NonFileName");
}

void TlvFileNameSettingCntlr::changePrtFileName() {
    if (mPrefix->text().size() > kPrefixLength)
        mPrefix->setText(mPrefix->text().left(kPrefixLength));
}

void TlvFileNameSettingCntlr::changeDigit() {
    const int width = static_cast<int>(mStartNum->text().size());
    const int value = std::clamp(mStartNum->text().toInt(), 1, std::max(1, maxDigNum(digits())));
    mStartNum->setText(QString("%1").arg(value, width, 10, QChar('0')));
}

void TlvFileNameSettingCntlr::startNumDidEndEditing() {
    mStartNum->setText(QString::number(mStartNum->text().toInt()));
}

void TlvFileNameSettingCntlr::changeDigitType() {
    const int largest = maxDigNum(digits());
    if (mStartNum->text().toInt() > largest)
        mStartNum->setText(QString::number(largest));
    updateFileNameCntlr();
    mStartNum->setValidLength(digits());
}

void TlvFileNameSettingCntlr::closeFileNameSttngPnl(int tagOfButton) {
    if (tagOfButton != kTagCancel) {
        try {
            checkFNameStngSave();
        } catch (const VX_Exception& failure) {
            VX_Message::showErrorPanel(failure.name(), mPanel);
            return;
        }
        changeDigit();
        if (TlvFuncSettingMdl* settings = mView.tmpFuncSettingMdl()) {
            const int e = mView.entryIndex();
            *settings = *ruleFromControls();
            settings->setImgFileName(mResult->text().toStdString(), e);
        }
        mView.updateFuncCntlrs();
        mView.settingDidChangeFromFunc();
    }
    VX_FWindow::endModalWindow(mPanel);
    fnd::NotificationCenter::defaultCenter().post(kModalWindowDidCloseNotification);
}

} // namespace tlv
