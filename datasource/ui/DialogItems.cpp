#include "DialogItems.h"

#include "Tags.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QTabWidget>
#include <QVariantList>

#include <cmath>

namespace {

// The index of the selected item and the number of items, for controls that have selectable items.
struct SSelectable {
    int selected;
    int count;
};

std::optional<SSelectable> Selectable(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return SSelectable{combo->currentIndex(), combo->count()};
    if (auto* tabs = qobject_cast<QTabWidget*>(control))
        return SSelectable{tabs->currentIndex(), tabs->count()};
    return std::nullopt;
}

void Select(QWidget* control, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setCurrentIndex(index);
    else if (auto* tabs = qobject_cast<QTabWidget*>(control))
        tabs->setCurrentIndex(index);
}

} // namespace

int GetItemIntValue(QWidget* view, int tag) {
    QWidget* control = appkit::viewWithTag(view, tag);
    if (!control)
        return -1;
    if (const std::optional<SSelectable> items = Selectable(control))
        return items->selected;
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->isChecked() ? 1 : 0;
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->isChecked() ? 1 : 0;
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        return slider->value();
    if (auto* spin = qobject_cast<QSpinBox*>(control))
        return spin->value();
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(control))
        return static_cast<int>(std::lround(spin->value()));
    return GetItemString(view, tag).value_or(QString()).toInt();
}

void SetItemIntValue(QWidget* view, int tag, int value) {
    QWidget* control = appkit::viewWithTag(view, tag);
    if (!control)
        return;
    if (const std::optional<SSelectable> items = Selectable(control)) {
        if (value < items->count)
            Select(control, value < 0 ? -1 : value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setChecked(value != 0);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setChecked(value != 0);
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        slider->setValue(value);
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        spin->setValue(value);
    } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(control)) {
        spin->setValue(value);
    } else {
        SetItemString(view, tag, QString::number(value));
    }
}

int GetMenuItemIntValue(QWidget* view, int tag) {
    auto* combo = appkit::viewWithTag<QComboBox>(view, tag);
    if (!combo || combo->currentIndex() < 0)
        return -1;
    bool ok = false;
    const int itemTag = combo->itemData(combo->currentIndex(), appkit::kItemTagRole).toInt(&ok);
    return ok ? itemTag : -1;
}

std::optional<int> GetMenuItemWithTag(QWidget* view, int tag, int itemTag) {
    auto* combo = appkit::viewWithTag<QComboBox>(view, tag);
    if (!combo)
        return std::nullopt;
    const int index = combo->findData(itemTag, appkit::kItemTagRole);
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

void SetMenuItemIntValue(QWidget* view, int tag, int itemTag) {
    if (const std::optional<int> index = GetMenuItemWithTag(view, tag, itemTag))
        appkit::viewWithTag<QComboBox>(view, tag)->setCurrentIndex(*index);
}

void SetItemHidden(QWidget* view, int tag, bool hidden) {
    if (QWidget* control = appkit::viewWithTag(view, tag))
        control->setHidden(hidden);
}

void SetItemEnabled(QWidget* view, int tag, bool enabled) {
    QWidget* control = appkit::viewWithTag(view, tag);
    if (!control)
        return;
    control->setEnabled(enabled);
    auto* image = qobject_cast<QLabel*>(control);
    const QVariantList images = control->property(kItemStateImagesProperty).toList();
    if (image && images.size() >= 2)
        image->setPixmap(images.at(enabled ? 0 : 1).value<QPixmap>());
}

void SetItemString(QWidget* view, int tag, const QString& text) {
    QWidget* control = appkit::viewWithTag(view, tag);
    if (auto* line = qobject_cast<QLineEdit*>(control))
        line->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
}

std::optional<QString> GetItemString(QWidget* view, int tag) {
    QWidget* control = appkit::viewWithTag(view, tag);
    if (auto* line = qobject_cast<QLineEdit*>(control))
        return line->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        return spin->text();
    return std::nullopt;
}
