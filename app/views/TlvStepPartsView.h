// One step of the step bar: the image of a step still to come or the current one, or, for the last
// step (the finish view), the finish image while it is current and nothing otherwise. Scan mode 0
// (scan first) and every other mode (jobs) have their own images.
#pragma once

#include "ViewImage.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class TlvStepPartsView : public QWidget {
    Q_OBJECT
public:
    explicit TlvStepPartsView(QWidget* parent = nullptr);

    std::int32_t scnModeForView() const { return mScnModeForView; }
    void setScnModeForView(std::int32_t mode); // repaints only on a change
    bool isDrawImg() const { return mIsDrawImg; }
    void setIsDrawImg(bool current); // repaints only on a change
    bool isFinishView() const { return mIsFinishView; }
    void setIsFinishView(bool finish) { mIsFinishView = finish; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Inactive, active, finish.
    using Images = std::array<std::shared_ptr<const ViewImage>, 3>;
    const Images& images() const { return mScnModeForView == 0 ? mInfoFoaImg : mInfoJobImg; }

    Images mInfoFoaImg;
    Images mInfoJobImg;
    std::int32_t mScnModeForView = 0;
    bool mIsDrawImg = false;
    bool mIsFinishView = false;
};
