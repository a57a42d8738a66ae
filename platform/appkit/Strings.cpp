#include "Strings.h"

namespace appkit {

QString localized(std::string_view key, const fnd::Bundle& bundle) {
    return QString::fromStdString(bundle.localizedString(key));
}

QString localized(const QString& key, const fnd::Bundle& bundle) {
    return localized(std::string_view(key.toStdString()), bundle);
}

} // namespace appkit
