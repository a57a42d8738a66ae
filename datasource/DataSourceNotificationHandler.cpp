// Observer registrations live exactly as long as their entry in mHandlers, so a notification that
// arrives after removeNotificationHandlers (or after the handler is gone) reaches nothing.
#include "DataSourceNotificationHandler.h"

#include "DataSource.h"

using Handler = ComOrvikElectronicsK3100DataSourceNotificationHandler;

Handler::ComOrvikElectronicsK3100DataSourceNotificationHandler(CDataSource& dataSource)
    : mDataSource(dataSource) {}

Handler::~ComOrvikElectronicsK3100DataSourceNotificationHandler() {
    removeNotificationHandlers();
}

void Handler::addNotificationHandler(Method method, std::string name) {
    fnd::NotificationCenter& center = fnd::NotificationCenter::defaultCenter();
    if (mHandlers.contains(name))
        center.removeObserver(this, name);
    mHandlers[name] = method;
    center.addObserver(this, std::move(name), [this](const fnd::Notification& n) { handleNotification(n); });
}

void Handler::removeNotificationHandlers() {
    fnd::NotificationCenter::defaultCenter().removeObserver(this);
    mHandlers.clear();
}

void Handler::handleNotification(const fnd::Notification& notification) {
    const auto found = mHandlers.find(notification.name);
    if (found == mHandlers.end())
        return;
    const TW_UINT16 rc = (mDataSource.*(found->second))(notification.object);
    if (!notification.userInfo)
        return;
    if (fnd::Value* result = notification.userInfo->find("Result")) {
        if (fnd::Dictionary* answer = result->asDictionary())
            answer->set("Code", fnd::Value(rc));
    }
}
