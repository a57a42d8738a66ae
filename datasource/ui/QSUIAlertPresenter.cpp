#include "QSUIAlertPresenter.h"

#include "DesktopNotification.h"
#include "DialogAlerts.h"
#include "QSUIScanWindows.h"
#include "QSUIStrings.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

std::optional<std::size_t> CQSUIAlertPresenter::RunAlert(const SAlert& alert, bool backgroundOnly) {
    if (backgroundOnly) {
        // A notification offers no choice: the log's answer stands, and the log keeps the alert when
        // the desktop shows none.
        const std::optional<std::size_t> answer = mLog.RunAlert(alert, backgroundOnly);
        if (!ShowDesktopNotification(QString::fromStdString(alert.message),
                                     QString::fromStdString(alert.information)))
            std::fputs("K3100: the desktop shows no notifications; the alert is only in this log\n", stderr);
        return answer;
    }
    QWidget* progress = QSUIScanWindows::shownProgressWindow();
    if (!progress || alert.buttons.empty())
        return mLog.RunAlert(alert, backgroundOnly);
    QMessageBox box(progress);
    DressAlert(box, alert.critical ? appkit::AlertKind::Error : appkit::AlertKind::Warning,
               QString::fromStdString(alert.message), QString::fromStdString(alert.information));
    box.setObjectName(QStringLiteral("ScannerAlert"));
    std::vector<const QAbstractButton*> buttons;
    for (const std::string& title : alert.buttons)
        buttons.push_back(box.addButton(QString::fromStdString(title),
                                        buttons.empty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            return i;
    // Closed without a button: the choice that does not go on.
    return buttons.size() - 1;
}
