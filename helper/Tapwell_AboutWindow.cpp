// Code-built: four tagged views in a column; the window keeps the size its texts need.
#include "Tapwell_AboutWindow.h"

#include "Images.h"
#include "Tags.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace tapwell {

namespace {

constexpr int kIconSize = 64;

QLabel* addLabel(QVBoxLayout* column, int tag, qreal pointSize, bool bold) {
    auto* label = new QLabel;
    appkit::setTag(label, tag);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    font.setBold(bold);
    label->setFont(font);
    column->addWidget(label);
    return label;
}

QString infoText(const fnd::Bundle& bundle, const char* key) {
    const std::string* value = bundle.infoValue(key).asString();
    return value ? QString::fromStdString(*value) : QString();
}

} // namespace

Tapwell_AboutWindow::Tapwell_AboutWindow() {
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(32, 20, 32, 20);
    auto* image = new QLabel;
    appkit::setTag(image, kImageTag);
    image->setAlignment(Qt::AlignCenter);
    column->addWidget(image);
    const qreal small = font().pointSizeF() * 0.85;
    addLabel(column, kNameTag, 0, true);
    addLabel(column, kVersionTag, small, false);
    addLabel(column, kCopyrightTag, small, false);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void Tapwell_AboutWindow::awakeFromNib(const fnd::Bundle& found) {
    // Without the main application's information the window describes the helper itself.
    const fnd::Bundle& mainApp = infoText(found, "CFBundleName").isEmpty() ? fnd::Bundle::main() : found;
    const QString iconFile = infoText(mainApp, "CFBundleIconFile");
    QIcon icon = iconFile.isEmpty() ? QIcon() : appkit::bundleIcon(iconFile.toStdString(), mainApp);
    if (icon.isNull())
        icon = appkit::bundleIcon("AppIcon");
    if (auto* image = appkit::viewWithTag<QLabel>(this, kImageTag); image && !icon.isNull())
        image->setPixmap(icon.pixmap(kIconSize, kIconSize));
    const QString version = infoText(mainApp, "VXVersion"),
                  shortVersion = infoText(mainApp, "CFBundleShortVersionString");
    const std::pair<int, QString> texts[] = {
        {kNameTag, infoText(mainApp, "CFBundleName")},
        {kVersionTag, shortVersion.isEmpty() ? QString() : version + shortVersion},
        {kCopyrightTag, infoText(mainApp, "NSHumanReadableCopyright")}};
    for (const auto& [tag, text] : texts)
        if (auto* label = appkit::viewWithTag<QLabel>(this, tag))
            label->setText(text);
    setWindowTitle(texts[0].second);
}

void Tapwell_AboutWindow::openVersionPanel() {
    if (!isVisible()) {
        adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

// Ctrl+W, and not Ctrl+Shift+W, closes the window; the close waits for the key event to end.
void Tapwell_AboutWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier) {
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tapwell
