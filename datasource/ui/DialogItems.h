// Reading and writing the dialog's controls by tag, whatever their kind. Each function takes the view
// that holds the control; a missing control makes a getter answer -1 (or none) and a setter do nothing.
// Pop-ups (combo boxes) and tab views answer with their selected index; their items carry tags under
// appkit::kItemTagRole.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>

// An image view (a QLabel) holding this property, a list of two pixmaps, shows the first while enabled
// and the second while disabled.
inline constexpr const char* kItemStateImagesProperty = "stateImages";

int GetItemIntValue(QWidget* view, int tag);
// Selectable items: selects index when it is below their count (a negative index clears the selection).
void SetItemIntValue(QWidget* view, int tag, int value);
// The tag of the selected item; -1 when there is no control or it has no selectable items.
int GetMenuItemIntValue(QWidget* view, int tag);
// The index of the first item carrying itemTag, or none.
std::optional<int> GetMenuItemWithTag(QWidget* view, int tag, int itemTag);
void SetMenuItemIntValue(QWidget* view, int tag, int itemTag);
void SetItemHidden(QWidget* view, int tag, bool hidden);
void SetItemEnabled(QWidget* view, int tag, bool enabled);
void SetItemString(QWidget* view, int tag, const QString& text);
std::optional<QString> GetItemString(QWidget* view, int tag);
