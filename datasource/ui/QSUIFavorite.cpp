// Favourites: named snapshots of all settings, chosen from pop-up 50 of the advanced mode and kept in the
// data source's preferences file. The applied favourite's name stays in the pool until a setting changes.
#include "BundleNib.h"
#include "CapHelpers.h"
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace {

constexpr int kFavoritePopup = 50;
constexpr int kNameField = 930;
constexpr int kAddButton = 931;
constexpr int kDeleteButton = 932;
constexpr int kFavoriteTable = 933;
constexpr int kPanelOk = 1;
constexpr int kPanelCancel = 0;
constexpr int kItemNone = 0;
constexpr int kItemFavorite = 1;
constexpr int kItemAddRemove = -1;

std::int32_t CurrentBlobVersion(const CCapPool* pool) {
    std::int32_t version = 0;
    FlatteningCaps(pool, version);
    return version;
}

bool IsReservedName(const QString& name) {
    return name == QSUIString(QStringLiteral("FavoriteSetting")) ||
           name == QSUIString(QStringLiteral("FavoriteSetting Add/Remove"));
}

CNamedRecordList::Handled OfVersion(std::int32_t version) {
    return
        [version](const fnd::Dictionary& record) { return record.get("DataVersion").asInt32() == version; };
}

} // namespace

void ComOrvikElectronicsK3100QSUIController::buildFavoriteControls() {
    auto* popup = appkit::viewWithTag<QComboBox>(mAdvanceModeView.data(), kFavoritePopup);
    if (!popup)
        return;
    const CNamedRecordList list(DataSourcePreferencesPath(), kPrefFavoriteSettings,
                                OfVersion(CurrentBlobVersion(mSettings)));
    popup->clear();
    popup->addItem(QSUIString(QStringLiteral("FavoriteSetting")), kItemNone);
    for (std::size_t i = 0; i < list.records().size(); ++i)
        popup->addItem(list.nameAt(i), kItemFavorite);
    popup->insertSeparator(popup->count());
    popup->addItem(QSUIString(QStringLiteral("FavoriteSetting Add/Remove")), kItemAddRemove);
    for (int i = 0; i < popup->count(); ++i)
        popup->setItemData(i, popup->itemData(i), appkit::kItemTagRole);
}

void ComOrvikElectronicsK3100QSUIController::updateFavoriteControls() {
    auto* popup = appkit::viewWithTag<QComboBox>(mAdvanceModeView.data(), kFavoritePopup);
    if (!popup)
        return;
    CapNameItem name{};
    GetCapStrValue(mSettings, CCAP_OVKM_FAVORITENAME, name);
    const std::string stored = DecodeCapName(name);
    int index = 0;
    for (int i = 0; i < popup->count() && !stored.empty(); ++i)
        if (popup->itemData(i, appkit::kItemTagRole).toInt() == kItemFavorite &&
            SameCapName(popup->itemText(i).toStdString(), stored))
            index = i;
    popup->setCurrentIndex(index);
    popup->setEnabled(!hasScanImage());
    appkit::FStaticTextField::syncStaticTextInView(mAdvanceModeView.data());
}

void ComOrvikElectronicsK3100QSUIController::changeFavoriteControls(QWidget* sender) {
    auto* popup = qobject_cast<QComboBox*>(sender);
    const int selected =
        popup ? popup->itemData(popup->currentIndex(), appkit::kItemTagRole).toInt() : kItemNone;
    if (selected == kItemFavorite) {
        const QString title = popup->currentText();
        const CNamedRecordList list(DataSourcePreferencesPath(), kPrefFavoriteSettings,
                                    [](const auto&) { return true; });
        const int at = list.find(title);
        const fnd::Dictionary* record = at >= 0 ? &list.records()[static_cast<std::size_t>(at)] : nullptr;
        const fnd::Data* data = record ? record->get("Data").asData() : nullptr;
        if (data)
            UnflatteningCaps(mSettings, *data, record->get("DataVersion").asInt32().value_or(0));
        initSettingAreas();
        SetCapStrValue(mSettings, CCAP_OVKM_FAVORITENAME,
                       EncodeCapName(data ? title.toStdString() : std::string()));
    } else if (selected == kItemAddRemove) {
        decideScanArea(false);
        QString added;
        if (runModalFavoritePanel(added) == kPanelOk) {
            buildFavoriteControls();
            if (!added.isEmpty())
                SetCapStrValue(mSettings, CCAP_OVKM_FAVORITENAME, EncodeCapName(added.toStdString()));
        }
    } else {
        SetCapStrValue(mSettings, CCAP_OVKM_FAVORITENAME, CapNameItem{});
    }
    updateFavoriteControls();
}

QString ComOrvikElectronicsK3100QSUIController::untitledFavoriteName(const CNamedRecordList& list) const {
    return list.untitledName(QSUIString(QStringLiteral("FavoriteName")), IsReservedName);
}

int ComOrvikElectronicsK3100QSUIController::runModalFavoritePanel(QString& addedName) {
    std::unique_ptr<QWidget> loaded = LoadBundleNib(QStringLiteral("FavoritePanel"), {}, ResourcePeeker);
    auto* panel = qobject_cast<QDialog*>(loaded.get());
    if (!panel)
        return kPanelCancel;
    panel->setParent(mWindow.get(), Qt::Dialog);
    CNamedRecordList list(DataSourcePreferencesPath(), kPrefFavoriteSettings,
                          OfVersion(CurrentBlobVersion(mSettings)));
    QString lastPut;
    auto* table = appkit::viewWithTag<QListWidget>(panel, kFavoriteTable);
    auto* field = appkit::viewWithTag<QLineEdit>(panel, kNameField);
    auto reload = [&] {
        table->clear();
        for (std::size_t i = 0; i < list.records().size(); ++i)
            table->addItem(list.nameAt(i));
        table->clearSelection();
        field->setText(untitledFavoriteName(list));
        field->setFocus();
    };
    for (const int tag : {kPanelOk, kPanelCancel})
        if (auto* button = appkit::viewWithTag<QAbstractButton>(panel, tag))
            connect(button, &QAbstractButton::clicked, panel, [panel, tag] { panel->done(tag); });
    for (const int tag : {kAddButton, kDeleteButton})
        connect(appkit::viewWithTag<QAbstractButton>(panel, tag), &QAbstractButton::clicked, panel, [&, tag] {
            if (changeFavoriteItems(panel, list, tag, lastPut))
                reload();
            syncFavoriteUI(panel, list);
        });
    connect(table, &QListWidget::itemSelectionChanged, panel, [&] {
        if (const QListWidgetItem* item = table->currentItem(); item && item->isSelected())
            field->setText(item->text());
        syncFavoriteUI(panel, list);
    });
    connect(field, &QLineEdit::textChanged, panel, [&] { syncFavoriteUI(panel, list); });
    reload();
    SetItemEnabled(panel, kPanelOk, false);
    syncFavoriteUI(panel, list);
    const int code = panel->exec();
    if (code == kPanelOk) {
        list.save();
        addedName = list.find(lastPut) >= 0 ? lastPut : QString();
    }
    return code;
}

bool ComOrvikElectronicsK3100QSUIController::changeFavoriteItems(QDialog* panel, CNamedRecordList& list,
                                                                 int senderTag, QString& addedName) {
    const QString name = CNamedRecordList::CutName(GetItemString(panel, kNameField).value_or(QString()));
    if (senderTag == kAddButton) {
        if (IsReservedName(name)) {
            RunCriticalAlert(panel, QSUIString(QStringLiteral("FavoriteNotUsed Message")).arg(name),
                             QSUIString(QStringLiteral("FavoriteNotUsed Info")), false);
            return false;
        }
        if (list.find(name) >= 0 &&
            !RunCriticalAlert(panel, QSUIString(QStringLiteral("FavoriteAlreadyExistence Message")).arg(name),
                              QSUIString(QStringLiteral("FavoriteAlreadyExistence Info")), true))
            return false;
        std::int32_t version = 0;
        const std::optional<CapData> blob = FlatteningCaps(mSettings, version);
        if (!blob || (!list.canAdd(name) && list.find(name) < 0))
            return false;
        list.put(fnd::Dictionary{
            {"Name", name.toStdString()}, {"DataVersion", std::int64_t{version}}, {"Data", *blob}});
        addedName = name;
    } else if (senderTag == kDeleteButton) {
        auto* table = appkit::viewWithTag<QListWidget>(panel, kFavoriteTable);
        const int row = table ? table->currentRow() : -1;
        if (row < 0 || !RunCriticalAlert(panel,
                                         QSUIString(QStringLiteral("RemoveFavoriteMessage"))
                                             .arg(list.nameAt(static_cast<std::size_t>(row))),
                                         QString(), true))
            return false;
        list.remove(static_cast<std::size_t>(row));
    } else {
        return false;
    }
    SetItemEnabled(panel, kPanelOk, true);
    return true;
}

void ComOrvikElectronicsK3100QSUIController::syncFavoriteUI(QDialog* panel, const CNamedRecordList& list) {
    const QString name = GetItemString(panel, kNameField).value_or(QString()).trimmed();
    SetItemEnabled(panel, kAddButton, list.canAdd(name));
    const auto* table = appkit::viewWithTag<QListWidget>(panel, kFavoriteTable);
    SetItemEnabled(panel, kDeleteButton, table && !table->selectedItems().isEmpty());
}
