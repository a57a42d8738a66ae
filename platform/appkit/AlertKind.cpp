#include "AlertKind.h"

#include <QApplication>
#include <QStyle>

namespace appkit {

const char* alertTitleKey(AlertKind kind) {
    switch (kind) {
    case AlertKind::Question:
        return "Confirm";
    case AlertKind::Warning:
        return "Warning";
    case AlertKind::Error:
        return "Error";
    case AlertKind::Information:
        break;
    }
    return "Information";
}

QIcon alertIcon(AlertKind kind) {
    struct SLook {
        const char* themeName;
        QStyle::StandardPixmap fallback;
    };
    const SLook look = kind == AlertKind::Question  ? SLook{"dialog-question", QStyle::SP_MessageBoxQuestion}
                       : kind == AlertKind::Warning ? SLook{"dialog-warning", QStyle::SP_MessageBoxWarning}
                       : kind == AlertKind::Error
                           ? SLook{"dialog-error", QStyle::SP_MessageBoxCritical}
                           : SLook{"dialog-information", QStyle::SP_MessageBoxInformation};
    return QIcon::fromTheme(QString::fromLatin1(look.themeName),
                            QApplication::style()->standardIcon(look.fallback));
}

} // namespace appkit
