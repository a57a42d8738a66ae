#include "DialogAlerts.h"

#include "QSUIStrings.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr int kIconSize = 64; // px, as the applications' alerts

} // namespace

void DressAlert(QMessageBox& box, appkit::AlertKind kind, const QString& message, const QString& info) {
    box.setWindowTitle(QSUIString(QString::fromLatin1(appkit::alertTitleKey(kind))));
    box.setIconPixmap(appkit::alertIcon(kind).pixmap(QSize(kIconSize, kIconSize), box.devicePixelRatioF()));
    box.setText(message);
    box.setInformativeText(info);
}

bool RunDialogAlert(appkit::AlertKind kind, QWidget* parent, const QString& message, const QString& info,
                    bool withCancel) {
    QMessageBox alert(parent);
    DressAlert(alert, kind, message, info);
    const QAbstractButton* ok = alert.addButton(QSUIString(QStringLiteral("OK")), QMessageBox::AcceptRole);
    if (withCancel)
        alert.setDefaultButton(
            alert.addButton(QSUIString(QStringLiteral("Cancel")), QMessageBox::RejectRole));
    alert.exec();
    return alert.clickedButton() == ok;
}
