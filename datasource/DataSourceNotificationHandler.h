// Routes in-process notifications (from the dialog and the data source's own timers) to member functions
// of the data source, and hands each handler's TWAIN return code back to the poster under
// userInfo["Result"]["Code"].
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "NotificationCenter.h"
#include "twain.h"

class CDataSource;

class ComOrvikElectronicsK3100DataSourceNotificationHandler {
public:
    // A data-source operation that answers a notification's object with a TWAIN return code.
    using Method = TW_UINT16 (CDataSource::*)(const fnd::Value& object);

    // The data source owns this handler and outlives it.
    explicit ComOrvikElectronicsK3100DataSourceNotificationHandler(CDataSource& dataSource);
    ~ComOrvikElectronicsK3100DataSourceNotificationHandler();
    ComOrvikElectronicsK3100DataSourceNotificationHandler(
        const ComOrvikElectronicsK3100DataSourceNotificationHandler&) = delete;
    ComOrvikElectronicsK3100DataSourceNotificationHandler&
    operator=(const ComOrvikElectronicsK3100DataSourceNotificationHandler&) = delete;

    // Observes name on the default centre for any object, replacing an earlier method for that name.
    void addNotificationHandler(Method method, std::string name);
    void removeNotificationHandlers();
    void handleNotification(const fnd::Notification& notification);

private:
    CDataSource& mDataSource;
    std::map<std::string, Method, std::less<>> mHandlers;
};
