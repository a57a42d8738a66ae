// The job summary box of the JOB top screen: a container of buttons framed in grey with rounded
// corners, 150 points high, or 240 when expanded to show more of the job, when a separator line
// divides the two parts. It keeps the top edge of its base frame as it grows and shrinks.
#pragma once

#include "Container.h"

#include <QPoint>
#include <QRect>

#include <optional>

class TlvJobInfoView : public Container {
    Q_OBJECT
public:
    static constexpr int kCollapsedHeight = 150; // points
    static constexpr int kExpandedHeight = 240;  // points

    using Container::Container;

    bool isExpansion() const { return mIsExpansion; }
    void setIsExpansion(bool expanded);
    // The frame (in the parent) whose top edge the box keeps.
    QRect baseFrame() const { return mBaseRect; }
    void setBaseFrame(const QRect& frame) { mBaseRect = frame; }
    // The separator is drawn 10 points above point's y and 10 points in from each side.
    std::optional<QPoint> drawLineLftBtmPt() const { return mDrawLineLftBtmPt; }
    void setDrawLineLftBtmPt(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool mIsExpansion = false;
    std::optional<QPoint> mDrawLineLftBtmPt; // top-left of the separator line
    QRect mBaseRect;
};
