// A tool-bar button that opens its menu below itself at a press, and gives the menu's items the images
// of their places (turn, delete), so every menu of that kind looks the same.
#pragma once

#include <QToolButton>

class QMenu;

class TlvToolBarMenuBtn : public QToolButton {
    Q_OBJECT
public:
    // Images of the menu's items by position, separators counted; items beyond have none.
    static constexpr const char* imageName_DropDown[8] = {
        "image_Rotate", "image_Delete", "", "", "", "", "", ""};

    explicit TlvToolBarMenuBtn(QWidget* parent = nullptr);
    // Takes the menu (the caller keeps it) and gives its items their images.
    void setDropDownMenu(QMenu* menu);
};
