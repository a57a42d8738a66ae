// What the main controller tells whoever shows it: the state, the page counter and failures. A small
// object of its own, so that the window and the tests follow the controller through Qt's connections.
#pragma once

#include "TlvAppState.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace tlv {

class TlvCntlrNotifier final : public QObject {
    Q_OBJECT

signals:
    // Main thread: the state has changed; its automatic step follows.
    void appStateChanged(AppState state);
    // Main thread: the page counter of the batch.
    void scanCountChanged(int pages);
    // Any thread: a failure's message key for the critical panel "Error" / key / "OK", its %1, %2, ...
    // filled with args. A window connects it queued, so that the panel comes after the current event.
    void failureRaised(const QString& key, const QStringList& args);
};

} // namespace tlv
