// The background strips of the top screen, one look per scan mode (0 scan first, 1 jobs): the
// information strip (TlvExpView) and the step bar's strip (TlvStepInfoView). A strip repeats its
// tile image from the left across its whole width; a mode other than 0 or 1 draws nothing.
#pragma once

#include "ViewImage.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

class TlvModeStripView : public QWidget {
    Q_OBJECT
public:
    std::int32_t scnModeForView() const { return mScnModeForView; }
    // Repaints only when the mode changes.
    void setScnModeForView(std::int32_t mode);

    // Copies of a tile imageWidth wide that cover viewWidth, the last one cut at the edge.
    static int tileCount(int viewWidth, int imageWidth);

    QSize sizeHint() const override;

protected:
    TlvModeStripView(std::string_view foaTile, std::string_view jobTile, QWidget* parent);
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<std::shared_ptr<const ViewImage>, 2> mInfoBaseImg; // by scan mode
    std::int32_t mScnModeForView = 0;
};

class TlvExpView : public TlvModeStripView {
    Q_OBJECT
public:
    explicit TlvExpView(QWidget* parent = nullptr);
};

class TlvStepInfoView : public TlvModeStripView {
    Q_OBJECT
public:
    explicit TlvStepInfoView(QWidget* parent = nullptr);
};
