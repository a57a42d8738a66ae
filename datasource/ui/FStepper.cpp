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
    // Only the arrows: the whole box less the room the style gives the text.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize full = QSpinBox::sizeHint();
    option.rect = QRect(QPoint(), full);
    const QRect text =
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, this);
    return {full.width() - text.width(), full.height()};
}

QString ComOrvikElectronicsK3100FStepper::textFromValue(int) const {
    return {};
}
