// The About panel, built in code.
#include "TlvAboutCntlr.h"

#include "Strings.h"
#include "Tags.h"
#include "ViewImage.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace tlv {

namespace {

QString infoText(const fnd::Bundle& bundle, std::string_view key) {
    const std::string* text = bundle.infoValue(key).asString();
    return text ? QString::fromStdString(*text) : QString();
}

QLabel* centred(QWidget* parent, int tag, const QString& text, bool bold) {
    auto* label = appkit::tagged(new QLabel(text, parent), tag);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(bold);
    if (!bold)
        font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    return label;
}

} // namespace

TlvAboutCntlr::TlvAboutCntlr(QWidget* parent, const fnd::Bundle& bundle) : mAboutPnl(new QDialog(parent)) {
    mAboutPnl->setWindowTitle(appkit::localized("Title_About"));
    auto* column = new QVBoxLayout(mAboutPnl);
    auto* icon = appkit::tagged(new QLabel(mAboutPnl), kIcon);
    icon->setAlignment(Qt::AlignCenter);
    const QString iconFile = infoText(bundle, "CFBundleIconFile");
    auto image = iconFile.isEmpty() ? nullptr : ViewImage::named(iconFile.toStdString());
    if (!image)
        image = ViewImage::named("AppIcon");
    if (image)
        icon->setPixmap(image->pixmap(mAboutPnl->devicePixelRatioF(), QSize(64, 64)));
    column->addWidget(icon);
    column->addWidget(centred(mAboutPnl, kName, infoText(bundle, "CFBundleName"), true));
    const QString prefix = infoText(bundle, "VXVersion");
    const QString version = infoText(bundle, "CFBundleShortVersionString");
    column->addWidget(centred(mAboutPnl, kVersion,
                              prefix.isEmpty() || version.isEmpty() ? QString() : prefix + version, false));
    column->addWidget(centred(mAboutPnl, kCopyright, infoText(bundle, "NSHumanReadableCopyright"), false));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, mAboutPnl);
    QObject::connect(buttons, &QDialogButtonBox::rejected, mAboutPnl, &QDialog::hide);
    column->addWidget(buttons);
    mAboutPnl->setMinimumWidth(280);
}

TlvAboutCntlr::~TlvAboutCntlr() {
    delete mAboutPnl;
}

void TlvAboutCntlr::showAbout() {
    if (!mAboutPnl->isVisible()) {
        mAboutPnl->adjustSize();
        if (const QScreen* screen = mAboutPnl->screen()) {
            QRect frame = mAboutPnl->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            mAboutPnl->move(frame.topLeft());
        }
    }
    mAboutPnl->show();
    mAboutPnl->raise();
    mAboutPnl->activateWindow();
}

} // namespace tlv
