// The panel behind the output-function view: a light plate with a border whose corners are rounded
// by hand, pixel by pixel, in the fixed grey tones.
#pragma once

#include <QWidget>

class TlvFuncBaseView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};
