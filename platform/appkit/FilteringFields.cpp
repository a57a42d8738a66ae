#include "FilteringFields.h"

namespace appkit {

FTextField::FTextField(QWidget* parent) : QLineEdit(parent), filter_(new InputFilter(this, this)) {
    setValidator(filter_);
}

FComboBox::FComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    filter_ = new InputFilter(lineEdit(), this);
    setValidator(filter_);
}

void FStaticTextField::syncEnableState() {
    setEnabled(!related_ || related_->isEnabled());
}

void FStaticTextField::syncStaticTextInView(QWidget* view) {
    if (!view)
        return;
    for (QObject* child : view->children())
        if (auto* widget = qobject_cast<QWidget*>(child)) {
            syncStaticTextInView(widget);
            if (auto* label = dynamic_cast<FStaticTextField*>(widget))
                label->syncEnableState();
        }
}

} // namespace appkit
