// The job parts in a window of the tests' own: a host that stands for the main controller (the job
// lists in a private defaults file, the settings, a batch that may be running), the output-function
// view and the scan-settings view the editor shows, and a window with places for the table and the
// job pane and the window's edit and new buttons. Alerts are answered as they come up.
#pragma once

#include "FixedLookup.h"
#include "QtTestApp.h"
#include "TestScanHost.h"
#include "TlvJobs.h"

#include "Alert.h"
#include "Strings.h"
#include "Tags.h"
#include "VX_Message.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iterator>

namespace test {

class JobsHost : public tlv::TlvJobsHost, public tlv::TlvFuncViewHost {
public:
    explicit JobsHost(fnd::UserDefaults& defaults) : lists(defaults), settings(defaults) {}

    TlvJobListStorage& jobLists() override { return lists; }
    TlvAppSettingMdl& appSettingObj() override { return settings; }
    bool isBatchRunning() const override { return batchRunning; }
    QWidget* tlvMainWindow() override { return &window; }

    int curScanModeType() const override { return tlv::kScanModeJOB; }
    tlv::AppState appState() const override { return tlv::AppStateMainTop; }
    bool isConfirmOutput() const override { return false; }
    int curFuncTypeApp() const override { return tlv::kFuncSave; }
    const TlvScanSettingMdl* curScnMdlApp() const override { return nullptr; }
    const TlvJobListSettingMdl* tmpJobListSettingMdl() const override {
        return jobs ? jobs->editor().tmpJobListSettingMdl() : nullptr;
    }
    std::vector<std::filesystem::path> cpyWriteFilePathArray() const override { return {}; }
    QWidget* mainWindow() override { return &window; }
    QWidget* jobListEditorPanel() override { return jobs ? jobs->editor().jobListEditPanel() : nullptr; }
    void switchScanMode(int) override {}
    void completeFunction() override {}
    void setAppState(tlv::AppState) override {}
    void setFoaFuncSettingMdl(const TlvFuncSettingMdl&) override {}
    void showSelectFunction() override {}
    void changeKeyView() override {}
    void settingDidChangeSendPerform() override {
        if (jobs && jobs->editor().isJobListPanelVisible())
            jobs->editor().changeEnableAppliesBtn(true);
    }

    TlvJobListStorage lists;
    TlvAppSettingMdl settings;
    bool batchRunning = false;
    QWidget window;
    tlv::TlvJobs* jobs = nullptr;
};

// A job of the tests: its title (empty: an unused slot), output and button.
inline TlvJobListSettingMdl job(int number, const std::string& title, int funcType = tlv::kFuncSave,
                                int button = TlvJobListSettingMdl::kNoButton) {
    TlvJobListSettingMdl made = *TlvJobListSettingMdl::initWithBlankJobMdlIndex(number - 1);
    made.setJList_Title(title);
    made.setJList_FunctionType(funcType);
    made.setJList_ScanBtnStatus(button);
    return made;
}

class JobsFixture : public ::testing::Test, public WithTestApplication {
protected:
    void TearDown() override {
        answerer.stop();
        if (mJobs)
            host->jobs = nullptr;
    }
    // Stores jobs (the others become unused slots) before the parts are made.
    void storeJobs(const std::vector<TlvJobListSettingMdl>& titled) {
        for (int row = 0; row < TlvJobListSettingMdl::kJobSlotCount; ++row)
            host->lists.deleteJob(row);
        for (const TlvJobListSettingMdl& made : titled)
            host->lists.replaceMdlInJLMdlArray(made);
    }
    void make() {
        funcView = std::make_unique<tlv::TlvFunctionViewCntlr>(*host);
        scanSetting = std::make_unique<TlvScanSettingCntlr>(scanHost, nullptr);
        mJobs = std::make_unique<tlv::TlvJobs>(*host, *funcView, scanSetting.get());
        host->jobs = mJobs.get();
        auto* row = new QHBoxLayout(&host->window);
        auto* tablePlace = new QWidget;
        auto* infoPlace = new QWidget;
        auto* buttons = new QVBoxLayout;
        buttons->addWidget(appkit::tagged(new QPushButton("Edit"), tlv::TlvJobTableCntlr::kEditButton));
        buttons->addWidget(appkit::tagged(new QPushButton("New"), tlv::TlvJobTableCntlr::kNewButton));
        buttons->addStretch(1);
        row->addWidget(tablePlace, 1);
        row->addWidget(infoPlace, 0, Qt::AlignTop);
        row->addLayout(buttons);
        mJobs->attachTo(tablePlace, infoPlace, &host->window);
        host->window.resize(720, 360);
        host->window.show();
        QCoreApplication::processEvents();
    }
    tlv::TlvJobs& jobs() { return *mJobs; }
    TlvTableView* table() { return jobs().table().mainJobTableView(); }
    QDialog* panel() { return jobs().editor().jobListEditPanel(); }
    template <typename W = QWidget> W* panelItem(int tag) { return appkit::viewWithTag<W>(panel(), tag); }
    QString cell(QTableWidget* view, int row, int column) {
        const QTableWidgetItem* item = view->item(row, column);
        return item ? item->text() : QString("<none>");
    }
    std::string storedFile() const {
        std::ifstream in(home.file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Answers every alert that comes up by pressing its button index (0 first), counting them.
    void answerAlerts(int buttonIndex) {
        answerer.disconnect();
        QObject::connect(&answerer, &QTimer::timeout, &answerer, [this, buttonIndex] {
            appkit::Alert* alert = VX_Message::currentPanel();
            if (!alert || !alert->isVisible())
                return;
            ++alertsAnswered;
            alertTexts.push_back(
                appkit::viewWithTag<QLabel>(alert, appkit::Alert::kInformativeTag)->text().toStdString());
            QTest::mouseClick(
                appkit::viewWithTag<QPushButton>(alert, appkit::Alert::kFirstButtonTag + buttonIndex),
                Qt::LeftButton);
        });
        answerer.start(5);
    }
    void click(QWidget* button) {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // A click on a row of a table, then the deferred handling.
    void clickRow(QTableWidget* view, int row) {
        const QRect cellRect = view->visualRect(view->model()->index(row, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellRect.center());
        QTest::qWait(20);
    }

    FixedLookup lookup;
    PrivateDefaults home;
    std::unique_ptr<fnd::UserDefaults> defaults = home.open();
    std::unique_ptr<JobsHost> host = std::make_unique<JobsHost>(*defaults);
    TestScanHost scanHost;
    std::unique_ptr<tlv::TlvFunctionViewCntlr> funcView;
    std::unique_ptr<TlvScanSettingCntlr> scanSetting;
    QTimer answerer;
    int alertsAnswered = 0;
    std::vector<std::string> alertTexts;

private:
    std::unique_ptr<tlv::TlvJobs> mJobs;
};

} // namespace test
