// Helpers that the panels and controllers share: the standard folders, small file tests, menu-item
// helpers, the depth-first list of a view's widgets, the Tab order of a window, and the placement of
// a panel over its parent window. No state; the file tests are safe on any thread, the rest belongs
// to the main thread.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QMenu>
#include <QVariant>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class VX_Func {
public:
    VX_Func() = delete;

    // ---- folders and files (any thread) ----

    // The system's folder of installed applications (their desktop files), links resolved; none
    // when there is none.
    static std::optional<std::filesystem::path> defaultAppFolder();
    static std::filesystem::path defaultDocumentFolder();
    // "~/Pictures" when it exists; else the desktop's pictures folder (made when missing); else
    // "~/Pictures" all the same.
    static std::filesystem::path defaultPictureFolder();
    // The names of the entries of a folder that are not folders (hidden ones too), in listing order;
    // none when path is not a folder.
    static std::optional<std::vector<std::string>> directoryFilesAtPath(const std::filesystem::path& path);
    static bool isDirectory(const std::filesystem::path& path);
    static bool isExistsFile(const std::filesystem::path& path);
    // Removes an existing file or folder; true when it existed and is gone.
    static bool isRemoveFile(const std::filesystem::path& path);
    // True when path or one of its ancestors (not the root) is a folder of settings or of the system:
    // the user's configuration, data, cache and state folders, /etc, /usr, /var and the like.
    static bool isLibraryDirectory(const std::filesystem::path& path);
    // Whether a user may pick the folder (for a settings backup): an existing folder outside the
    // settings and system folders, not the temporary folder, with no component beginning with ".".
    static bool isDisplaysDirectory(const std::filesystem::path& path);

    // ---- menus and pop-up menus (combo boxes); items carry their tag as data (appkit::kItemTagRole) ----

    static void setEnabledItem(bool enabled, int tag, QMenu* menu);
    static void setEnabledItemWithIndex(bool enabled, int index, QMenu* menu);
    static void setEnabledItem(bool enabled, int tag, QComboBox* popup);
    static void setEnabledItemWithIndex(bool enabled, int index, QComboBox* popup);
    // The action at index then runs handler (and nothing it ran before).
    static void setAction(std::function<void()> handler, int index, QMenu* menu);
    // Appends an item: the title when not null, the tag when 0 or more, the image and the represented
    // object when given.
    static void addMenuItem(QComboBox* popup, const QString& title, int tag, const QIcon& image = {},
                            const QVariant& representedObject = {});
    // For every tag from first to last: the item (or check box, radio button) with that tag is
    // switched on when its tag is selected, off otherwise; missing tags are skipped.
    static void view(QWidget* view, int itemSelect, int from, int to);
    static void menu(QMenu* menu, int itemSelect, int from, int to);

    // ---- views and windows (main thread) ----

    // view and every widget below it, depth first, siblings in reading order (top to bottom, then
    // left to right in window coordinates); empty for a null view.
    static std::vector<QWidget*> deepSubviewsAtView(QWidget* view);
    // The window's Tab order: every widget of the window in deepSubviewsAtView order, or targetViews
    // in their order when all of them lie in the window. With both replace views, the first widget
    // inside replaceFrom moves to the place of the first inside replaceTo.
    static void setNextKeyViewsAtWindow(QWidget* window, const std::vector<QWidget*>& targetViews = {},
                                        QWidget* replaceFrom = nullptr, QWidget* replaceTo = nullptr);
    static void setEnabled(bool enabled, QWidget* toAllSubViewsOfView);

    // Alignments of windowPositionAdjustment: centred on the parent, or edge bits.
    static constexpr int kAlignCentre = 0xFF00;
    static constexpr int kAlignLeft = 1, kAlignTop = 2, kAlignRight = 4, kAlignBottom = 8;
    // Places window within parent (the screen when null) and the screen's available area: a resizable
    // window larger than the parent shrinks to it (not below its minimum size), the window is moved
    // inside the parent, aligned, and kept on the screen with its top-left corner visible.
    static void windowPositionAdjustment(QWidget* window, QWidget* parentWindow, int withAlignment);
};
