// User gammas: the current tone settings saved under a name in the data source's preferences file and
// offered by the tone palette's mode pop-up. A record read back is offered only when it is whole; the
// others stay in the file untouched and are reported once a dialog.
#include "CapHelpers.h"
#include "DataSourcePreferences.h"
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "NamedRecordEditor.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "ResourcePeeker.h"
#include "Tags.h"
#include "UiFiles.h"
#include "UserGammaRecord.h"

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr int kEditorBaseTag = 920; // name field, add, remove, list
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
    RunDialogAlert(appkit::AlertKind::Warning, mWindow.get(),
                   QSUIString(QStringLiteral("DamagedCustomGamma_Message")).arg(damaged),
                   QSUIString(QStringLiteral("DamagedCustomGamma_Info")), false);
}

int Controller::runModalCustomGammaPanel(QString& addedName) {
    std::unique_ptr<QWidget> loaded =
        LoadResourceUiFile(QStringLiteral("CustomGammaPanel"), {}, ResourcePeeker);
    auto* panel = qobject_cast<QDialog*>(loaded.get());
    if (!panel)
        return kPanelCancel;
    panel->setParent(mWindow.get(), Qt::Dialog);
    CNamedRecordList list(DataSourcePreferencesPath(), kPrefUserGammaDatas, IsUsableUserGamma);
    QString lastPut;
    const int code = customGammaEditor().run(
        panel, list,
        [&] { return list.untitledName(QSUIString(QStringLiteral("CustomGammaName")), IsReservedName); },
        [&](int tag, QString& added) { return changeCustomGammaItems(panel, list, tag, added); },
        [&] { syncCustomGammaUI(panel, list); }, lastPut);
    if (code == kPanelOk && list.save()) {
        addedName = list.find(lastPut) >= 0 ? lastPut : QString();
        // The tone palette offers what the file now holds.
        const fnd::PreferencesFile stored(DataSourcePreferencesPath());
        const fnd::Array* saved = stored.get(kPrefUserGammaDatas).asArray();
        mUIParameters.set(kPrefUserGammaDatas, saved ? *saved : fnd::Array{});
    }
    return code;
}

NamedRecordEditor Controller::customGammaEditor() const {
    return {kEditorBaseTag,
            {QSUIString(QStringLiteral("CustomGammaNotUsed_Message")),
             QSUIString(QStringLiteral("CustomGammaNotUsed_Info")),
             QSUIString(QStringLiteral("CustomGammaAlreadyExistence_Message")),
             QSUIString(QStringLiteral("CustomGammaAlreadyExistence_Info")),
             QSUIString(QStringLiteral("RemoveCustomGammaMessage"))},
            IsReservedName,
            [this](const QString& name) -> std::optional<fnd::Dictionary> {
                // A kept page knows one side of one kind: only its channels are saved, front and back alike.
                const bool kept = hasScanImage();
                const bool colour = GetCapSIntValue(mSettings, ICAP_PIXELTYPE) == TWPT_RGB;
                const int from = kept && colour ? 1 : 0;
                const int to = kept ? (colour ? 3 : 0) : 3;
                return UserGammaFromPool(mSettings, name, from, to, kept);
            }};
}

bool Controller::changeCustomGammaItems(QDialog* panel, CNamedRecordList& list, int senderTag,
                                        QString& addedName) {
    return customGammaEditor().change(panel, list, senderTag, addedName);
}

void Controller::syncCustomGammaUI(QDialog* panel, const CNamedRecordList& list) {
    customGammaEditor().sync(panel, list);
}
