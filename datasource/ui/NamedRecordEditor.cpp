#include "NamedRecordEditor.h"

#include "DialogAlerts.h"
#include "DialogItems.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>

namespace {

constexpr int kPanelOk = 1;
constexpr int kPanelCancel = 0;

} // namespace

bool NamedRecordEditor::change(QDialog* panel, CNamedRecordList& list, int senderTag,
                               QString& addedName) const {
    const QString name = CNamedRecordList::CutName(GetItemString(panel, nameField()).value_or(QString()));
    if (senderTag == addButton()) {
        if (isReserved(name)) {
            RunDialogAlert(appkit::AlertKind::Warning, panel, texts.reservedMessage.arg(name),
                           texts.reservedInfo, false);
            return false;
        }
        const bool stored = list.find(name) >= 0;
        if (stored && !RunDialogAlert(appkit::AlertKind::Question, panel, texts.replaceMessage.arg(name),
                                      texts.replaceInfo, true))
            return false;
        if (!stored && !list.canAdd(name))
            return false;
        const std::optional<fnd::Dictionary> record = makeRecord(name);
        if (!record)
            return false;
        list.put(*record);
        addedName = name;
    } else if (senderTag == removeButton()) {
        const auto* table = appkit::viewWithTag<QListWidget>(panel, recordList());
        const int row = table ? table->currentRow() : -1;
        if (row < 0 || !RunDialogAlert(appkit::AlertKind::Question, panel,
                                       texts.removeMessage.arg(list.nameAt(static_cast<std::size_t>(row))),
                                       QString(), true))
            return false;
        list.remove(static_cast<std::size_t>(row));
    } else {
        return false;
    }
    SetItemEnabled(panel, kPanelOk, true);
    return true;
}

void NamedRecordEditor::sync(QDialog* panel, const CNamedRecordList& list) const {
    const QString name = GetItemString(panel, nameField()).value_or(QString()).trimmed();
    SetItemEnabled(panel, addButton(), list.canAdd(name));
    const auto* table = appkit::viewWithTag<QListWidget>(panel, recordList());
    SetItemEnabled(panel, removeButton(), table && !table->selectedItems().isEmpty());
}

int NamedRecordEditor::run(QDialog* panel, CNamedRecordList& list,
                           const std::function<QString()>& untitledName,
                           const std::function<bool(int, QString&)>& changeItems,
                           const std::function<void()>& syncUI, QString& lastPut) const {
    auto* table = appkit::viewWithTag<QListWidget>(panel, recordList());
    auto* field = appkit::viewWithTag<QLineEdit>(panel, nameField());
    if (!table || !field)
        return kPanelCancel;
    auto reload = [&] {
        table->clear();
        for (std::size_t i = 0; i < list.records().size(); ++i)
            table->addItem(list.nameAt(i));
        table->clearSelection();
        field->setText(untitledName());
        field->setFocus();
    };
    for (const int tag : {kPanelOk, kPanelCancel})
        if (auto* button = appkit::viewWithTag<QAbstractButton>(panel, tag))
            QObject::connect(button, &QAbstractButton::clicked, panel, [panel, tag] { panel->done(tag); });
    for (const int tag : {addButton(), removeButton()})
        if (auto* button = appkit::viewWithTag<QAbstractButton>(panel, tag))
            QObject::connect(button, &QAbstractButton::clicked, panel, [&, tag] {
                if (changeItems(tag, lastPut))
                    reload();
                syncUI();
            });
    QObject::connect(table, &QListWidget::itemSelectionChanged, panel, [&] {
        if (const QListWidgetItem* item = table->currentItem(); item && item->isSelected())
            field->setText(item->text());
        syncUI();
    });
    QObject::connect(field, &QLineEdit::textChanged, panel, [&] { syncUI(); });
    reload();
    SetItemEnabled(panel, kPanelOk, false);
    syncUI();
    return panel->exec();
}
