// The file-option panels driven by tag: the page count clamped after typing and at the stepper's end,
// the text-layer enabling, the PDF rate sub-panel that only the PDF panel's OK stores, the JPEG rate,
// and separate page groupings for PDF and TIFF.
#include "FakeFuncView.h"
#include "FixedLookup.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "TlvFileOptionSettingCntlr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {

using Cntlr = tlv::TlvFileOptionSettingCntlr;

class FileOptionPanels : public ::testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        view.window.resize(600, 400);
        view.window.show();
    }
    template <typename W = QWidget> W* item(QWidget* panel, int tag) {
        return appkit::viewWithTag<W>(panel, tag);
    }
    void click(QWidget* panel, int tag) { QTest::mouseClick(item<QPushButton>(panel, tag), Qt::LeftButton); }

    FixedLookup lookup;
    FakeFuncView view;
    Cntlr cntlr{view};
};

TEST_F(FileOptionPanels, PageCountIsClampedAndSelectsANewFileEveryNPages) {
    cntlr.runModalFileOptionPnl(false, 0);
    QDialog* pdf = cntlr.opPDFPanel();
    EXPECT_EQ(pdf->windowTitle(), "PDF Options");
    EXPECT_TRUE(item<QRadioButton>(pdf, Cntlr::kTagAllInOne)->isChecked());
    auto* field = item<QLineEdit>(pdf, Cntlr::kTagPagesField);
    field->selectAll();
    QTest::keyClicks(field, "0");
    EXPECT_TRUE(item<QRadioButton>(pdf, Cntlr::kTagEveryN)->isChecked()); // at once
    EXPECT_TRUE(QTest::qWaitFor([&] { return field->text() == "1"; }));   // once typing pauses
    auto* stepper = item<QSpinBox>(pdf, Cntlr::kTagPagesStepper);
    stepper->setValue(99);
    stepper->stepUp();
    EXPECT_EQ(stepper->value(), 99);
    EXPECT_EQ(field->text(), "99");
    item<QCheckBox>(pdf, Cntlr::kTagAddOCR)->setChecked(true);
    item<QComboBox>(pdf, Cntlr::kTagOCRLang)->setCurrentIndex(5);
    item<QCheckBox>(pdf, Cntlr::kTagAddOCR)->setChecked(false);
    EXPECT_FALSE(item(pdf, Cntlr::kTagOCRLang)->isEnabled());
    EXPECT_FALSE(item(pdf, Cntlr::kTagOCRLangLabel)->isEnabled());
    saveScreenshots(pdf, "pdf-option-panel");
    click(pdf, Cntlr::kTagOK);
    EXPECT_FALSE(pdf->isVisible());
    EXPECT_EQ(view.settings.ff_MultiType_PDF(0), 1);
    EXPECT_EQ(view.settings.multiPageNum_PDF(0), 99);
    EXPECT_FALSE(view.settings.isAddOCR(0));
    EXPECT_EQ(view.settings.ff_OCRLangType(0), 5); // kept while the layer is off

    // TIFF keeps a grouping of its own.
    cntlr.runModalFileOptionPnl(false, 1);
    QDialog* tiff = cntlr.opTIFFPanel();
    EXPECT_EQ(item<QLabel>(tiff, Cntlr::kTagCaption)->text(), "Pages per TIFF file:");
    EXPECT_TRUE(item<QRadioButton>(tiff, Cntlr::kTagAllInOne)->isChecked());
    EXPECT_EQ(item<QLineEdit>(tiff, Cntlr::kTagPagesField)->text(), "1");
    saveScreenshots(tiff, "tiff-option-panel");
    click(tiff, Cntlr::kTagOK);
    EXPECT_EQ(view.settings.ff_MultiType_TIFF(0), 0);
    EXPECT_EQ(view.settings.ff_MultiType_PDF(0), 1);
}

TEST_F(FileOptionPanels, RateOfTheSubPanelIsStoredOnlyWithThePdfPanel) {
    view.settings.setCompRate_PDF(2, 0);
    view.settings.setCompRate_JPEG(4, 0);
    cntlr.runModalFileOptionPnl(false, 0);
    QDialog* pdf = cntlr.opPDFPanel();
    click(pdf, Cntlr::kTagCompRate);
    QDialog* comp = cntlr.opCompPanel();
    EXPECT_EQ(comp->windowTitle(), "PDF Compression");
    EXPECT_EQ(item<QSlider>(comp, Cntlr::kTagRate)->value(), 2);
    item<QSlider>(comp, Cntlr::kTagRate)->setValue(5);
    click(comp, Cntlr::kTagOK);
    EXPECT_TRUE(pdf->isVisible());
    click(pdf, Cntlr::kTagCancel);
    EXPECT_EQ(view.settings.compRate_PDF(0), 2);
    EXPECT_EQ(view.changes, 1); // the sub-panel's OK reported; the cancel did not

    cntlr.runModalFileOptionPnl(false, 0);
    click(pdf, Cntlr::kTagCompRate);
    item<QSlider>(comp, Cntlr::kTagRate)->setValue(5);
    click(comp, Cntlr::kTagOK);
    click(pdf, Cntlr::kTagOK);
    EXPECT_EQ(view.settings.compRate_PDF(0), 5);

    cntlr.runModalFileOptionPnl(false, 2);
    EXPECT_EQ(comp->windowTitle(), "JPEG Options");
    EXPECT_EQ(item<QSlider>(comp, Cntlr::kTagRate)->value(), 4);
    saveScreenshots(comp, "jpeg-option-panel");
    item<QSlider>(comp, Cntlr::kTagRate)->setValue(1);
    click(comp, Cntlr::kTagOK);
    EXPECT_EQ(view.settings.compRate_JPEG(0), 1);
    EXPECT_EQ(view.settings.compRate_PDF(0), 5);
}

TEST_F(FileOptionPanels, PrintHasNoEntryAndOpensNothing) {
    view.functionType = 2;
    cntlr.runModalFileOptionPnl(false, 0);
    EXPECT_FALSE(cntlr.opPDFPanel()->isVisible());
}

} // namespace
