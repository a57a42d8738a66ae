// Menu helpers for menus (actions carry their tag as the "tag" property) and pop-up menus (combo
// boxes; items carry their tag as data).
#include "VX_Func.h"

#include "Tags.h"

#include <QAbstractButton>
#include <QStandardItemModel>

namespace {

QAction* actionWithTag(QMenu* menu, int tag) {
    if (!menu)
        return nullptr;
    for (QAction* action : menu->actions())
        if (appkit::tagOf(action) == tag)
            return action;
    return nullptr;
}

QAction* actionAt(QMenu* menu, int index) {
    return menu && index >= 0 && index < menu->actions().size() ? menu->actions().at(index) : nullptr;
}

void enableComboItem(QComboBox* popup, int index, bool enabled) {
    auto* model = popup ? qobject_cast<QStandardItemModel*>(popup->model()) : nullptr;
    if (QStandardItem* item = model && index >= 0 ? model->item(index) : nullptr)
        item->setEnabled(enabled);
}

} // namespace

void VX_Func::setEnabledItem(bool enabled, int tag, QMenu* menu) {
    if (QAction* action = actionWithTag(menu, tag))
        action->setEnabled(enabled);
}

void VX_Func::setEnabledItemWithIndex(bool enabled, int index, QMenu* menu) {
    if (QAction* action = actionAt(menu, index))
        action->setEnabled(enabled);
}

void VX_Func::setEnabledItem(bool enabled, int tag, QComboBox* popup) {
    if (popup)
        enableComboItem(popup, popup->findData(tag, appkit::kItemTagRole), enabled);
}

void VX_Func::setEnabledItemWithIndex(bool enabled, int index, QComboBox* popup) {
    enableComboItem(popup, index, enabled);
}

void VX_Func::setAction(std::function<void()> handler, int index, QMenu* menu) {
    QAction* action = actionAt(menu, index);
    if (!action)
        return;
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    if (handler)
        QObject::connect(action, &QAction::triggered, action, [handler = std::move(handler)] { handler(); });
}

void VX_Func::addMenuItem(QComboBox* popup, const QString& title, int tag, const QIcon& image,
                          const QVariant& representedObject) {
    if (!popup)
        return;
    popup->addItem(image, title.isNull() ? QString() : title);
    const int index = popup->count() - 1;
    if (tag >= 0)
        popup->setItemData(index, tag, appkit::kItemTagRole);
    if (representedObject.isValid())
        popup->setItemData(index, representedObject, appkit::kItemObjectRole);
}

void VX_Func::view(QWidget* view, int itemSelect, int from, int to) {
    for (int tag = from; tag <= to; ++tag)
        if (auto* item = appkit::viewWithTag<QAbstractButton>(view, tag))
            item->setChecked(tag == itemSelect);
}

void VX_Func::menu(QMenu* menu, int itemSelect, int from, int to) {
    for (int tag = from; tag <= to; ++tag)
        if (QAction* action = actionWithTag(menu, tag)) {
            action->setCheckable(true);
            action->setChecked(tag == itemSelect);
        }
}
