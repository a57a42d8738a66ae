#include "QSUIAlertPresenter.h"

#include "QSUIScanWindows.h"
#include "QSUIStrings.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

std::optional<std::size_t> CQSUIAlertPresenter::RunAlert(const SAlert& alert, bool backgroundOnly) {
    QWidget* progress = QSUIScanWindows::shownProgressWindow();
    if (backgroundOnly || !progress || alert.buttons.empty())
        return mLog.RunAlert(alert, backgroundOnly);
    QMessageBox box(alert.critical ? QMessageBox::Critical : QMessageBox::Warning,
                    QSUIString(QStringLiteral("Error")), QString::fromStdString(alert.message),
                    QMessageBox::NoButton, progress);
    box.setObjectName(QStringLiteral("ScannerAlert"));
    box.setInformativeText(QString::fromStdString(alert.information));
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
