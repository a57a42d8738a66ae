#include "Strings.h"

namespace appkit {

QString localized(std::string_view key, const fnd::Bundle& bundle) {
    return QString::fromStdString(bundle.localizedString(key));
}

} // namespace appkit
