// Bus names allow '-' where object paths do not, so the path is derived character by character.
#include "EventNames.h"

namespace ae {

QString interfaceName(const QString& receiverId, const QString& eventClass) {
    return receiverId + u'.' + eventClass;
}

QString objectPath(const QString& receiverId) {
    QString path = u'/' + receiverId;
    for (qsizetype i = 1; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c == u'.')
            path[i] = u'/';
        else if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'_')
            path[i] = u'_';
    }
    return path;
}

} // namespace ae
