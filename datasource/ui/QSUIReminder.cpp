// The reminder that the feed roller or the separation pad is due for exchange, and its icon. Once the
// user ticks "do not show again", the reminder stays away for good.
#include "QSUIController.h"

#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "PreferencesFile.h"
#include "QSUIPreferences.h"
#include "QSUIStrings.h"
#include "Tags.h"
#include "UiFiles.h"
#include "scan/AlertPresenter.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int kAlertIconSize = 64;

} // namespace

QPixmap ComOrvikElectronicsK3100QSUIController::createAlertIcon(QSize size, bool badgeAppIcon) {
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap icon(size * ratio);
    icon.setDevicePixelRatio(ratio);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect whole(QPoint(0, 0), size);
    QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).paint(&painter, whole);
    if (badgeAppIcon) {
        // The lower right quarter.
        const QRect badge(size.width() / 2, size.height() / 2, size.width() / 2, size.height() / 2);
        QApplication::windowIcon().paint(&painter, badge);
    }
    return icon;
}

void ComOrvikElectronicsK3100QSUIController::runModalRollerExchangeAlert(bool isPad, bool isBackgroundOnly) {
    runModalExchangeAlert(QString(), isPad, isBackgroundOnly);
}

int ComOrvikElectronicsK3100QSUIController::runModalExchangeAlert(const QString& argument, bool isPad,
                                                                  bool isBackgroundOnly) {
    const char* key = isPad ? kPrefPadExchangeMessageNotDisplayed : kPrefRollerExchangeMessageNotDisplayed;
    if (fnd::PreferencesFile(DataSourcePreferencesPath()).get(key).asBool().value_or(false))
        return 1;
    const QString messageKey =
        isPad ? QStringLiteral("PadExchangeMessage") : QStringLiteral("RollerExchangeMessage");
    QString message = QSUIString(messageKey);
    if (!argument.isEmpty())
        message.replace(QStringLiteral("%@"), argument);
    if (isBackgroundOnly) {
        // Nobody can tick the box of a notification, so the reminder comes again next time.
        if (CAlertPresenter* presenter = GetAlertPresenter())
            presenter->RunAlert(
                SAlert{message.toStdString(), {}, {QSUIString(QStringLiteral("OK")).toStdString()}, false},
                true);
        return 1;
    }
    const std::unique_ptr<QWidget> alert =
        LoadResourceUiFile(QStringLiteral("ExchangeAlert"), {}, ResourcePeeker);
    if (!alert)
        return 1;
    if (auto* icon = appkit::viewWithTag<QLabel>(alert.get(), kReminderIconTag))
        icon->setPixmap(createAlertIcon(QSize(kAlertIconSize, kAlertIconSize), true));
    SetItemString(alert.get(), kReminderMessageTag, message);
    auto* dialog = qobject_cast<QDialog*>(alert.get());
    auto* ok = appkit::viewWithTag<QPushButton>(alert.get(), kReminderOkTag);
    if (!dialog || !ok)
        return 1;
    QEventLoop loop;
    QObject::connect(ok, &QPushButton::clicked, &loop, [&loop] { loop.exit(kReminderOkTag); });
    // Escape and the window's close button leave it unanswered.
    QObject::connect(dialog, &QDialog::rejected, &loop, [&loop] { loop.exit(0); });
    ok->setDefault(true);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    const int result = loop.exec();
    dialog->hide();
    if (result != kReminderOkTag)
        return result;
    if (GetItemIntValue(alert.get(), kReminderCheckBoxTag) == 1) {
        fnd::PreferencesFile preferences(DataSourcePreferencesPath());
        preferences.set(key, true);
        preferences.save();
    }
    return kReminderOkTag;
}
