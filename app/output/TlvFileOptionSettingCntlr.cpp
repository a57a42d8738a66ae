// See TlvFileOptionSettingCntlr.h. The page count has no error message: what cannot be a count is
// clamped, the field takes digits only, and a missing working model leaves the settings untouched.
#include "TlvFileOptionSettingCntlr.h"

#include "DialogButtons.h"
#include "TlvFuncSettingMdl.h"
#include "TlvPopUps.h"

#include "FilteringFields.h"
#include "NotificationCenter.h"
#include "Strings.h"
#include "Tags.h"
#include "VX_FWindow.h"
#include <QDialogButtonBox>

#include <QCheckBox>
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

constexpr int kMinPages = 1, kMaxPages = 99;
constexpr int kMinRate = 1, kMaxRate = 5; // 1 the best quality, 5 the smallest file
constexpr int kFormatPDF = 0, kFormatTIFF = 1, kFormatJPEG = 2;

using appkit::tagged;

// The stepper stands beside the count's own field: only its arrows show.
void showArrowsOnly(QSpinBox* stepper) {
    QStyleOptionSpinBox option;
    option.initFrom(stepper);
    option.rect = QRect(QPoint(0, 0), stepper->sizeHint());
    const QRect arrows =
        stepper->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, stepper);
    stepper->setFixedWidth(option.rect.width() - arrows.left());
}

} // namespace

TlvFileOptionSettingCntlr::TlvFileOptionSettingCntlr(TlvFuncViewLink& view) : mView(view) {
    buildMultiFileView();
    buildPDFPanel();
    buildCompPanel();
    buildTIFFPanel();
    initFileOptionPnl(kFormatPDF); // the view always has an owner
    selectCellAtRow(0);
}

TlvFileOptionSettingCntlr::~TlvFileOptionSettingCntlr() {
    delete mOpCompPanel.data();
    delete mOpPDFPanel.data();
    delete mOpTIFFPanel.data();
}

void TlvFileOptionSettingCntlr::buildMultiFileView() {
    mMultiFileView = new QWidget;
    mAllInOne = tagged(new QRadioButton(appkit::localized("Opt_AllInOne")), kTagAllInOne);
    mEveryN = tagged(new QRadioButton(appkit::localized("Opt_EveryN")), kTagEveryN);
    mPagesField = tagged(new appkit::FTextField, kTagPagesField);
    mPagesField->setValidCharsInString("1234567890");
    mPagesField->setValidLength(2);
    mPagesField->setFixedWidth(mPagesField->fontMetrics().horizontalAdvance("0000") + 12);
    mPagesStepper = tagged(new QSpinBox, kTagPagesStepper);
    mPagesStepper->setRange(kMinPages, kMaxPages);
    showArrowsOnly(mPagesStepper);
    mClampTimer = new QTimer(mMultiFileView);
    mClampTimer->setSingleShot(true);
    mClampTimer->setInterval(kClampDelayMs);

    auto* everyRow = new QHBoxLayout;
    everyRow->addWidget(mEveryN);
    everyRow->addWidget(mPagesField);
    everyRow->addWidget(mPagesStepper);
    everyRow->addWidget(new QLabel(appkit::localized("Opt_Pages")));
    everyRow->addStretch(1);
    auto* column = new QVBoxLayout(mMultiFileView);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(mAllInOne);
    column->addLayout(everyRow);

    QObject::connect(mAllInOne, &QRadioButton::clicked, mMultiFileView, [this] { selectCellAtRow(0); });
    QObject::connect(mEveryN, &QRadioButton::clicked, mMultiFileView, [this] { selectCellAtRow(1); });
    QObject::connect(mPagesStepper, &QSpinBox::valueChanged, mMultiFileView,
                     [this] { changeMultiValue(true); });
    // Typing selects "every N pages" at once; the count is clamped once typing pauses.
    QObject::connect(mPagesField, &QLineEdit::textEdited, mMultiFileView, [this] {
        selectCellAtRow(1);
        mClampTimer->start();
    });
    QObject::connect(mClampTimer, &QTimer::timeout, mMultiFileView, [this] { changeMultiValue(false); });
}

QDialog* TlvFileOptionSettingCntlr::newPanel(QWidget*& placeholder, QLabel*& caption) {
    auto* panel = new QDialog;
    caption = tagged(new QLabel, kTagCaption);
    placeholder = new QWidget;
    new QVBoxLayout(placeholder);
    placeholder->layout()->setContentsMargins(16, 0, 0, 0);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(caption);
    column->addWidget(placeholder);
    return panel;
}

void TlvFileOptionSettingCntlr::addButtons(QDialog* panel, void (TlvFileOptionSettingCntlr::*close)(int)) {
    const auto [buttons, cancel, ok] = appkit::cancelAndOk(kTagCancel, kTagOK);
    static_cast<QBoxLayout*>(panel->layout())->addWidget(buttons);
    QObject::connect(cancel, &QPushButton::clicked, panel, [this, close] { (this->*close)(kTagCancel); });
    QObject::connect(ok, &QPushButton::clicked, panel, [this, close] { (this->*close)(kTagOK); });
}

void TlvFileOptionSettingCntlr::buildPDFPanel() {
    mOpPDFPanel = newPanel(mPDFDummyMultiView, mPDFCaption);
    mCompType = tagged(new TlvCompressPopUp, kTagCompType);
    auto* rate = tagged(new QPushButton(appkit::localized("Opt_CompRate")), kTagCompRate);
    mAddOCR = tagged(new QCheckBox(appkit::localized("Opt_AddOCR")), kTagAddOCR);
    mOCRLangLabel = tagged(new appkit::FStaticTextField, kTagOCRLangLabel);
    mOCRLangLabel->setText(appkit::localized("Opt_OCRLang"));
    mOCRLang = tagged(new TlvOCRLangPopUp, kTagOCRLang);

    auto* form = new QFormLayout;
    auto* comp = new QHBoxLayout;
    comp->addWidget(mCompType, 1);
    comp->addWidget(rate);
    form->addRow(new QLabel(appkit::localized("Opt_CompTypeLabel")), comp);
    form->addRow(mAddOCR);
    form->addRow(mOCRLangLabel, mOCRLang);
    static_cast<QBoxLayout*>(mOpPDFPanel->layout())->addLayout(form);
    addButtons(mOpPDFPanel, &TlvFileOptionSettingCntlr::closePDFPnl);
    QObject::connect(rate, &QPushButton::clicked, mOpPDFPanel, [this] { runModalCompPnl(); });
    QObject::connect(mAddOCR, &QCheckBox::toggled, mOpPDFPanel, [this](bool on) { updateOCRCntlr(on); });
}

void TlvFileOptionSettingCntlr::buildCompPanel() {
    mOpCompPanel = new QDialog;
    mRate = tagged(new QSlider(Qt::Horizontal), kTagRate);
    mRate->setRange(kMinRate, kMaxRate);
    mRate->setTickPosition(QSlider::TicksBelow);
    mRate->setMinimumWidth(240);
    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel(appkit::localized("Opt_RateBest")));
    ends->addStretch(1);
    ends->addWidget(new QLabel(appkit::localized("Opt_RateSmallest")));
    auto* column = new QVBoxLayout(mOpCompPanel);
    column->addWidget(new QLabel(appkit::localized("Opt_RateCaption")));
    column->addWidget(mRate);
    column->addLayout(ends);
    addButtons(mOpCompPanel, &TlvFileOptionSettingCntlr::closeCompPnl);
}

void TlvFileOptionSettingCntlr::buildTIFFPanel() {
    mOpTIFFPanel = newPanel(mTIFFDummyMultiView, mTIFFCaption);
    addButtons(mOpTIFFPanel, &TlvFileOptionSettingCntlr::closeTIFFPnl);
}

void TlvFileOptionSettingCntlr::runModalFileOptionPnl(bool fromEditor, int format) {
    if (mView.entryIndex() < 0 || format < kFormatPDF || format > kFormatJPEG)
        return;
    initFileOptionPnl(format);
    initFileOptionCntlr(format);
    QDialog* panel = format == kFormatPDF ? mOpPDFPanel : format == kFormatTIFF ? mOpTIFFPanel : mOpCompPanel;
    const char* titles[] = {"Title_PDFWin", "Title_TIFFWin", "Title_JPEGWin"};
    panel->setWindowTitle(appkit::localized(titles[format]));
    changeKeyViewPdfTiffPnl(format);
    panel->adjustSize();
    VX_FWindow::beginModalWindow(panel, mView.parentWindow(fromEditor));
}

void TlvFileOptionSettingCntlr::runModalCompPnl() {
    initFileOptionCntlr(kFormatJPEG);
    mOpCompPanel->setWindowTitle(appkit::localized("Title_CompWin"));
    mOpCompPanel->adjustSize();
    VX_FWindow::beginModalWindow(mOpCompPanel, mOpPDFPanel);
}

void TlvFileOptionSettingCntlr::initFileOptionPnl(int format) {
    if (format != kFormatPDF && format != kFormatTIFF)
        return;
    QWidget* placeholder = format == kFormatPDF ? mPDFDummyMultiView : mTIFFDummyMultiView;
    placeholder->layout()->addWidget(mMultiFileView); // takes it out of the other one
    (format == kFormatPDF ? mPDFCaption : mTIFFCaption)
        ->setText(appkit::localized(format == kFormatPDF ? "Multi_PDF" : "Multi_TIFF"));
}

void TlvFileOptionSettingCntlr::initFileOptionCntlr(int format) {
    const TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (!s || e < 0)
        return;
    const QSignalBlocker quiet(mPagesStepper);
    if (format == kFormatPDF) {
        selectCellAtRow(s->ff_MultiType_PDF(e));
        mPagesField->setText(QString::number(s->multiPageNum_PDF(e)));
        mPagesStepper->setValue(s->multiPageNum_PDF(e));
        mCompType->selectItemWithTag(s->ff_CompType(e));
        mTmpCompRate_PDF = s->compRate_PDF(e);
        mRate->setValue(mTmpCompRate_PDF);
        mAddOCR->setChecked(s->isAddOCR(e));
        mOCRLang->selectItemWithTag(s->ff_OCRLangType(e));
        updateOCRCntlr(s->isAddOCR(e));
    } else if (format == kFormatTIFF) {
        selectCellAtRow(s->ff_MultiType_TIFF(e));
        mPagesField->setText(QString::number(s->multiPageNum_TIFF(e)));
        mPagesStepper->setValue(s->multiPageNum_TIFF(e));
    } else {
        mRate->setValue(mOpPDFPanel->isVisible() ? mTmpCompRate_PDF : s->compRate_JPEG(e));
    }
}

void TlvFileOptionSettingCntlr::updateOCRCntlr(bool enabled) {
    mOCRLangLabel->setEnabled(enabled);
    mOCRLang->setEnabled(enabled);
}

void TlvFileOptionSettingCntlr::selectCellAtRow(int row) {
    (row <= 0 ? mAllInOne : mEveryN)->setChecked(true);
}

int TlvFileOptionSettingCntlr::selectedRow() const {
    return mEveryN->isChecked() ? 1 : 0;
}

void TlvFileOptionSettingCntlr::changeMultiValue(bool fromStepper) {
    mClampTimer->stop();
    const int typed = fromStepper ? mPagesStepper->value() : mPagesField->text().toInt();
    const int pages = std::clamp(typed, kMinPages, kMaxPages);
    const QSignalBlocker quiet(mPagesStepper);
    mPagesStepper->setValue(pages);
    mPagesField->setText(QString::number(pages));
    selectCellAtRow(1);
}

void TlvFileOptionSettingCntlr::changeKeyViewPdfTiffPnl(int format) {
    if (format != kFormatPDF && format != kFormatTIFF)
        return;
    QDialog* panel = format == kFormatPDF ? mOpPDFPanel : mOpTIFFPanel;
    std::vector<int> order{kTagAllInOne, kTagEveryN, kTagPagesField, kTagPagesStepper};
    if (format == kFormatPDF)
        order.insert(order.end(), {kTagCompType, kTagCompRate, kTagAddOCR, kTagOCRLang});
    order.insert(order.end(), {kTagCancel, kTagOK});
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(appkit::viewWithTag(panel, order[i]), appkit::viewWithTag(panel, order[i + 1]));
}

void TlvFileOptionSettingCntlr::endPanel(QDialog* panel) {
    VX_FWindow::endModalWindow(panel);
    fnd::NotificationCenter::defaultCenter().post(kModalWindowDidCloseNotification);
}

void TlvFileOptionSettingCntlr::closePDFPnl(int tagOfButton) {
    TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (tagOfButton != kTagCancel && s && e >= 0) {
        mClampTimer->stop(); // the model clamps the count itself
        s->setFF_MultiType_PDF(selectedRow(), e);
        s->setMultiPageNum_PDF(mPagesField->text().toInt(), e);
        if (mCompType->selectedTag() >= 0)
            s->setFF_CompType(mCompType->selectedTag(), e);
        s->setIsAddOCR(mAddOCR->isChecked(), e);
        if (mOCRLang->selectedTag() >= 0)
            s->setFF_OCRLangType(mOCRLang->selectedTag(), e);
        s->setCompRate_PDF(mTmpCompRate_PDF, e);
        mView.settingDidChangeFromFunc();
    }
    endPanel(mOpPDFPanel);
}

void TlvFileOptionSettingCntlr::closeTIFFPnl(int tagOfButton) {
    TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (tagOfButton != kTagCancel && s && e >= 0) {
        mClampTimer->stop();
        s->setFF_MultiType_TIFF(selectedRow(), e);
        s->setMultiPageNum_TIFF(mPagesField->text().toInt(), e);
        mView.settingDidChangeFromFunc();
    }
    endPanel(mOpTIFFPanel);
}

void TlvFileOptionSettingCntlr::closeCompPnl(int tagOfButton) {
    TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (tagOfButton != kTagCancel && s && e >= 0) {
        if (mOpPDFPanel->isVisible())
            mTmpCompRate_PDF = mRate->value(); // stored when the PDF panel is confirmed
        else
            s->setCompRate_JPEG(mRate->value(), e);
        mView.settingDidChangeFromFunc();
    }
    endPanel(mOpCompPanel);
}

} // namespace tlv
