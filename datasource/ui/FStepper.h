// The small up-and-down arrows beside a slider: each click reports one step (+1 or -1) and the owner
// moves the slider by it and puts the stepper back to 0, so it shows no number of its own.
#pragma once

#include <QSpinBox>

class ComOrvikElectronicsK3100FStepper : public QSpinBox {
public:
    explicit ComOrvikElectronicsK3100FStepper(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    QString textFromValue(int value) const override;
};
