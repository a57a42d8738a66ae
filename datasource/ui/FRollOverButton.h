// The dialog's tool buttons, drawn by the dialog itself: one of six images by state (normal, under the
// mouse, keyboard focus, both, disabled, pressed), or, where a state has no image, a translucent rounded
// highlight over the normal image. A title stands on the image, which grows with it (a larger font, a
// longer title) as the main window's image buttons grow. The mouse-over state follows Qt's hover events
// while the window is active, so an idle dialog never wakes to look for the mouse. Main thread only.
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

    // At least as large as its face, which is at least its normal image.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Where the face lies in the button now (the whole button when it has none), and the title on it.
    QRect faceRect() const;
    QRectF titleRect() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setRollOver(bool rollOver);
    bool hasKeyboardFocus() const;
    // The state has no image of its own, or the button is on: a highlight is drawn over the normal one.
    bool drawsHighlight() const;
    const QIcon& shownImage() const;
    // The normal image's size grown for the title, which a press moves a point.
    QSize faceSize() const;
    // The shown image drawn at the face's size, centred in the button; null without an image.
    QPixmap face(qreal dpr) const;
    QRect faceRect(const QPixmap& face) const;

    bool mRollOverEnabled = false;
    bool mIsRollOver = false;
    Images mImages;
};
