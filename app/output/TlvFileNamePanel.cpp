#include "TlvFileNamePanel.h"

#include "DialogButtons.h"
#include "TlvFileNameSettingCntlr.h"
#include "TlvPopUps.h"

#include "FilteringFields.h"
#include "Strings.h"
#include "Tags.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace tlv {
namespace {

using appkit::localized;
using appkit::tagged;
using Cntlr = TlvFileNameSettingCntlr;

} // namespace

TlvFileNamePanel::TlvFileNamePanel(int prefixLength)
    : result(tagged(new QLabel(this), Cntlr::kTagResult)),
      prefix(tagged(new appkit::FTextField(this), Cntlr::kTagPrefix)),
      addDateTime(tagged(new QCheckBox(localized("FName_AddDateTime"), this), Cntlr::kTagAddDateTime)),
      dateTimeType(tagged(new TlvDateTimeAddPopUp(this), Cntlr::kTagDateTimeType)),
      addNumber(tagged(new QCheckBox(localized("FName_AddNumber"), this), Cntlr::kTagAddNumber)),
      digitType(tagged(new TlvNumberAddPopUp(this), Cntlr::kTagDigitType)),
      startNum(tagged(new appkit::FTextField(this), Cntlr::kTagStartNum)),
      numberLabel(tagged(new appkit::FStaticTextField(this), Cntlr::kTagNumberLabel)),
      buttons(appkit::cancelAndOk(Cntlr::kTagCancel, Cntlr::kTagOK).box) {
    result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    result->setMinimumWidth(320);
    prefix->setValidLength(prefixLength);
    prefix->setInvalidCharsInString("\r\n");
    startNum->setValidCharsInString("1234567890");
    numberLabel->setText(localized("FName_Counter"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(localized("FName_Prefix"), this), 0, 0);
    grid->addWidget(prefix, 0, 1);
    grid->addWidget(addDateTime, 1, 0);
    grid->addWidget(dateTimeType, 1, 1);
    grid->addWidget(addNumber, 2, 0, 1, 2);
    auto* counter = new QHBoxLayout;
    counter->addWidget(digitType);
    counter->addWidget(startNum, 1);
    grid->addWidget(numberLabel, 3, 0);
    grid->addLayout(counter, 3, 1);
    grid->addWidget(new QLabel(localized("FName_Result"), this), 4, 0);
    grid->addWidget(result, 4, 1);
    grid->addWidget(buttons, 5, 0, 1, 2);
}

} // namespace tlv
