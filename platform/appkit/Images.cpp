#include "Images.h"

#include <QPainter>

namespace appkit {

QIcon bundleIcon(std::string_view name, const fnd::Bundle& bundle) {
    for (const char* ext : {"svg", "png"})
        if (const auto path = bundle.pathForResource(name, ext))
            return QIcon(QString::fromStdString(path->string()));
    return {};
}

QPixmap badgedPixmap(const QIcon& base, const QIcon& badge, int size) {
    QPixmap out = base.pixmap(size, size);
    if (out.isNull() || badge.isNull())
        return out;
    QPainter painter(&out);
    const int side = size / 2;
    painter.drawPixmap(size - side, size - side, badge.pixmap(side, side));
    return out;
}

} // namespace appkit
