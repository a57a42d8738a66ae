// Favourites: named snapshots of all settings, chosen from pop-up 50 of the advanced mode and kept in the
// data source's preferences file. The applied favourite's name stays in the pool until a setting changes.
#include "CapHelpers.h"
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "NamedRecordEditor.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QComboBox>

namespace {

constexpr int kFavoritePopup = 50;
constexpr int kEditorBaseTag = 930; // name field, add, delete, list
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

NamedRecordEditor FavoriteEditor(const CCapPool* pool) {
    return {kEditorBaseTag,
            {QSUIString(QStringLiteral("FavoriteNotUsed Message")),
             QSUIString(QStringLiteral("FavoriteNotUsed Info")),
             QSUIString(QStringLiteral("FavoriteAlreadyExistence Message")),
             QSUIString(QStringLiteral("FavoriteAlreadyExistence Info")),
             QSUIString(QStringLiteral("RemoveFavoriteMessage"))},
            IsReservedName,
            [pool](const QString& name) -> std::optional<fnd::Dictionary> {
                std::int32_t version = 0;
                const std::optional<CapData> blob = FlatteningCaps(pool, version);
                if (!blob)
                    return std::nullopt;
                return fnd::Dictionary{
                    {"Name", name.toStdString()}, {"DataVersion", std::int64_t{version}}, {"Data", *blob}};
            }};
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
    std::unique_ptr<QWidget> loaded = LoadResourceUiFile(QStringLiteral("FavoritePanel"), {}, ResourcePeeker);
    auto* panel = qobject_cast<QDialog*>(loaded.get());
    if (!panel)
        return kPanelCancel;
    panel->setParent(mWindow.get(), Qt::Dialog);
    CNamedRecordList list(DataSourcePreferencesPath(), kPrefFavoriteSettings,
                          OfVersion(CurrentBlobVersion(mSettings)));
    QString lastPut;
    const int code = FavoriteEditor(mSettings).run(
        panel, list, [&] { return untitledFavoriteName(list); },
        [&](int tag, QString& added) { return changeFavoriteItems(panel, list, tag, added); },
        [&] { syncFavoriteUI(panel, list); }, lastPut);
    if (code == kPanelOk && list.save())
        addedName = list.find(lastPut) >= 0 ? lastPut : QString();
    return code;
}

bool ComOrvikElectronicsK3100QSUIController::changeFavoriteItems(QDialog* panel, CNamedRecordList& list,
                                                                 int senderTag, QString& addedName) {
    return FavoriteEditor(mSettings).change(panel, list, senderTag, addedName);
}

void ComOrvikElectronicsK3100QSUIController::syncFavoriteUI(QDialog* panel, const CNamedRecordList& list) {
    FavoriteEditor(mSettings).sync(panel, list);
}
