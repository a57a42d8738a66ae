#include "DialogAlerts.h"

#include "QSUIStrings.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

bool RunCriticalAlert(QWidget* parent, const QString& message, const QString& info, bool withCancel) {
    QMessageBox alert(QMessageBox::Critical, QSUIString(QStringLiteral("Error")), message,
                      QMessageBox::NoButton, parent);
    alert.setInformativeText(info);
    const QAbstractButton* ok = alert.addButton(QSUIString(QStringLiteral("OK")), QMessageBox::AcceptRole);
    if (withCancel)
        alert.setDefaultButton(
            alert.addButton(QSUIString(QStringLiteral("Cancel")), QMessageBox::RejectRole));
    alert.exec();
    return alert.clickedButton() == ok;
}
