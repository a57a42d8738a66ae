// The image buttons of particular places: the mode switch of the top screen (UFoaJobBtn), the help
// and settings buttons of the preferences strip (UPrefsHelpBtn), the page buttons of the preview
// (UPreviewBtn) and the scan button (UTopScanBtn). Each differs from UButton only in its cell (title
// colour and place, focus look) and, for the mode switch, in which presses it takes.
#pragma once

#include "UButton.h"

#include <functional>

// A mode button stays on until the other one is pressed: while on it ignores clicks and the space
// bar. Its owner may also hold it back (while a mode switch is not allowed); Tab always moves on.
class UFoaJobBtn : public UButton {
    Q_OBJECT
public:
    explicit UFoaJobBtn(QWidget* parent = nullptr);
    // Asked before a press or key is taken; none (the default) allows them.
    void setSwitchGate(std::function<bool()> allowed) { mSwitchGate = std::move(allowed); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool isOn() const { return cellState() & ButtonState::On; }
    bool switchAllowed() const { return !mSwitchGate || mSwitchGate(); }

    std::function<bool()> mSwitchGate;
};

class UPrefsHelpBtn : public UButton {
    Q_OBJECT
public:
    explicit UPrefsHelpBtn(QWidget* parent = nullptr);
};

class UPreviewBtn : public UButton {
    Q_OBJECT
public:
    explicit UPreviewBtn(QWidget* parent = nullptr);
};

class UTopScanBtn : public UButton {
    Q_OBJECT
public:
    explicit UTopScanBtn(QWidget* parent = nullptr);
};
