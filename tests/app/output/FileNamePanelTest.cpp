// The file-name setting panel driven by tag: the preview as the controls change, the enabling rules,
// the start number's clamping, each refusal, and storing only on OK.
#include "FakeFuncView.h"
#include "FixedLookup.h"
#include "QtTestApp.h"
#include "Tags.h"
#include "TlvFileNameSettingCntlr.h"
#include "TlvFuncSettingMdl.h"
#include "VX_Exception.h"
#include "VX_Message.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class FileNamePanel : public ::testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        lookup.now = {2024, 3, 5, 9, 7, 2};
        view.settings.setPartFileName("Scan", 0);
        view.settings.setIsAddDateTime(true, 0);
        view.settings.setDateTimeType(0, 0);
        view.settings.setIsAddNumber(true, 0);
        view.settings.setDigitType(3, 0);
        view.settings.setStartNum(1, 0);
        view.window.resize(600, 400);
        view.window.show();
        cntlr.runModalFileNameSttngPnl(false);
    }
    void TearDown() override { VX_Message::setDontMessageFlag(false); }
    template <typename W = QWidget> W* item(int tag) {
        return appkit::viewWithTag<W>(cntlr.fileNameSettingPanel(), tag);
    }
    QString preview() { return item<QLabel>(1801)->text(); }
    void type(int tag, const QString& text) {
        auto* field = item<QLineEdit>(tag);
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    std::string refusal() {
        try {
            cntlr.checkFNameStngSave();
        } catch (const VX_Exception& failure) {
            return failure.name();
        }
        return "accepted";
    }

    FixedLookup lookup;
    FakeFuncView view;
    tlv::TlvFileNameSettingCntlr cntlr{view};
};

TEST_F(FileNamePanel, PreviewFollowsEveryForm) {
    EXPECT_EQ(preview(), "Scan20240305090702_0001.pdf");
    item<QComboBox>(1805)->setCurrentIndex(1);
    EXPECT_EQ(preview(), "Scan03052024090702_0001.pdf");
    item<QComboBox>(1805)->setCurrentIndex(2);
    EXPECT_EQ(preview(), "Scan05032024090702_0001.pdf");
    item<QCheckBox>(1804)->setChecked(false);
    EXPECT_FALSE(item(1805)->isEnabled());
    EXPECT_EQ(preview(), "Scan_0001.pdf");
    item<QCheckBox>(1806)->setChecked(false);
    for (int tag : {1807, 1808, 1809})
        EXPECT_FALSE(item(tag)->isEnabled()) << tag;
    EXPECT_EQ(preview(), "Scan.pdf");
}

TEST_F(FileNamePanel, StartNumberIsClampedAndPadded) {
    item<QComboBox>(1807)->setCurrentIndex(1); // 2 digits
    auto* start = item<QLineEdit>(1808);
    start->selectAll();
    start->insert("00"); // pasted: typed key by key the first 0 is already a 1
    EXPECT_EQ(item<QLineEdit>(1808)->text(), "01");
    cntlr.startNumDidEndEditing();
    EXPECT_EQ(item<QLineEdit>(1808)->text(), "1");
    item<QComboBox>(1807)->setCurrentIndex(3);
    item<QLineEdit>(1808)->setText("1234");
    item<QComboBox>(1807)->setCurrentIndex(1);
    cntlr.changeDigitType();
    EXPECT_EQ(item<QLineEdit>(1808)->text(), "99");
    EXPECT_EQ(tlv::TlvFileNameSettingCntlr::maxDigNum(6), 999999);
    EXPECT_EQ(tlv::TlvFileNameSettingCntlr::maxDigNum(7), 0);
}

TEST_F(FileNamePanel, RulesThatGiveNoValidNameAreRefused) {
    EXPECT_EQ(refusal(), "accepted");
    type(1803, "      ");
    item<QCheckBox>(1804)->setChecked(false);
    EXPECT_EQ(refusal(), "Err_NonFileNameOnlyNum"); // spaces only count as no prefix
    item<QCheckBox>(1806)->setChecked(false);
    EXPECT_EQ(refusal(), "Err_NonFileName");
    type(1803, ".hidden");
    EXPECT_EQ(refusal(), "Err_HeadCharDotFileName");
    type(1803, "a:b");
    EXPECT_EQ(refusal(), "Err_InValidFileName");
    type(1803, QString(40, 'x'));
    EXPECT_EQ(item<QLineEdit>(1803)->text().size(), 32);
    // A localised date form that would put a path separator into the name is no valid name.
    lookup.strings["DateTime_Format_YYYYMMDD"] = "{day}/{month}/{year}";
    type(1803, "Scan");
    item<QCheckBox>(1804)->setChecked(true);
    item<QComboBox>(1805)->setCurrentIndex(3);
    EXPECT_EQ(refusal(), "accepted"); // the model falls back to the numeric form
    EXPECT_EQ(preview(), "Scan20240305090702.pdf");
}

TEST_F(FileNamePanel, StoresOnlyOnOkAndStaysOpenOnARefusal) {
    type(1803, "Invoice");
    QTest::mouseClick(item<QPushButton>(0), Qt::LeftButton);
    EXPECT_EQ(view.settings.partFileName(0), "Scan");
    EXPECT_EQ(view.changes, 0);
    EXPECT_FALSE(cntlr.fileNameSettingPanel()->isVisible());

    cntlr.runModalFileNameSttngPnl(false);
    saveScreenshots(cntlr.fileNameSettingPanel(), "file-name-panel");
    VX_Message::setDontMessageFlag(true); // the refusal's alert is not shown in the test
    type(1803, ".x");
    QTest::mouseClick(item<QPushButton>(1), Qt::LeftButton);
    EXPECT_TRUE(cntlr.fileNameSettingPanel()->isVisible());
    type(1803, "  Invoice ");
    item<QCheckBox>(1804)->setChecked(false);
    QTest::mouseClick(item<QPushButton>(1), Qt::LeftButton);
    EXPECT_FALSE(cntlr.fileNameSettingPanel()->isVisible());
    EXPECT_EQ(view.settings.partFileName(0), "Invoice");
    EXPECT_FALSE(view.settings.isAddDateTime(0));
    EXPECT_EQ(view.settings.entry(0).imgFileName, "Invoice_0001.pdf");
    EXPECT_EQ(view.changes, 1);
}

TEST_F(FileNamePanel, AStoredFormWithoutItsItemShowsNoneAndIsKept) {
    // The Japanese calendar is offered only in Japanese; stored, it selects nothing rather than a
    // wrong form, and OK keeps it.
    QTest::mouseClick(item<QPushButton>(0), Qt::LeftButton);
    view.settings.setDateTimeType(3, 0);
    cntlr.runModalFileNameSttngPnl(false);
    EXPECT_EQ(item<QComboBox>(1805)->count(), 3);
    EXPECT_EQ(item<QComboBox>(1805)->currentIndex(), -1);
    QTest::mouseClick(item<QPushButton>(1), Qt::LeftButton);
    EXPECT_EQ(view.settings.dateTimeType(0), 3);
}

} // namespace
