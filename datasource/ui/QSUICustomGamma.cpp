// User gammas: the current tone settings saved under a name in the data source's preferences file and
// offered by the tone palette's mode pop-up. A record read back is offered only when it is whole; the
// others stay in the file untouched and are reported once a dialog.
#include "BundleNib.h"
#include "CapHelpers.h"
#include "DataSourcePreferences.h"
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "ResourcePeeker.h"
#include "Tags.h"
#include "UserGammaRecord.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr int kNameField = 920;
constexpr int kAddButton = 921;
constexpr int kRemoveButton = 922;
constexpr int kGammaList = 923;
constexpr int kPanelOk = 1;
constexpr int kPanelCancel = 0;

bool IsReservedName(const QString& name) {
    for (const char* key : {"Gamma_Normal", "Gamma_Custom", "Gamma_Add_Remove"})
        if (name == QSUIString(QString::fromLatin1(key)))
            return true;
    return false;
}

} // namespace

std::vector<fnd::Dictionary> Controller::userGammas() {
    const fnd::Array* list = mUIParameters.get(kPrefUserGammaDatas).asArray();
    std::size_t damaged = 0;
    std::vector<fnd::Dictionary> usable = UsableUserGammas(list ? *list : fnd::Array{}, damaged);
    reportDamagedUserGammas(damaged);
    return usable;
}

void Controller::reportDamagedUserGammas(std::size_t damaged) {
    if (damaged == 0 || mDamagedGammasReported)
        return;
    mDamagedGammasReported = true;
    RunCriticalAlert(mWindow.get(), QSUIString(QStringLiteral("DamagedCustomGamma_Message")).arg(damaged),
                     QSUIString(QStringLiteral("DamagedCustomGamma_Info")), false);
}

int Controller::runModalCustomGammaPanel(QString& addedName) {
    std::unique_ptr<QWidget> loaded = LoadBundleNib(QStringLiteral("CustomGammaPanel"), {}, ResourcePeeker);
    auto* panel = qobject_cast<QDialog*>(loaded.get());
    if (!panel)
        return kPanelCancel;
    panel->setParent(mWindow.get(), Qt::Dialog);
    CNamedRecordList list(DataSourcePreferencesPath(), kPrefUserGammaDatas, IsUsableUserGamma);
    QString lastPut;
    auto* table = appkit::viewWithTag<QListWidget>(panel, kGammaList);
    auto* field = appkit::viewWithTag<QLineEdit>(panel, kNameField);
    auto reload = [&] {
        table->clear();
        for (std::size_t i = 0; i < list.records().size(); ++i)
            table->addItem(list.nameAt(i));
        table->clearSelection();
        field->setText(list.untitledName(QSUIString(QStringLiteral("CustomGammaName")), IsReservedName));
        field->setFocus();
    };
    for (const int tag : {kPanelOk, kPanelCancel})
        if (auto* button = appkit::viewWithTag<QAbstractButton>(panel, tag))
            connect(button, &QAbstractButton::clicked, panel, [panel, tag] { panel->done(tag); });
    for (const int tag : {kAddButton, kRemoveButton})
        connect(appkit::viewWithTag<QAbstractButton>(panel, tag), &QAbstractButton::clicked, panel, [&, tag] {
            if (changeCustomGammaItems(panel, list, tag, lastPut))
                reload();
            syncCustomGammaUI(panel, list);
        });
    connect(table, &QListWidget::itemSelectionChanged, panel, [&] {
        if (const QListWidgetItem* item = table->currentItem(); item && item->isSelected())
            field->setText(item->text());
        syncCustomGammaUI(panel, list);
    });
    connect(field, &QLineEdit::textChanged, panel, [&] { syncCustomGammaUI(panel, list); });
    reload();
    SetItemEnabled(panel, kPanelOk, false);
    syncCustomGammaUI(panel, list);
    const int code = panel->exec();
    if (code == kPanelOk && list.save()) {
        addedName = list.find(lastPut) >= 0 ? lastPut : QString();
        // The tone palette offers what the file now holds.
        const fnd::PreferencesFile stored(DataSourcePreferencesPath());
        const fnd::Array* saved = stored.get(kPrefUserGammaDatas).asArray();
        mUIParameters.set(kPrefUserGammaDatas, saved ? *saved : fnd::Array{});
    }
    return code;
}

bool Controller::changeCustomGammaItems(QDialog* panel, CNamedRecordList& list, int senderTag,
                                        QString& addedName) {
    const QString name = CNamedRecordList::CutName(GetItemString(panel, kNameField).value_or(QString()));
    if (senderTag == kAddButton) {
        if (IsReservedName(name)) {
            RunCriticalAlert(panel, QSUIString(QStringLiteral("CustomGammaNotUsed_Message")).arg(name),
                             QSUIString(QStringLiteral("CustomGammaNotUsed_Info")), false);
            return false;
        }
        if (list.find(name) >= 0 &&
            !RunCriticalAlert(panel,
                              QSUIString(QStringLiteral("CustomGammaAlreadyExistence_Message")).arg(name),
                              QSUIString(QStringLiteral("CustomGammaAlreadyExistence_Info")), true))
            return false;
        if (!list.canAdd(name) && list.find(name) < 0)
            return false;
        // A kept page knows one side of one kind: only its channels are saved, front and back alike.
        const bool kept = hasScanImage();
        const bool colour = GetCapSIntValue(mSettings, ICAP_PIXELTYPE) == TWPT_RGB;
        const int from = kept && colour ? 1 : 0;
        const int to = kept ? (colour ? 3 : 0) : 3;
        list.put(UserGammaFromPool(mSettings, name, from, to, kept));
        addedName = name;
    } else if (senderTag == kRemoveButton) {
        auto* table = appkit::viewWithTag<QListWidget>(panel, kGammaList);
        const int row = table ? table->currentRow() : -1;
        if (row < 0 || !RunCriticalAlert(panel,
                                         QSUIString(QStringLiteral("RemoveCustomGammaMessage"))
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

void Controller::syncCustomGammaUI(QDialog* panel, const CNamedRecordList& list) {
    const QString name = GetItemString(panel, kNameField).value_or(QString()).trimmed();
    SetItemEnabled(panel, kAddButton, list.canAdd(name));
    const auto* table = appkit::viewWithTag<QListWidget>(panel, kGammaList);
    SetItemEnabled(panel, kRemoveButton, table && !table->selectedItems().isEmpty());
}
