// Each row shows its output function's icon, and the scanner-button badge of the job that button
// starts; the fixed rows keep a blank image so that all titles line up.
#include "StatusMenu.h"

#include "Tapwell_Utility.h"

#include "DesktopEntry.h"
#include "Images.h"
#include "Strings.h"
#include "Tags.h"

#include <QCursor>
#include <QDir>
#include <QPixmap>

namespace tapwell {

namespace {

constexpr int kIconSize = 16; // points
constexpr int kDrawSize = 32; // pixels, sharp on a doubled-density screen too

const char* functionImage(std::int32_t funcType) {
    switch (funcType) {
    case 0:
        return "def_Folder_E_16";
    case 1:
        return "def_MAPI_E_16";
    case 2:
        return "def_Print_E_16";
    case 3:
        return "def_App_E_16";
    default:
        return nullptr;
    }
}

// The icon that a program's .desktop file names (a theme name or a file); none when the file or its
// icon is missing.
QIcon programIcon(const std::string& desktopFile) {
    const std::optional<ws::DesktopEntry> entry =
        desktopFile.empty() ? std::nullopt : ws::DesktopEntry::load(desktopFile);
    const QString icon = entry ? QString::fromStdString(entry->icon()) : QString();
    if (icon.isEmpty())
        return {};
    return QDir::isAbsolutePath(icon) ? QIcon(icon) : QIcon::fromTheme(icon);
}

// A menu keeps one square icon per row, so the button badge sits on the function icon's corner. The
// mail program, the printer's program or the application stand for their functions where the record
// names them.
QIcon jobImage(const MenuRow& row) {
    const QIcon badge = row.badge == 1 ? appkit::bundleIcon("Thms_BTN_Start_16") : QIcon();
    const char* name = row.foa ? nullptr : functionImage(row.funcType);
    if (!name)
        return badge;
    QIcon function = row.funcType == 0 ? QIcon() : programIcon(row.iconPath);
    if (function.isNull())
        function = appkit::bundleIcon(name);
    return badge.isNull() ? function : QIcon(appkit::badgedPixmap(function, badge, kDrawSize));
}

QIcon rowImage(const MenuRow& row) {
    if (row.tag == kTagOutputCheck && row.checkMark)
        return appkit::bundleIcon(row.enabled ? "ST_Menu_Check_E_16" : "ST_Menu_Check_G_16");
    if (row.tag < kTagJobBase - 1) {
        QPixmap blank(kIconSize, kIconSize);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }
    return jobImage(row);
}

} // namespace

StatusMenu::StatusMenu(RowsSource rows, Chosen chosen) : rows_(std::move(rows)), chosen_(std::move(chosen)) {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = std::make_unique<QSystemTrayIcon>();
        tray_->setContextMenu(&menu_);
        connect(tray_.get(), &QSystemTrayIcon::activated, this, &StatusMenu::trayActivated);
        tray_->setToolTip(QString::fromStdString(Tapwell_Utility::infoString("VXTwainDriverName", true)));
    }
    connect(&menu_, &QMenu::aboutToShow, this, &StatusMenu::refresh);
    setConnected(false);
    if (tray_)
        tray_->show();
}

void StatusMenu::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger && !menu_.isVisible())
        menu_.popup(QCursor::pos());
}

void StatusMenu::refresh() {
    menu_.clear();
    for (const MenuRow& row : rows_())
        addRow(row);
}

void StatusMenu::setConnected(bool connected) {
    if (tray_)
        tray_->setIcon(appkit::bundleIcon(connected ? "ST_connect_E_16" : "ST_disconnect_E_16"));
}

void StatusMenu::addRow(const MenuRow& row) {
    if (row.separator) {
        menu_.addSeparator()->setEnabled(row.enabled);
        return;
    }
    const QString title =
        row.titleKey.empty() ? QString::fromStdString(row.title) : appkit::localized(row.titleKey);
    QAction* action = menu_.addAction(rowImage(row), title);
    action->setIconVisibleInMenu(true);
    action->setEnabled(row.enabled);
    appkit::setTag(action, row.tag);
    const int tag = row.tag;
    connect(action, &QAction::triggered, this, [this, tag] { chosen_(tag); });
}

} // namespace tapwell
