// The main window: building, the user's actions and the menu bar.
#include "TlvMainWindow.h"

#include "AnimationStrip.h"
#include "Bundle.h"
#include "HelpBook.h"
#include "Launcher.h"
#include "Strings.h"
#include "Tags.h"
#include "TlvAboutCntlr.h"
#include "TlvJobs.h"
#include "TlvMainCntlr.h"
#include "TlvMainTags.h"
#include "TlvPrefsCntlr.h"
#include "TlvScanViewCntlr.h"
#include "UButtonKinds.h"
#include "VX_Message.h"
#include "ViewImage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace tlv {

TlvMainWindow::TlvMainWindow(TlvMainCntlr& cntlr, std::function<void()> quit)
    : mCntlr(cntlr), mQuit(std::move(quit)), mScreens(new QWidget) {
    const std::string* device = fnd::Bundle::main().infoValue("VXDeviceName").asString();
    setWindowTitle(
        appkit::localized("Title_MainWin").arg(device ? QString::fromStdString(*device) : QString()));
    setCentralWidget(mScreens.base);
    inkOwnIcons(mScreens.base, palette());
    if (const auto icon = ViewImage::named("AppIcon")) {
        setWindowIcon(QIcon(icon->path()));
        VX_Message::setAppIcon(windowIcon());
    }
    mAnimImg = {AnimationStrip::named("anime_o_0.09"), AnimationStrip::named("anime_b_0.09")};
    mAnimFin = AnimationStrip::named("anime_f_0.09");
    mPrefs = std::make_unique<TlvPrefsCntlr>(this, mCntlr.prefsSettingObj(), mCntlr.settingsBackup(),
                                             mCntlr.userDefaults(),
                                             [this] { showTopScreen(mCntlr.curScanModeType()); });
    mAbout = std::make_unique<TlvAboutCntlr>(this);
    buildMenus();
    connectActions();
    showTopScreen(mCntlr.curScanModeType());
    connect(&mCntlr.notifier(), &TlvCntlrNotifier::appStateChanged, this, &TlvMainWindow::updateUIByAppState);
    connect(&mCntlr.notifier(), &TlvCntlrNotifier::scanCountChanged, this, &TlvMainWindow::updateScanNum);
    // The preview in its place, following the page list and the state.
    mPreview = std::make_unique<TlvPreviewCntlr>(mCntlr);
    mPreview->attach(item(tag::kPreviewImagePlace), mScreens.preview);
    connect(&mCntlr.notifier(), &TlvCntlrNotifier::scanCountChanged, mPreview.get(),
            &TlvPreviewCntlr::followPageCount);
    connect(&mCntlr.notifier(), &TlvCntlrNotifier::appStateChanged, mPreview.get(),
            &TlvPreviewCntlr::followAppState);
    connect(
        &mCntlr.notifier(), &TlvCntlrNotifier::failureRaised, this,
        [this](const QString& key, const QStringList& args) {
            std::vector<std::string> texts;
            for (const QString& arg : args)
                texts.push_back(arg.toStdString());
            VX_Message::showErrorPanel(key.toStdString(), this, texts);
        },
        Qt::QueuedConnection);
    // Failure texts of the alerts reach the status lines.
    VX_Message::setStatusTextHandler(
        [this](const QString&, const QString& text) { setStateInfoStrForMainUI(text); });
}

TlvMainWindow::~TlvMainWindow() {
    VX_Message::setStatusTextHandler(nullptr);
    if (mFunctionView)
        mFunctionView->setParent(nullptr);
}

void TlvMainWindow::attachJobs(TlvJobs& jobs) {
    jobs.attachTo(item(tag::kJobTablePlace), item(tag::kJobJobInfoPlace), this);
    TlvJobInfoCntlr::attachTo(jobs.info().jobInfoForFOAView(), item(tag::kFoaJobInfoPlace));
    TlvJobInfoCntlr::attachTo(jobs.info().jobInfoForScngView(), item(tag::kScanJobInfoPlace));
    // The top screens' panes keep to the top of their place however tall the window grows.
    for (const int t : {tag::kFoaJobInfoPlace, tag::kJobJobInfoPlace})
        if (auto* column = item(t) ? qobject_cast<QBoxLayout*>(item(t)->layout()) : nullptr)
            column->addStretch(1);
    // The table and the panes join the Tab order of the top screen shown now.
    changeKeyView();
}

void TlvMainWindow::connectActions() {
    const auto onClick = [this](int t, auto&& slot) {
        if (auto* button = item<QAbstractButton>(t))
            connect(button, &QAbstractButton::clicked, this, slot);
    };
    for (const int mode : {kScanModeFOA, kScanModeJOB}) {
        auto* button = item<UFoaJobBtn>(tag::kModeFoa + mode);
        button->setCheckable(true);
        button->setSwitchGate([this, mode] {
            return mCntlr.curScanModeType() != mode || mCntlr.appState() != AppStateMainTop;
        });
        connect(button, &QAbstractButton::clicked, this,
                [this, mode] { mCntlr.switchScanMode(mode, false); });
    }
    onClick(tag::kFoaScan, [this] { mCntlr.executeScan(); });
    onClick(tag::kJobScan, [this] { mCntlr.executeScan(); });
    for (const int t : {tag::kFoaScanSettings, tag::kScanSettings})
        onClick(t, [this] {
            if (mOpenScanSettings)
                mOpenScanSettings();
        });
    onClick(tag::kScanCancelContinue, [this] {
        if (TlvScanViewCntlr* scanView = TlvScanViewCntlr::sharedScanViewCntlr())
            scanView->againExeScan(item<QAbstractButton>(tag::kScanCancelContinue));
        else
            mCntlr.switchScanMode(-1, false);
    });
    onClick(tag::kScanFinish, [this] {
        if (TlvScanViewCntlr* scanView = TlvScanViewCntlr::sharedScanViewCntlr())
            scanView->finishScan(item(tag::kScanFinish));
    });
    for (int t = TlvMainCntlr::kTagFuncSave; t <= TlvMainCntlr::kTagFuncBack; ++t)
        onClick(t, [this, t] { mCntlr.fixFunction(t); });
    onClick(tag::kFixDone, [this] { completeAll(); });
    onClick(tag::kFixOpenFolder, [this] { openSaveFolder(); });
    onClick(tag::kHelp, [this] { showTlvHelp(); });
    onClick(tag::kPrefs, [this] { showTlvPrefs(); });

    auto& settings = mCntlr.appSettingObj();
    const auto onToggle = [this](int t, auto&& slot) {
        if (auto* box = item<QCheckBox>(t))
            connect(box, &QCheckBox::toggled, this, slot);
    };
    onToggle(tag::kFoaContinueScan, [&settings](bool on) { settings.setIsValidContinueScanFOA(on); });
    onToggle(tag::kJobContinueScan, [&settings](bool on) { settings.setIsValidContinueScanJOB(on); });
    onToggle(tag::kConfirmOutput, [this, &settings](bool on) {
        settings.setIsConfirmOutput(on);
        updateStepView();
    });
    onToggle(tag::kBtn1FoaScan, [this](bool on) { mCntlr.setIsBtn1AllocFOAScan(on); });
}

void TlvMainWindow::buildMenus() {
    const auto add = [this](QMenu* menu, Command command, const char* key, QKeySequence shortcut,
                            auto&& slot) {
        QAction* action = menu->addAction(appkit::localized(key), this, slot);
        action->setShortcut(shortcut);
        mActions.emplace_back(command, action);
    };
    QMenu* app = menuBar()->addMenu(appkit::localized("Menu_App"));
    add(app, Command::About, "Menu_About", {}, [this] { showAbout(); });
    add(app, Command::Prefs, "Menu_Prefs", QKeySequence::Preferences, [this] { showTlvPrefs(); });
    app->addSeparator();
    add(app, Command::Quit, "Menu_Quit", QKeySequence::Quit, [this] { leave(); });
    QMenu* file = menuBar()->addMenu(appkit::localized("Menu_File"));
    add(file, Command::Close, "Menu_Close", QKeySequence::Close, [this] { performCloseTlv(); });
    QMenu* help = menuBar()->addMenu(appkit::localized("Menu_Help"));
    add(help, Command::Help, "Menu_HelpContents", QKeySequence::HelpContents, [this] { showTlvHelp(); });
    for (QMenu* menu : {app, file, help})
        connect(menu, &QMenu::aboutToShow, this, [this] {
            for (auto& [command, action] : mActions)
                action->setEnabled(validateMenuItem(command));
        });
}

QAction* TlvMainWindow::action(Command command) const {
    for (const auto& [c, action] : mActions)
        if (c == command)
            return action;
    return nullptr;
}

bool TlvMainWindow::validateMenuItem(Command command) const {
    const bool idle =
        !isModalWindow() && !inStates(mCntlr.appState(), AppStateScanStandby, AppStateFixHandOff);
    const bool leavable = idle || mCntlr.isPagesWaiting();
    switch (command) {
    case Command::Prefs:
        return idle;
    case Command::Quit:
        return leavable;
    case Command::Close:
        if (isVisible() && isActiveWindow() && !isMinimized())
            return leavable;
        return mAbout->aboutPnl()->isVisible() && mAbout->aboutPnl()->isActiveWindow();
    default:
        return true;
    }
}

void TlvMainWindow::performCloseTlv() {
    const auto isFront = [](const QWidget* w) {
        return w->isVisible() && w->isActiveWindow() && !w->isMinimized();
    };
    if (isFront(this))
        close();
    else if (isFront(mAbout->aboutPnl()))
        mAbout->aboutPnl()->hide();
}

void TlvMainWindow::showTopScreen(int) {
    const int mode = mCntlr.curScanModeType();
    resetSwButtonState(mode);
    updateUIByAppState(mCntlr.appState());
    updateCntlrs();
}

void TlvMainWindow::resetSwButtonState(int mode) {
    for (const int m : {kScanModeFOA, kScanModeJOB})
        if (auto* button = item<QAbstractButton>(tag::kModeFoa + m))
            button->setChecked(m == mode);
}

void TlvMainWindow::updateCntlrs() {
    const auto& settings = mCntlr.appSettingObj();
    const std::pair<int, bool> boxes[] = {{tag::kFoaContinueScan, settings.isValidContinueScanFOA()},
                                          {tag::kJobContinueScan, settings.isValidContinueScanJOB()},
                                          {tag::kConfirmOutput, settings.isConfirmOutput()},
                                          {tag::kBtn1FoaScan, settings.isBtn1AllocFOAScan()}};
    for (const auto& [t, on] : boxes)
        if (auto* box = item<QCheckBox>(t)) {
            const QSignalBlocker quiet(box);
            box->setChecked(on);
        }
}

bool TlvMainWindow::isModalWindow() const {
    return QApplication::activeModalWidget() != nullptr;
}

QObject* TlvMainWindow::finishScanSender() {
    return item(tag::kScanFinish);
}

void TlvMainWindow::updateScnBtn(bool enabled) {
    setEnabled(tag::kFoaScan, enabled);
    setEnabled(tag::kJobScan, enabled);
}

void TlvMainWindow::setConfirmOutputBox(bool on) {
    if (auto* box = item<QCheckBox>(tag::kConfirmOutput)) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
    updateStepView();
}

void TlvMainWindow::activateMainWindow() {
    show();
    raise();
    activateWindow();
}

void TlvMainWindow::showAbout() {
    mAbout->showAbout();
}

void TlvMainWindow::showTlvPrefs() {
    if (validateMenuItem(Command::Prefs))
        mPrefs->runModalPrefs();
}

void TlvMainWindow::showTlvHelp() {
    mCntlr.setIsAutoCloseApp(false);
    if (!appkit::openHelpBook(fnd::Bundle::main(), QStringLiteral("001")))
        mCntlr.showErrorPanel("Err_NotOpenHelp", {});
}

void TlvMainWindow::openSaveFolder() {
    mCntlr.setIsAutoCloseApp(false);
    const std::optional<std::filesystem::path> folder = mCntlr.saveFolder();
    std::error_code error;
    if (folder && std::filesystem::is_directory(*folder, error) && !ws::openPath(*folder))
        mCntlr.showErrorPanel("Err_NotOpenFolder", {folder->string()});
}

void TlvMainWindow::completeAll() {
    mCntlr.switchScanMode(-1, false);
}

void TlvMainWindow::terminate() {
    if (mCntlr.isValidAppTerminate())
        mQuit();
}

void TlvMainWindow::showFunctionView(QWidget* view, int funcType) {
    if (view && view != mFunctionView) {
        mFunctionView = view;
        mScreens.funcHolder->layout()->addWidget(view);
        view->show(); // a child added to a shown window stays hidden otherwise
    }
    if (!mFunctionView)
        return;
    static constexpr const char* kFunctionKeys[] = {"FuncBtn_File", "FuncBtn_Mail", "FuncBtn_Print",
                                                    "FuncBtn_App"};
    if (auto* back = appkit::viewWithTag<QAbstractButton>(mFunctionView, tag::kFuncViewBack))
        back->setText(
            appkit::localized(mCntlr.curScanModeType() == kScanModeFOA ? "FuncBtn_Back" : "Cancel"));
    if (auto* ok = appkit::viewWithTag<QAbstractButton>(mFunctionView, tag::kFuncViewExecute))
        ok->setText(funcType >= 0 && funcType < 4 ? appkit::localized(kFunctionKeys[funcType]) : QString());
    changeKeyView();
}

void TlvMainWindow::leave() {
    if (mCntlr.isPagesWaiting() && !mCntlr.isValidAppTerminate()) {
        if (!VX_Message::askQuestion("Cnfm_QuitDiscardYesOrNo"))
            return;
        mCntlr.switchScanMode(-1, true); // the batch's pages and files go
    }
    terminate();
}

// The step labels' tones and the pictures' ink are taken from the palette, so a new palette (the
// desktop's scheme changed) takes them again.
void TlvMainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        updateStepView();
        updateModeChangeImage();
        inkOwnIcons(mScreens.base, palette()); // the children take the new palette after this
    }
}

void TlvMainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window is the quit, refused while a batch or an output runs; pages that wait are
    // discarded once the user agrees.
    event->ignore();
    leave();
}

} // namespace tlv
