// View helpers over Qt widgets: tags, hiding, text colours, elided texts and image copies.
#include "TlvUtilsMethod.h"

#include "Tags.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>

QWidget* TlvUtilsMethod::itemInViewFromTag(QWidget* view, int targetTag) {
    return appkit::viewWithTag(view, targetTag);
}

void TlvUtilsMethod::setHiddenItem(QWidget* view, bool hidden) {
    if (view && view->isHidden() != hidden)
        view->setHidden(hidden);
}

void TlvUtilsMethod::setEnabledForText(bool enabled, QWidget* item) {
    if (!item)
        return;
    const QPalette standard = QApplication::palette(item);
    const QPalette::ColorGroup from = enabled ? QPalette::Active : QPalette::Disabled;
    QPalette palette = item->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            palette.setColor(group, role, standard.color(from, role));
    item->setPalette(palette);
}

QString TlvUtilsMethod::attrStrForLineBreak(const QString& text, LineBreakMode mode,
                                            const QFontMetrics& metrics, int width) {
    if (text.isEmpty())
        return {};
    switch (mode) {
    case LineBreakMode::TruncatingHead:
        return metrics.elidedText(text, Qt::ElideLeft, width);
    case LineBreakMode::TruncatingTail:
        return metrics.elidedText(text, Qt::ElideRight, width);
    case LineBreakMode::TruncatingMiddle:
        return metrics.elidedText(text, Qt::ElideMiddle, width);
    default:
        return text;
    }
}

QImage TlvUtilsMethod::remakeNewImage(const QImage& image) {
    return image.copy();
}

QIcon TlvUtilsMethod::fileIcnImage(const std::filesystem::path& path) {
    const QFileInfo info(QString::fromStdString(path.string()));
    if (path.empty() || !info.exists())
        return {};
    return QFileIconProvider().icon(info);
}

QIcon TlvUtilsMethod::defaultOSFolderIcnImage() {
    return QFileIconProvider().icon(QAbstractFileIconProvider::Folder);
}
