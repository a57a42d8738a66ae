// The tone palette's curve editor: the tone tables of the eight channels (grey, red, green, blue of the
// front, then of the back), each as the table of its gamma value and as a free-hand curve, and the one
// shown being shaped with the mouse. It knows nothing of capabilities; the tone settings load and store
// it. Edits are reported to the edit handler: with the gamma of the point in the gamma-value method (the
// tables are left to the owner), without one in the curve method (the curve has already changed).
#pragma once

#include "ToneCurve.h"

#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class ComOrvikElectronicsK3100QSGammaView final : public QWidget {
public:
    using EditHandler = std::function<void(std::optional<float> gamma)>;

    static constexpr int kChannels = 8;
    enum InputMethod { kGammaValue = 0, kFreeHandCurve = 1 };

    explicit ComOrvikElectronicsK3100QSGammaView(QWidget* parent = nullptr);

    bool isEnabledForEditing() const { return mIsEnabled; }
    void setEnabledForEditing(bool enabled);
    int inputMethod() const { return mInputMethod; }
    void setInputMethod(int method) {
        mInputMethod = method == kFreeHandCurve ? kFreeHandCurve : kGammaValue;
    }
    int activeChannel() const { return mActiveChannel; }
    void setActiveChannel(int channel);
    void setGamma(float gamma, int channel);
    float gammaWithChannel(int channel) const;
    void setGammaTable(const ToneTable& table, int channel, int method);
    ToneTable gammaTable(int channel, int method) const;
    // The colour bar of the active channel: its table's levels, or a plain ramp when linear.
    QPixmap createGammaCurveBar(QSize size, bool isLinear) const;
    void setEditHandler(EditHandler handler) { mEditHandler = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSizeF innerSize() const;
    const ToneTable& shownTable() const;
    void track(QPointF location);

    std::array<std::array<ToneTable, 2>, kChannels> mGammaTable;
    std::array<float, kChannels> mGamma;
    int mInputMethod = kGammaValue;
    int mActiveChannel = 0;
    bool mIsEnabled = true;
    bool mTracking = false;
    std::optional<QPointF> mPrevious;
    EditHandler mEditHandler;
};
