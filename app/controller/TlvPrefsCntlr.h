// The preferences panel: Basic (two options handed to the menu-bar helper) and Mail (the attachment
// size limit and whether to warn above it), and the backup of all settings to a file and the restore
// from one. Window-modal over the main window; the folder of the last backup is remembered.
#pragma once

#include "TlvSettingsBackup.h"
#include "UserDefaults.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <functional>

class QFileDialog;
class QTabWidget;

namespace tlv {

class TlvPrefsCntlr {
public:
    // Tags of the panel's controls.
    static constexpr int kStartingAppPlugInScn = 701;
    static constexpr int kShowIcnLogIn = 703;
    static constexpr int kMailLimitField = 802;
    static constexpr int kMailLimitStepper = 803;
    static constexpr int kShowMsgLimitOver = 805;
    static constexpr int kBackup = 810;
    static constexpr int kRestore = 811;
    static constexpr int kCancel = 0;
    static constexpr int kOk = 1;
    static constexpr const char* kFolderKey = "PrefsSettingFilePathKey";
    // Typing in the limit field is clamped this long after the last key.
    static constexpr int kMailLimitDelayMs = 500;

    // prefs is the model in force; restored runs after a restore took effect and the panel closed.
    TlvPrefsCntlr(QWidget* mainWindow, TlvPrefsSettingMdl& prefs, TlvSettingsBackup backup,
                  fnd::UserDefaults& defaults, std::function<void()> restored);
    ~TlvPrefsCntlr();
    TlvPrefsCntlr(const TlvPrefsCntlr&) = delete;
    TlvPrefsCntlr& operator=(const TlvPrefsCntlr&) = delete;

    QDialog* prefsPanel() const { return mPanel; }
    // Fills the panel from the model and shows it modal over the main window.
    void runModalPrefs();
    // Tag kOk keeps what the panel shows; any other cancels (a restore stays restored).
    void closePrefs(int senderTag);
    // Keeps field and stepper equal and within 1..99, from the control with tag senderTag.
    void changeMailLimit(int senderTag);

    // The folder the file panels open in: the remembered one, or Documents when that is gone, not
    // writable, or in the temporary folder.
    std::filesystem::path startFolder() const;
    // The file panels' ends: write or read the file, remember its folder and say how it went.
    bool backUpTo(const std::filesystem::path& file);
    bool restoreFrom(const std::filesystem::path& file);

private:
    void buildPanel();
    // Remembers the folder of a backup or restore file.
    void savePrefsCntlr(const std::filesystem::path& file);
    void initPrefsPanel();
    void savePrefsPanel();
    void runModalSavePanel();
    void runModalLoadPanel();
    QFileDialog* filePanel(bool save);
    template <typename T> T* item(int tag) const;

    QWidget* mMainWindow;
    TlvPrefsSettingMdl& mPrefs;
    TlvSettingsBackup mBackup;
    fnd::UserDefaults& mDefaults;
    std::function<void()> mRestored;
    QPointer<QDialog> mPanel;
    QTabWidget* mTabs = nullptr;
    QTimer mMailLimitTimer;
    std::filesystem::path mFolder;
    bool mIsLoadSetting = false;
};

} // namespace tlv
