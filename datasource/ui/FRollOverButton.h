// The dialog's tool buttons, drawn by the dialog itself: one of six images by state (normal, under the
// mouse, keyboard focus, both, disabled, pressed), or, where a state has no image, a translucent rounded
// highlight over the normal image. The mouse-over state follows Qt's hover events while the window is
// active, so an idle dialog never wakes to look for the mouse. Main thread only.
#pragma once

#include <QIcon>
#include <QToolButton>

#include <array>

class ComOrvikElectronicsK3100FRollOverButton final : public QToolButton {
public:
    enum EStateIndex : int {
        kNormal = 0,
        kRollOver = 1,
        kFocus = 2,
        kRollOverFocus = 3,
        kDisabled = 4,
        kPressed = 5
    };
    using Images = std::array<QIcon, 6>; // by state index; a null icon: the state has no image

    explicit ComOrvikElectronicsK3100FRollOverButton(QWidget* parent = nullptr);

    void setButtonImages(const Images& images);
    void setRollOverEnabled(bool enabled);
    bool isRollOverEnabled() const { return mRollOverEnabled; }
    // Under the mouse, as the button shows it.
    bool isRollOver() const { return mIsRollOver; }
    // Enabled and taking part in roll-over.
    bool acceptsRollOver() const { return isEnabled() && mRollOverEnabled; }
    EStateIndex stateIndex() const;
    // A checkable button that is checked: drawn on its darker background with the normal image.
    bool isOnState() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setRollOver(bool rollOver);
    bool hasKeyboardFocus() const;

    bool mRollOverEnabled = false;
    bool mIsRollOver = false;
    Images mImages;
};
