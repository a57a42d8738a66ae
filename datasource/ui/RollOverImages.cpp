#include "RollOverImages.h"

#include "DialogItems.h"
#include "FRollOverButton.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QImageReader>
#include <QLabel>

namespace {

QString ImagePath(const QString& name) {
    return QString::fromStdString((QSUIResourceFolder() / (name.toStdString() + ".svg")).string());
}

} // namespace

QSize QSUIImageSize(const QString& name) {
    return QImageReader(ImagePath(name)).size();
}

QIcon QSUIImage(const QString& name) {
    const QString path = ImagePath(name);
    return QSUIImageSize(name).isEmpty() ? QIcon() : QIcon(path);
}

void SetupRollOverButton(QWidget* view, int tag, const std::array<const char*, 6>& names) {
    auto* button = view ? appkit::viewWithTag<ComOrvikElectronicsK3100FRollOverButton>(view, tag) : nullptr;
    if (!button)
        return;
    ComOrvikElectronicsK3100FRollOverButton::Images images;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i])
            images[i] = QSUIImage(QString::fromLatin1(names[i]));
    const QSize size = names[0] ? QSUIImageSize(QString::fromLatin1(names[0])) : QSize();
    if (!size.isEmpty()) {
        button->setIconSize(size);
        // A titled button's own hints keep the room its title needs on the image; an image alone may
        // be squeezed down to its size.
        if (button->text().isEmpty())
            button->setMinimumSize(size.expandedTo(button->minimumSize()));
    }
    // An image-only button is named by its tip.
    if (button->text().isEmpty() && button->accessibleName().isEmpty())
        button->setAccessibleName(button->toolTip());
    button->setButtonImages(images);
    button->setRollOverEnabled(true);
}

void SetupStateImages(QWidget* view, int tag, const char* normal, const char* disabled) {
    auto* label = view ? appkit::viewWithTag<QLabel>(view, tag) : nullptr;
    if (!label)
        return;
    const QString normalName = QString::fromLatin1(normal);
    const QSize size = QSUIImageSize(normalName);
    const qreal scale = label->devicePixelRatioF();
    const QPixmap pixmaps[2] = {QSUIImage(normalName).pixmap(size, scale),
                                QSUIImage(QString::fromLatin1(disabled)).pixmap(size, scale)};
    label->setProperty(kItemStateImagesProperty, QVariantList{pixmaps[0], pixmaps[1]});
    label->setPixmap(pixmaps[label->isEnabled() ? 0 : 1]);
}
