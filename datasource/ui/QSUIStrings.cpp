#include "QSUIStrings.h"

#include "Bundle.h"

#include <optional>

QString QSUIString(const QString& key) {
    const std::optional<fnd::Bundle> bundle =
        fnd::Bundle::containing(reinterpret_cast<const void*>(&QSUIString));
    const std::string text = bundle ? bundle->localizedString(key.toStdString()) : key.toStdString();
    return QString::fromStdString(text);
}
