// Shows an animation strip and steps it on a timer of the GUI thread, one frame per frame duration:
// the first frame shown after a start is frame 1, and the frames wrap round to 0. The animation stops
// when asked, when the view is hidden or taken out of its window, and with the view itself.
#pragma once

#include "AnimationStrip.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <memory>

class NwAnimationImageView : public QWidget {
    Q_OBJECT
public:
    // The shortest pause between frames, so that a strip without a duration does not spin.
    static constexpr std::chrono::milliseconds kShortestFrame{20};

    explicit NwAnimationImageView(QWidget* parent = nullptr);

    // A new strip starts at its frame 0; the strip already shown changes nothing.
    void setImage(std::shared_ptr<const AnimationStrip> image);
    const std::shared_ptr<const AnimationStrip>& image() const { return mImage; }
    std::int32_t currentFrame() const { return mCurrentFrame; }

    // Starts stepping unless it already does; a start after a stop always takes effect.
    void startThreadAnimation();
    void stopThreadAnimation();
    bool isAnimating() const { return mTimer.isActive(); }
    std::chrono::milliseconds frameInterval() const;

    // The next frame, back to 0 after the last one.
    void incrementCurrentFrame();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void step();

    std::shared_ptr<const AnimationStrip> mImage;
    std::int32_t mCurrentFrame = 0;
    QTimer mTimer;
};
