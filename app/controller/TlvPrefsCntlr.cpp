// The preferences panel, built in code.
#include "TlvPrefsCntlr.h"

#include "Strings.h"
#include "Tags.h"
#include "VX_Message.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyleOptionSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <unistd.h>

namespace tlv {

namespace {

namespace fs = std::filesystem;

constexpr int kMailLimitMin = 1;
constexpr int kMailLimitMax = 99;

fs::path documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

// A folder the file panels may open in: there, writable, and not a temporary folder.
bool isUsableFolder(const fs::path& folder) {
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error) || ::access(folder.c_str(), W_OK) != 0)
        return false;
    const fs::path canonical = fs::weakly_canonical(folder, error);
    const fs::path tmp = fs::weakly_canonical(fs::temp_directory_path(error), error);
    const auto [end, ignored] = std::mismatch(tmp.begin(), tmp.end(), canonical.begin(), canonical.end());
    return end != tmp.end();
}

// Shows a notice after the current event, so that it follows the closed file panel; dropped with the
// preferences panel, should that go first.
void noticeLater(const QObject* panel, const char* title, const char* key, bool critical) {
    QTimer::singleShot(0, panel, [title, key, critical] {
        VX_Message::performShowPanel(VX_Message::paramShowPanel(title, key, "OK", nullptr, critical));
    });
}

// The tabs change only while the panel is the active window: the click that brings it forward does
// not also change its page.
class TabsWhileActive final : public QObject {
public:
    explicit TabsWhileActive(QWidget* panel) : QObject(panel), mPanel(panel) {}
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
            return !mPanel->isActiveWindow();
        default:
            return false;
        }
    }

private:
    QWidget* mPanel;
};

} // namespace

TlvPrefsCntlr::TlvPrefsCntlr(QWidget* mainWindow, TlvPrefsSettingMdl& prefs, TlvSettingsBackup backup,
                             fnd::UserDefaults& defaults, std::function<void()> restored)
    : mMainWindow(mainWindow), mPrefs(prefs), mBackup(backup), mDefaults(defaults),
      mRestored(std::move(restored)) {
    mFolder = mDefaults.string(kFolderKey).value_or(documentsFolder().string());
    mMailLimitTimer.setSingleShot(true);
    mMailLimitTimer.setInterval(kMailLimitDelayMs);
    QObject::connect(&mMailLimitTimer, &QTimer::timeout, [this] { changeMailLimit(kMailLimitField); });
    buildPanel();
}

TlvPrefsCntlr::~TlvPrefsCntlr() {
    delete mPanel;
}

template <typename T> T* TlvPrefsCntlr::item(int tag) const {
    return appkit::viewWithTag<T>(mPanel, tag);
}

void TlvPrefsCntlr::buildPanel() {
    mPanel = new QDialog(mMainWindow);
    mPanel->setWindowTitle(appkit::localized("Title_PrefWin"));
    mPanel->setWindowModality(Qt::WindowModal);
    auto* column = new QVBoxLayout(mPanel);
    mTabs = new QTabWidget(mPanel);
    mTabs->tabBar()->installEventFilter(new TabsWhileActive(mPanel));

    auto* basic = new QWidget(mTabs);
    auto* basicColumn = new QVBoxLayout(basic);
    for (const auto& [tag, key] : {std::pair{kStartingAppPlugInScn, "Pref_StartingAppPlugInScn"},
                                   std::pair{kShowIcnLogIn, "Pref_ShowIcnLogIn"}})
        basicColumn->addWidget(appkit::tagged(new QCheckBox(appkit::localized(key), basic), tag));
    basicColumn->addStretch(1);
    mTabs->addTab(basic, appkit::localized("Pref_TabBasic"));

    auto* mail = new QWidget(mTabs);
    auto* mailColumn = new QVBoxLayout(mail);
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(new QLabel(appkit::localized("Pref_MailLimit"), mail));
    auto* field = appkit::tagged(new QLineEdit(mail), kMailLimitField);
    field->setMaxLength(2);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), field));
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    field->setAlignment(Qt::AlignRight);
    limitRow->addWidget(field);
    auto* stepper = appkit::tagged(new QSpinBox(mail), kMailLimitStepper);
    stepper->setRange(kMailLimitMin, kMailLimitMax);
    stepper->setAccessibleName(appkit::localized("Pref_MailLimit"));
    // Only its arrows: the field beside it shows the value.
    stepper->findChild<QLineEdit*>()->hide();
    // As wide as its arrows and the frame round them, with no room for the hidden text.
    QStyleOptionSpinBox arrows;
    arrows.initFrom(stepper);
    arrows.rect.setSize(stepper->sizeHint());
    const QRect up =
        stepper->style()->subControlRect(QStyle::CC_SpinBox, &arrows, QStyle::SC_SpinBoxUp, stepper);
    stepper->setFixedWidth(arrows.rect.width() - up.x() + up.y());
    limitRow->addWidget(stepper);
    limitRow->addStretch(1);
    mailColumn->addLayout(limitRow);
    mailColumn->addWidget(
        appkit::tagged(new QCheckBox(appkit::localized("Pref_ShowMsgLimitOver"), mail), kShowMsgLimitOver));
    mailColumn->addStretch(1);
    mTabs->addTab(mail, appkit::localized("Pref_TabMail"));
    column->addWidget(mTabs);

    auto* note = new QLabel(appkit::localized("Pref_BackupNote"), mPanel);
    note->setWordWrap(true);
    column->addWidget(note);
    auto* backupRow = new QHBoxLayout;
    auto* backupButton = appkit::tagged(new QPushButton(appkit::localized("Pref_Backup"), mPanel), kBackup);
    auto* restoreButton =
        appkit::tagged(new QPushButton(appkit::localized("Pref_Restore"), mPanel), kRestore);
    backupRow->addWidget(backupButton);
    backupRow->addWidget(restoreButton);
    backupRow->addStretch(1);
    column->addLayout(backupRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, mPanel);
    appkit::setTag(buttons->button(QDialogButtonBox::Ok), kOk);
    appkit::setTag(buttons->button(QDialogButtonBox::Cancel), kCancel);
    column->addWidget(buttons);

    QObject::connect(field, &QLineEdit::textEdited, [this] { mMailLimitTimer.start(); });
    QObject::connect(stepper, &QSpinBox::valueChanged, [this] { changeMailLimit(kMailLimitStepper); });
    QObject::connect(backupButton, &QPushButton::clicked, [this] { runModalSavePanel(); });
    QObject::connect(restoreButton, &QPushButton::clicked, [this] { runModalLoadPanel(); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, [this] { closePrefs(kOk); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, [this] { closePrefs(kCancel); });
}

void TlvPrefsCntlr::initPrefsPanel() {
    item<QCheckBox>(kStartingAppPlugInScn)->setChecked(mPrefs.isStartingAppPlugInScn());
    item<QCheckBox>(kShowIcnLogIn)->setChecked(mPrefs.isShowIcnLogInPC());
    item<QCheckBox>(kShowMsgLimitOver)->setChecked(mPrefs.isShowMsgLimitOver());
    item<QLineEdit>(kMailLimitField)->setText(QString::number(mPrefs.mailAttachLimit()));
    const QSignalBlocker quiet(item<QSpinBox>(kMailLimitStepper));
    item<QSpinBox>(kMailLimitStepper)->setValue(mPrefs.mailAttachLimit());
    mTabs->setCurrentIndex(0);
}

void TlvPrefsCntlr::savePrefsPanel() {
    mPrefs.setIsStartingAppPlugInScn(item<QCheckBox>(kStartingAppPlugInScn)->isChecked());
    mPrefs.setIsShowIcnLogInPC(item<QCheckBox>(kShowIcnLogIn)->isChecked());
    mPrefs.setIsShowMsgLimitOver(item<QCheckBox>(kShowMsgLimitOver)->isChecked());
    mPrefs.setMailAttachLimit(item<QLineEdit>(kMailLimitField)->text().toInt()); // the model clamps
}

void TlvPrefsCntlr::runModalPrefs() {
    initPrefsPanel();
    mIsLoadSetting = false;
    mPanel->open();
}

void TlvPrefsCntlr::closePrefs(int senderTag) {
    mMailLimitTimer.stop();
    if (senderTag != kCancel) {
        changeMailLimit(kMailLimitField);
        savePrefsPanel();
        mPrefs.savePrefsSttingToFile(mDefaults); // written with the other settings at the latest at quit
    }
    mPanel->hide();
    if (mIsLoadSetting && mRestored)
        mRestored();
    mIsLoadSetting = false;
}

void TlvPrefsCntlr::changeMailLimit(int senderTag) {
    auto* field = item<QLineEdit>(kMailLimitField);
    auto* stepper = item<QSpinBox>(kMailLimitStepper);
    int value = 0;
    if (senderTag == kMailLimitField)
        value = field->text().toInt();
    else if (senderTag == kMailLimitStepper)
        value = stepper->value();
    else
        return;
    value = std::clamp(value, kMailLimitMin, kMailLimitMax);
    field->setText(QString::number(value));
    const QSignalBlocker quiet(stepper);
    stepper->setValue(value);
}

fs::path TlvPrefsCntlr::startFolder() const {
    return isUsableFolder(mFolder) ? mFolder : documentsFolder();
}

QFileDialog* TlvPrefsCntlr::filePanel(bool save) {
    auto* panel = new QFileDialog(mPanel, QString(), QString::fromStdString(startFolder().string()),
                                  appkit::localized("Pref_BackupFilter"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    panel->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    panel->setDefaultSuffix(QStringLiteral("plist"));
    if (save) // a name of its own, not the folder's
        panel->selectFile(appkit::localized("Pref_BackupFileName"));
    panel->setWindowModality(Qt::WindowModal);
    return panel;
}

void TlvPrefsCntlr::runModalSavePanel() {
    QFileDialog* panel = filePanel(true);
    QObject::connect(panel, &QFileDialog::fileSelected, mPanel,
                     [this](const QString& file) { backUpTo(file.toStdString()); });
    panel->open();
}

void TlvPrefsCntlr::runModalLoadPanel() {
    if (!VX_Message::askQuestion("Cnfm_RestoreYesOrNo"))
        return;
    QFileDialog* panel = filePanel(false);
    QObject::connect(panel, &QFileDialog::fileSelected, mPanel,
                     [this](const QString& file) { restoreFrom(file.toStdString()); });
    panel->open();
}

bool TlvPrefsCntlr::backUpTo(const fs::path& file) {
    savePrefsCntlr(file);
    if (!mBackup.backUp(file)) {
        const std::string path = file.string();
        QTimer::singleShot(0, mPanel,
                           [path] { VX_Message::showErrorPanel("Err_BackUpFailed", nullptr, {path}); });
        return false;
    }
    noticeLater(mPanel, "Confirm", "Cnfm_BackUpSuccess", false);
    return true;
}

bool TlvPrefsCntlr::restoreFrom(const fs::path& file) {
    savePrefsCntlr(file);
    using Restore = TlvSettingsBackup::Restore;
    switch (mBackup.restore(file)) {
    case Restore::Restored:
        mIsLoadSetting = true;
        initPrefsPanel();
        noticeLater(mPanel, "Confirm", "Cnfm_RestoreSuccess", false);
        return true;
    case Restore::OtherVersion:
        noticeLater(mPanel, "Error", "Err_BackupOtherVersion", true);
        return false;
    case Restore::Damaged:
        noticeLater(mPanel, "Error", "Err_NotGetSetting", true);
        return false;
    default:
        noticeLater(mPanel, "Error", "Err_NotABackup", true);
        return false;
    }
}

void TlvPrefsCntlr::savePrefsCntlr(const fs::path& file) {
    mFolder = file.parent_path();
    mDefaults.set(kFolderKey, fnd::Value(mFolder.string()));
}

} // namespace tlv
