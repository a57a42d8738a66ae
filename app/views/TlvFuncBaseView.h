// The panel behind the output-function view: a plate with a border whose corners are rounded by hand,
// pixel by pixel, in the grey tones of the palette.
#pragma once

#include <QWidget>

class TlvFuncBaseView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};
