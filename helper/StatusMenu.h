// The status item: a tray icon (where the desktop has a tray) carrying the menu of rows. Each action
// carries its row's tag; the menu is refilled from the controller just before it opens.
#pragma once

#include "MenuRows.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <vector>

namespace tapwell {

class StatusMenu final : public QObject {
public:
    using RowsSource = std::function<std::vector<MenuRow>()>;
    using Chosen = std::function<void(int tag)>;

    StatusMenu(RowsSource rows, Chosen chosen);

    QMenu* menu() { return &menu_; }
    // Fills the menu now (the tray does it when the menu is about to show).
    void refresh();
    void setConnected(bool connected);
    // Whether a tray shows the icon; without one the helper keeps working without its menu.
    bool hasTray() const { return tray_ != nullptr; }
    // A left click opens the menu too (the tray itself opens it on a right click).
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

private:
    void addRow(const MenuRow& row);

    QMenu menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    RowsSource rows_;
    Chosen chosen_;
};

} // namespace tapwell
