// See TlvToolBarMenuBtn.h. The images follow the desktop's icon theme where it has them and ours
// otherwise; a disabled button or one without a menu does nothing at a press.
#include "TlvToolBarMenuBtn.h"

#include "ViewImage.h"

#include <QMenu>

#include <iterator>
#include <string_view>

namespace {

// The theme's names for our images.
QString themeName(std::string_view image) {
    return image == "image_Rotate" ? QStringLiteral("object-rotate-right") : QStringLiteral("edit-delete");
}

QIcon iconFor(std::string_view image) {
    QIcon own;
    if (const auto named = ViewImage::named(image))
        for (const qreal dpr : {1.0, 2.0})
            own.addPixmap(named->pixmap(dpr));
    return QIcon::fromTheme(themeName(image), own);
}

} // namespace

TlvToolBarMenuBtn::TlvToolBarMenuBtn(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::InstantPopup);
}

void TlvToolBarMenuBtn::setDropDownMenu(QMenu* menu) {
    setMenu(menu);
    if (!menu)
        return;
    const QList<QAction*> items = menu->actions();
    for (qsizetype k = 0; k < items.size(); ++k) {
        const std::string_view image = k < std::ssize(imageName_DropDown) ? imageName_DropDown[k] : "";
        if (!items[k]->isSeparator())
            items[k]->setIcon(image.empty() ? QIcon() : iconFor(image));
    }
}
