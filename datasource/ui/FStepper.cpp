#include "FStepper.h"

#include <QStyle>
#include <QStyleOptionSpinBox>

ComOrvikElectronicsK3100FStepper::ComOrvikElectronicsK3100FStepper(QWidget* parent) : QSpinBox(parent) {
    setRange(-1, 1);
    setValue(0);
    setKeyboardTracking(false);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ComOrvikElectronicsK3100FStepper::sizeHint() const {
    // Only the arrows: as wide as the style draws its up and down buttons.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize full = QSpinBox::sizeHint();
    option.rect = QRect(QPoint(), full);
    const QRect arrows = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    return {arrows.width() + 2 * style()->pixelMetric(QStyle::PM_SpinBoxFrameWidth, &option, this) + 2,
            full.height()};
}

QString ComOrvikElectronicsK3100FStepper::textFromValue(int) const {
    return {};
}
