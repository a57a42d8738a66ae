// The output-function view driven by tag: the sections each function type shows, the enabling rules,
// every refusal of the check, storing, and the states the OK, cancel and mode buttons ask for.
#include "FixedLookup.h"
#include "QtTestApp.h"
#include "ScopedEnv.h"
#include "Tags.h"
#include "TlvFunctionViewCntlr.h"
#include "TlvJobListSettingMdl.h"
#include "TlvOutputOptions.h"
#include "TlvPrintInfo.h"
#include "TlvScanSettingMdl.h"
#include "VX_Exception.h"
#include "VX_Message.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <fstream>

namespace {

using View = tlv::TlvFunctionViewCntlr;

struct FakeHost : tlv::TlvFuncViewHost {
    int mode = 0, state = 202, function = 0;
    bool confirm = false;
    TlvScanSettingMdl scan;
    std::vector<std::filesystem::path> written;
    std::vector<int> states;
    int switchedTo = -1, changes = 0, selectShown = 0;
    std::optional<TlvFuncSettingMdl> foa;
    QWidget window;

    int curScanModeType() const override { return mode; }
    tlv::AppState appState() const override { return static_cast<tlv::AppState>(state); }
    bool isConfirmOutput() const override { return confirm; }
    int curFuncTypeApp() const override { return function; }
    const TlvScanSettingMdl* curScnMdlApp() const override { return &scan; }
    const TlvJobListSettingMdl* tmpJobListSettingMdl() const override { return nullptr; }
    std::vector<std::filesystem::path> cpyWriteFilePathArray() const override { return written; }
    QWidget* mainWindow() override { return &window; }
    QWidget* jobListEditorPanel() override { return &window; }
    void switchScanMode(int m) override { switchedTo = m; }
    void completeFunction() override {}
    void setAppState(tlv::AppState s) override { states.push_back(tlv::appStateNumber(s)); }
    void setFoaFuncSettingMdl(const TlvFuncSettingMdl& s) override { foa = s; }
    void showSelectFunction() override { ++selectShown; }
    void changeKeyView() override {}
    void settingDidChangeSendPerform() override { ++changes; }
};

class FunctionView : public ::testing::Test, public WithTestApplication {
protected:
    void SetUp() override {
        folder.emplace();
        host.window.resize(640, 480);
        host.window.show();
        settings.setIsPictureFolderSave(false, 0);
        settings.setFileSavePath(folder->path().string(), 0);
        VX_Message::setDontMessageFlag(true); // refusals are read from the check, not from alerts
    }
    void TearDown() override { VX_Message::setDontMessageFlag(false); }
    void open() {
        view.initFuncMainView(settings);
        view.funcMainView()->setParent(&host.window);
        view.funcMainView()->show();
        view.funcMainView()->adjustSize();
    }
    template <typename W = QWidget> W* item(int tag) {
        return appkit::viewWithTag<W>(view.funcMainView(), tag);
    }
    bool shown(int tag) { return item(tag) && item(tag)->isVisibleTo(view.funcMainView()); }
    std::string refusal() {
        try {
            view.checkFuncStngSave();
        } catch (const VX_Exception& failure) {
            return failure.name();
        }
        return "accepted";
    }
    void edit(int tag, const QString& text) {
        auto* field = item<QLineEdit>(tag);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    FixedLookup lookup;
    std::optional<TempFolder> folder;
    FakeHost host;
    TlvFuncSettingMdl settings;
    View view{host};
};

TEST_F(FunctionView, SectionsFollowTheFunctionType) {
    open();
    EXPECT_TRUE(shown(View::kTagFileName));
    EXPECT_TRUE(shown(View::kTagUseFNSetting));
    EXPECT_FALSE(shown(View::kTagFileNames));
    EXPECT_FALSE(shown(View::kTagAppPath));
    EXPECT_TRUE(shown(View::kTagSavePath));
    saveScreenshots(view.funcMainView(), "function-view-save");

    host.function = 1; // mail: no folder
    open();
    EXPECT_FALSE(shown(View::kTagSavePath));
    EXPECT_TRUE(shown(View::kTagFileFormat));

    host.function = 3;
    host.state = 300; // past choosing: the check box goes
    open();
    EXPECT_TRUE(shown(View::kTagAppPath));
    EXPECT_FALSE(shown(View::kTagUseFNSetting));
    saveScreenshots(view.funcMainView(), "function-view-application");

    host.function = 2;
    settings.setPrinterName("Office");
    open();
    EXPECT_TRUE(shown(View::kTagPrinterName));
    EXPECT_FALSE(shown(View::kTagFileName));
    EXPECT_EQ(item<QLineEdit>(View::kTagPrinterName)->text(), "Office");
    saveScreenshots(view.funcMainView(), "function-view-print");
}

// The applications on offer are the desktop's for the chosen format, by name; the one chosen is kept
// by its .desktop file.
TEST_F(FunctionView, ApplicationsThatOpenTheFormatAreOfferedByName) {
    const std::filesystem::path apps = folder->path() / "share/applications";
    std::filesystem::create_directories(apps);
    std::ofstream(apps / "lens.desktop") << "[Desktop Entry]\nName=Lens\nMimeType=image/tiff;image/jpeg;\n";
    std::ofstream(apps / "easel.desktop") << "[Desktop Entry]\nName=Easel\nMimeType=image/tiff;\n";
    std::ofstream(apps / "reader.desktop") << "[Desktop Entry]\nName=Reader\nMimeType=application/pdf;\n";
    ScopedEnv dataDirs("XDG_DATA_DIRS", (folder->path() / "share").c_str());
    ScopedEnv dataHome("XDG_DATA_HOME", (folder->path() / "home").c_str());
    host.function = 3;
    host.state = 300;
    settings.setFileFormatType(tlv::kFormatTIFF, TlvFuncSettingMdl::fIndexByFType(host.function));
    open();
    auto* offered = item<QComboBox>(View::kTagAppPath);
    ASSERT_EQ(offered->count(), 2);
    EXPECT_EQ(offered->itemText(0), "Easel");
    EXPECT_EQ(offered->itemText(1), "Lens");
    EXPECT_EQ(refusal(), "Err_NonAppPath") << "nothing chosen yet";
    offered->setCurrentIndex(1);
    Q_EMIT offered->activated(1);
    EXPECT_EQ(refusal(), "accepted");
    EXPECT_EQ(view.tmpFuncSettingMdl()->applicationName(), (apps / "lens.desktop").string());
    saveScreenshots(view.funcMainView(), "function-view-applications");

    auto* format = item<QComboBox>(View::kTagFileFormat);
    format->setCurrentIndex(format->findText("PDF"));
    Q_EMIT format->activated(format->currentIndex());
    ASSERT_EQ(offered->count(), 2) << "the PDF reader and the one chosen before";
    EXPECT_EQ(offered->currentText(), "Lens");
}

TEST_F(FunctionView, EnablingRules) {
    open();
    auto* picture = item<QCheckBox>(View::kTagSavePicture);
    picture->click();
    EXPECT_FALSE(item(View::kTagSavePath)->isEnabled());
    EXPECT_FALSE(item(View::kTagChooseFolder)->isEnabled());
    picture->click();
    EXPECT_TRUE(item(View::kTagSavePath)->isEnabled());
    EXPECT_TRUE(item(View::kTagFNSetting)->isEnabled());
    EXPECT_TRUE(item<QLineEdit>(View::kTagFileName)->isReadOnly());
    item<QCheckBox>(View::kTagUseFNSetting)->click(); // the user's own name
    EXPECT_FALSE(item(View::kTagFNSetting)->isEnabled());
    EXPECT_FALSE(item<QLineEdit>(View::kTagFileName)->isReadOnly());
}

TEST_F(FunctionView, EveryRefusalOfTheCheck) {
    open();
    item<QCheckBox>(View::kTagUseFNSetting)->click();
    edit(View::kTagFileName, "");
    EXPECT_EQ(refusal(), "Err_NonFileNameForJobScan");
    edit(View::kTagFileName, ".x");
    EXPECT_EQ(refusal(), "Err_HeadCharDotFileName");
    edit(View::kTagFileName, "a?b");
    EXPECT_EQ(refusal(), "Err_InValidFileName");
    edit(View::kTagFileName, "Report");
    EXPECT_EQ(refusal(), "accepted");

    item<QComboBox>(View::kTagFileFormat)->setCurrentIndex(2);
    host.scan.setScnStColType(3);
    EXPECT_EQ(refusal(), "Err_NotCreateJpegFromBW");
    host.scan.setScnStColType(0);
    EXPECT_EQ(refusal(), "Err_NotCreateJpegFromAuto");
    host.scan.setIsUseDriverSetting(true);
    host.scan.setCCAP_OVK_DETECTPAGETYPE(0);
    host.scan.setICAP_PIXELTYPE(0);
    EXPECT_EQ(refusal(), "Err_NotCreateJpegFromBW");
    item<QComboBox>(View::kTagFileFormat)->setCurrentIndex(0);

    edit(View::kTagSavePath, "");
    EXPECT_EQ(refusal(), "Err_NonSaveFilePath");
    edit(View::kTagSavePath, QString::fromStdString((folder->path() / "gone").string()));
    EXPECT_EQ(refusal(), "Err_NotFindSaveFPath");

    host.function = 3;
    settings.setApplicationName((folder->path() / "none.desktop").string());
    open();
    EXPECT_EQ(refusal(), "Err_NonAppPath");
    host.function = 2;
    settings.setPrinterName("");
    open();
    EXPECT_EQ(refusal(), "Err_NotFoundPrinter");
}

// Printing right after the scan, in a fresh window: no file name is asked for, and a PDF file chosen in
// the print dialog stands in for a printer.
TEST_F(FunctionView, PrintingTakesNoFileNameAndAPdfFileForAPrinter) {
    host.function = 2;
    fnd::Dictionary toFile;
    toFile.set(tlv::kPrintInfoOutputFileKey, "/tmp/out.pdf");
    settings.setPrintInfoDict(toFile);
    open();
    EXPECT_EQ(item<QLineEdit>(View::kTagPrinterName)->text(), "/tmp/out.pdf");
    EXPECT_EQ(refusal(), "accepted");
}

TEST_F(FunctionView, ConfirmedNamesOfAJobAreCheckedAndKept) {
    host.mode = 1;
    host.confirm = true;
    host.state = 202;
    for (const char* name : {"Scan_001.pdf", "Scan_002.pdf"}) {
        host.written.push_back(folder->path() / name);
        std::ofstream(host.written.back()) << "%PDF";
    }
    open();
    EXPECT_TRUE(shown(View::kTagFileNames));
    EXPECT_FALSE(shown(View::kTagFileName));
    saveScreenshots(view.funcMainView(), "function-view-confirm");
    auto* names = item<QComboBox>(View::kTagFileNames);
    EXPECT_EQ(names->currentText(), "Scan_001");
    names->setEditText("Scan_002");
    EXPECT_EQ(refusal(), "Err_EqualFileNameForJobScan");
    names->setEditText("Invoice");
    EXPECT_EQ(refusal(), "accepted");
    EXPECT_EQ(view.tmpWriteFileNameArray(), (std::vector<std::string>{"Invoice", "Scan_002"}));
    view.executeFunction(View::kTagOK);
    EXPECT_EQ(host.states, (std::vector<int>{300, 303}));
    view.executeFunction(View::kTagCancel); // in a job: back to choosing the output
    EXPECT_EQ(host.switchedTo, 0);
}

TEST_F(FunctionView, OkWithoutSenderStoresAndStartsTheOutput) {
    open();
    item<QCheckBox>(View::kTagUseFNSetting)->click();
    edit(View::kTagFileName, "");
    view.executeFunction(View::kTagOK);
    EXPECT_TRUE(host.states.empty()); // refused: nothing moves on
    edit(View::kTagFileName, "Report");
    view.executeFunction(-1);
    EXPECT_EQ(host.states, (std::vector<int>{300, 301}));
    ASSERT_TRUE(host.foa);
    EXPECT_EQ(host.foa->freeFileName(0, true), std::optional<std::string>("Report.pdf"));
    view.executeFunction(View::kTagCancel);
    EXPECT_EQ(host.states.back(), 201);
    EXPECT_EQ(host.selectShown, 1);
}

TEST_F(FunctionView, TooLongFolderIsRefusedAndCleared) {
    open();
    view.savePlacePanelDidEnd(QString("/") + QString(260, 'f'));
    EXPECT_TRUE(item<QLineEdit>(View::kTagSavePath)->text().isEmpty());
    view.savePlacePanelDidEnd(QString::fromStdString(folder->path().string()));
    EXPECT_EQ(item<QLineEdit>(View::kTagSavePath)->text().toStdString(), folder->path().string());
}

} // namespace
