#include "TlvFileOptionPanels.h"

#include "DialogButtons.h"
#include "TlvFileOptionSettingCntlr.h"
#include "TlvPopUps.h"

#include "FilteringFields.h"
#include "Strings.h"
#include "Tags.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace tlv {
namespace {

using appkit::localized;
using appkit::tagged;
using Cntlr = TlvFileOptionSettingCntlr;

// The stepper stands beside the count's own field: only its arrows show.
void showArrowsOnly(QSpinBox* stepper) {
    QStyleOptionSpinBox option;
    option.initFrom(stepper);
    option.rect = QRect(QPoint(0, 0), stepper->sizeHint());
    const QRect arrows =
        stepper->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, stepper);
    stepper->setFixedWidth(option.rect.width() - arrows.left());
}

QDialogButtonBox* cancelAndOk() {
    return appkit::cancelAndOk(Cntlr::kTagCancel, Cntlr::kTagOK).box;
}

} // namespace

TlvMultiFileView::TlvMultiFileView(QWidget* parent)
    : QWidget(parent),
      allInOne(tagged(new QRadioButton(localized("Opt_AllInOne"), this), Cntlr::kTagAllInOne)),
      everyN(tagged(new QRadioButton(localized("Opt_EveryN"), this), Cntlr::kTagEveryN)),
      pagesField(tagged(new appkit::FTextField(this), Cntlr::kTagPagesField)),
      pagesStepper(tagged(new QSpinBox(this), Cntlr::kTagPagesStepper)), clampTimer(new QTimer(this)) {
    pagesField->setValidCharsInString("1234567890");
    pagesField->setValidLength(2);
    pagesField->setFixedWidth(pagesField->fontMetrics().horizontalAdvance("0000") + 12);
    pagesStepper->setRange(Cntlr::kMinPages, Cntlr::kMaxPages);
    showArrowsOnly(pagesStepper);
    clampTimer->setSingleShot(true);
    clampTimer->setInterval(Cntlr::kClampDelayMs);

    auto* everyRow = new QHBoxLayout;
    everyRow->addWidget(everyN);
    everyRow->addWidget(pagesField);
    everyRow->addWidget(pagesStepper);
    everyRow->addWidget(new QLabel(localized("Opt_Pages"), this));
    everyRow->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 0, 0, 0);
    column->addWidget(allInOne);
    column->addLayout(everyRow);
}

TlvPageGroupPanel::TlvPageGroupPanel()
    : caption(tagged(new QLabel(this), Cntlr::kTagCaption)), multiFileView(new TlvMultiFileView(this)),
      buttons(cancelAndOk()) {
    auto* column = new QVBoxLayout(this);
    column->addWidget(caption);
    column->addWidget(multiFileView);
    column->addWidget(buttons);
}

void TlvPageGroupPanel::addPart(QLayout* part) {
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertLayout(column->indexOf(buttons), part);
}

TlvPDFOptionPanel::TlvPDFOptionPanel()
    : compType(tagged(new TlvCompressPopUp(this), Cntlr::kTagCompType)),
      compRate(tagged(new QPushButton(localized("Opt_CompRate"), this), Cntlr::kTagCompRate)),
      addOCR(tagged(new QCheckBox(localized("Opt_AddOCR"), this), Cntlr::kTagAddOCR)),
      ocrLangLabel(tagged(new appkit::FStaticTextField(this), Cntlr::kTagOCRLangLabel)),
      ocrLang(tagged(new TlvOCRLangPopUp(this), Cntlr::kTagOCRLang)) {
    ocrLangLabel->setText(localized("Opt_OCRLang"));

    auto* form = new QFormLayout;
    auto* comp = new QHBoxLayout;
    comp->addWidget(compType, 1);
    comp->addWidget(compRate);
    form->addRow(new QLabel(localized("Opt_CompTypeLabel"), this), comp);
    form->addRow(addOCR);
    form->addRow(ocrLangLabel, ocrLang);
    addPart(form);
}

TlvCompPanel::TlvCompPanel(int minRate, int maxRate)
    : rate(tagged(new QSlider(Qt::Horizontal, this), Cntlr::kTagRate)), buttons(cancelAndOk()) {
    rate->setRange(minRate, maxRate);
    rate->setTickPosition(QSlider::TicksBelow);
    rate->setMinimumWidth(240);
    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel(localized("Opt_RateBest"), this));
    ends->addStretch(1);
    ends->addWidget(new QLabel(localized("Opt_RateSmallest"), this));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(localized("Opt_RateCaption"), this));
    column->addWidget(rate);
    column->addLayout(ends);
    column->addWidget(buttons);
}

} // namespace tlv
