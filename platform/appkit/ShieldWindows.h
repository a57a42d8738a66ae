// Panels modal to one window without a modal event loop. A panel begun over a window becomes a
// Qt::WindowModal dialog parented to it (so it floats above it, moves with it, and is all the user
// can operate there), shown with open()/show(); the window meanwhile carries a shield: a transparent
// overlay that swallows every click on the window and, unless told otherwise, every key as well. A
// shield may also stand alone (no panel), for instance while the panel it stands for is minimised.
// Main thread only.
#pragma once

#include <QList>
#include <QWidget>

namespace appkit {

class FWindow {
public:
    FWindow() = delete;

    // What a standing shield keeps from the covered window.
    enum class Blocks { MouseAndKeys, MouseOnly };

    // Lays a shield over window unless it has one. The title bar and frame belong to the window
    // manager, so includeFrame changes nothing here: the shield covers the whole window. The shield
    // is owned by the window.
    static void setShieldWindow(QWidget* window, bool includeFrame, Blocks blocks = Blocks::MouseAndKeys);
    // Takes the window's shield down, if it has one.
    static void removeShieldWindow(QWidget* window);
    // The window's shield (the overlay widget), or null.
    static QWidget* shieldWindow(const QWidget* window);

    // Makes panel modal over window: the window gets a shield if it has none, and the panel becomes a
    // window-modal child window of it, shown and made active. With no window the panel is just shown.
    // The window then owns the panel (Qt parent); the panel may be deleted at any time.
    static void beginModalWindow(QWidget* panel, QWidget* window, Blocks blocks = Blocks::MouseAndKeys);
    // Ends what beginModalWindow began; with the window's last panel the shield goes too. The panel
    // is hidden when orderOut is set. A panel modal over no window is only hidden.
    static void endModalWindow(QWidget* panel, bool orderOut = true);
    // The window panel is modal over, or null.
    static QWidget* behindWindow(const QWidget* panel);
    // The panels modal over window, in the order they began.
    static QList<QWidget*> modalWindows(const QWidget* window);
};

} // namespace appkit
