// See TlvFileOptionSettingCntlr.h. The page count has no error message: what cannot be a count is
// clamped, the field takes digits only, and a missing working model leaves the settings untouched.
#include "TlvFileOptionSettingCntlr.h"

#include "TlvFuncSettingMdl.h"
#include "TlvPopUps.h"

#include "FilteringFields.h"
#include "Strings.h"
#include "Tags.h"
#include "VX_FWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

namespace tlv {
namespace {

constexpr int kMinRate = 1, kMaxRate = 5; // 1 the best quality, 5 the smallest file
constexpr int kFormatPDF = 0, kFormatTIFF = 1, kFormatJPEG = 2;

void endPanel(QDialog* panel) {
    VX_FWindow::endModalWindow(panel);
}

} // namespace

TlvFileOptionSettingCntlr::TlvFileOptionSettingCntlr(TlvFuncViewLink& view)
    : mView(view), mOpPDFPanel(new TlvPDFOptionPanel), mOpCompPanel(new TlvCompPanel(kMinRate, kMaxRate)),
      mOpTIFFPanel(new TlvPageGroupPanel) {
    TlvPDFOptionPanel* pdf = mOpPDFPanel.get();
    connectMultiFileView(pdf->multiFileView);
    connectMultiFileView(mOpTIFFPanel->multiFileView);
    connectButtons(pdf, pdf->buttons, &TlvFileOptionSettingCntlr::closePDFPnl);
    connectButtons(mOpTIFFPanel.get(), mOpTIFFPanel->buttons, &TlvFileOptionSettingCntlr::closeTIFFPnl);
    connectButtons(mOpCompPanel.get(), mOpCompPanel->buttons, &TlvFileOptionSettingCntlr::closeCompPnl);
    QObject::connect(pdf->compRate, &QPushButton::clicked, pdf, [this] { runModalCompPnl(); });
    QObject::connect(pdf->addOCR, &QCheckBox::toggled, pdf, [this](bool on) { updateOCRCntlr(on); });
    for (const int format : {kFormatTIFF, kFormatPDF}) {
        initFileOptionPnl(format);
        selectCellAtRow(0);
    }
}

TlvFileOptionSettingCntlr::~TlvFileOptionSettingCntlr() = default;

void TlvFileOptionSettingCntlr::connectMultiFileView(TlvMultiFileView* view) {
    QObject::connect(view->allInOne, &QRadioButton::clicked, view, [this] { selectCellAtRow(0); });
    QObject::connect(view->everyN, &QRadioButton::clicked, view, [this] { selectCellAtRow(1); });
    QObject::connect(view->pagesStepper, &QSpinBox::valueChanged, view, [this] { changeMultiValue(true); });
    // Typing selects "every N pages" at once; the count is clamped once typing pauses.
    QObject::connect(view->pagesField, &QLineEdit::textEdited, view, [this, view] {
        selectCellAtRow(1);
        view->clampTimer->start();
    });
    QObject::connect(view->clampTimer, &QTimer::timeout, view, [this] { changeMultiValue(false); });
}

void TlvFileOptionSettingCntlr::connectButtons(QDialog* panel, QDialogButtonBox* buttons,
                                               void (TlvFileOptionSettingCntlr::*close)(int)) {
    QObject::connect(buttons, &QDialogButtonBox::accepted, panel, [this, close] { (this->*close)(kTagOK); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, panel, &QDialog::reject);
    QObject::connect(panel, &QDialog::finished, panel, [panel] { endPanel(panel); });
}

TlvMultiFileView* TlvFileOptionSettingCntlr::multiFileView() const {
    return mFormat == kFormatTIFF ? mOpTIFFPanel->multiFileView : mOpPDFPanel->multiFileView;
}

void TlvFileOptionSettingCntlr::runModalFileOptionPnl(bool fromEditor, int format) {
    if (mView.entryIndex() < 0 || format < kFormatPDF || format > kFormatJPEG)
        return;
    initFileOptionPnl(format);
    initFileOptionCntlr(format);
    QDialog* panel = format == kFormatPDF    ? opPDFPanel()
                     : format == kFormatTIFF ? opTIFFPanel()
                                             : opCompPanel();
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
    VX_FWindow::beginModalWindow(opCompPanel(), opPDFPanel());
}

void TlvFileOptionSettingCntlr::initFileOptionPnl(int format) {
    if (format != kFormatPDF && format != kFormatTIFF)
        return;
    mFormat = format;
    (format == kFormatPDF ? mOpPDFPanel->caption : mOpTIFFPanel->caption)
        ->setText(appkit::localized(format == kFormatPDF ? "Multi_PDF" : "Multi_TIFF"));
}

void TlvFileOptionSettingCntlr::initFileOptionCntlr(int format) {
    const TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (!s || e < 0)
        return;
    TlvMultiFileView* multi = multiFileView();
    const QSignalBlocker quiet(multi->pagesStepper);
    if (format == kFormatPDF) {
        TlvPDFOptionPanel* pdf = mOpPDFPanel.get();
        selectCellAtRow(s->ff_MultiType_PDF(e));
        multi->pagesField->setText(QString::number(s->multiPageNum_PDF(e)));
        multi->pagesStepper->setValue(s->multiPageNum_PDF(e));
        pdf->compType->selectItemWithTag(s->ff_CompType(e));
        mTmpCompRate_PDF = s->compRate_PDF(e);
        mOpCompPanel->rate->setValue(mTmpCompRate_PDF);
        pdf->addOCR->setChecked(s->isAddOCR(e));
        pdf->ocrLang->selectItemWithTag(s->ff_OCRLangType(e));
        updateOCRCntlr(s->isAddOCR(e));
    } else if (format == kFormatTIFF) {
        selectCellAtRow(s->ff_MultiType_TIFF(e));
        multi->pagesField->setText(QString::number(s->multiPageNum_TIFF(e)));
        multi->pagesStepper->setValue(s->multiPageNum_TIFF(e));
    } else {
        mOpCompPanel->rate->setValue(mOpPDFPanel->isVisible() ? mTmpCompRate_PDF : s->compRate_JPEG(e));
    }
}

void TlvFileOptionSettingCntlr::updateOCRCntlr(bool enabled) {
    mOpPDFPanel->ocrLangLabel->setEnabled(enabled);
    mOpPDFPanel->ocrLang->setEnabled(enabled);
}

void TlvFileOptionSettingCntlr::selectCellAtRow(int row) {
    TlvMultiFileView* multi = multiFileView();
    (row <= 0 ? multi->allInOne : multi->everyN)->setChecked(true);
}

int TlvFileOptionSettingCntlr::selectedRow() const {
    return multiFileView()->everyN->isChecked() ? 1 : 0;
}

void TlvFileOptionSettingCntlr::changeMultiValue(bool fromStepper) {
    TlvMultiFileView* multi = multiFileView();
    multi->clampTimer->stop();
    const int typed = fromStepper ? multi->pagesStepper->value() : multi->pagesField->text().toInt();
    const int pages = std::clamp(typed, kMinPages, kMaxPages);
    const QSignalBlocker quiet(multi->pagesStepper);
    multi->pagesStepper->setValue(pages);
    multi->pagesField->setText(QString::number(pages));
    selectCellAtRow(1);
}

void TlvFileOptionSettingCntlr::changeKeyViewPdfTiffPnl(int format) {
    if (format != kFormatPDF && format != kFormatTIFF)
        return;
    QDialog* panel = format == kFormatPDF ? opPDFPanel() : opTIFFPanel();
    std::vector<int> order{kTagAllInOne, kTagEveryN, kTagPagesField, kTagPagesStepper};
    if (format == kFormatPDF)
        order.insert(order.end(), {kTagCompType, kTagCompRate, kTagAddOCR, kTagOCRLang});
    order.insert(order.end(), {kTagCancel, kTagOK});
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(appkit::viewWithTag(panel, order[i]), appkit::viewWithTag(panel, order[i + 1]));
}

void TlvFileOptionSettingCntlr::closePDFPnl(int tagOfButton) {
    if (tagOfButton == kTagCancel) {
        mOpPDFPanel->reject();
        return;
    }
    TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (s && e >= 0) {
        TlvPDFOptionPanel* pdf = mOpPDFPanel.get();
        pdf->multiFileView->clampTimer->stop(); // the model clamps the count itself
        s->setFF_MultiType_PDF(selectedRow(), e);
        s->setMultiPageNum_PDF(pdf->multiFileView->pagesField->text().toInt(), e);
        if (pdf->compType->selectedTag() >= 0)
            s->setFF_CompType(pdf->compType->selectedTag(), e);
        s->setIsAddOCR(pdf->addOCR->isChecked(), e);
        if (pdf->ocrLang->selectedTag() >= 0)
            s->setFF_OCRLangType(pdf->ocrLang->selectedTag(), e);
        s->setCompRate_PDF(mTmpCompRate_PDF, e);
        mView.settingDidChangeFromFunc();
    }
    mOpPDFPanel->accept();
}

void TlvFileOptionSettingCntlr::closeTIFFPnl(int tagOfButton) {
    if (tagOfButton == kTagCancel) {
        mOpTIFFPanel->reject();
        return;
    }
    TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (s && e >= 0) {
        TlvMultiFileView* multi = mOpTIFFPanel->multiFileView;
        multi->clampTimer->stop();
        s->setFF_MultiType_TIFF(selectedRow(), e);
        s->setMultiPageNum_TIFF(multi->pagesField->text().toInt(), e);
        mView.settingDidChangeFromFunc();
    }
    mOpTIFFPanel->accept();
}

void TlvFileOptionSettingCntlr::closeCompPnl(int tagOfButton) {
    if (tagOfButton == kTagCancel) {
        mOpCompPanel->reject();
        return;
    }
    TlvFuncSettingMdl* s = mView.tmpFuncSettingMdl();
    const int e = mView.entryIndex();
    if (s && e >= 0) {
        if (mOpPDFPanel->isVisible())
            mTmpCompRate_PDF = mOpCompPanel->rate->value(); // stored when the PDF panel is confirmed
        else
            s->setCompRate_JPEG(mOpCompPanel->rate->value(), e);
        mView.settingDidChangeFromFunc();
    }
    mOpCompPanel->accept();
}

} // namespace tlv
