// Laid out as desktop alerts are: the picture at the top left, the texts to its right, the buttons
// in a row at the bottom with the first (default) one at the right end and a third one apart at the
// left.
#include "Alert.h"

#include "Images.h"
#include "Strings.h"
#include "Tags.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace appkit {

namespace {

constexpr int kIconSize = 64;   // px
constexpr int kTextWidth = 320; // px, where texts wrap
constexpr int kMaxButtons = 3;
constexpr int kThirdButtonGap = 24; // px between the third button and the other two
constexpr int kButtonMinWidth = 88; // px, so that short titles ("OK") still make a good target
constexpr int kIconTextGap = 12;    // px
constexpr int kTextButtonsGap = 8;  // px

QLabel* textLabel(QWidget* parent, int tag) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setFixedWidth(kTextWidth);
    setTag(label, tag);
    return label;
}

} // namespace

Alert::Alert() {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    icon_ = new QLabel(this);
    icon_->setFixedSize(kIconSize, kIconSize);
    setTag(icon_, kIconTag);
    message_ = textLabel(this, kMessageTag);
    QFont bold = message_->font();
    bold.setBold(true);
    message_->setFont(bold);
    informative_ = textLabel(this, kInformativeTag);

    auto* texts = new QVBoxLayout;
    texts->addWidget(message_);
    texts->addWidget(informative_);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon_, 0, Qt::AlignTop);
    top->addSpacing(kIconTextGap);
    top->addLayout(texts);
    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch();
    auto* all = new QVBoxLayout(this);
    all->setSizeConstraint(QLayout::SetFixedSize);
    all->addLayout(top);
    all->addSpacing(kTextButtonsGap);
    all->addLayout(buttonRow_);
}

void Alert::setMessageText(const QString& text) {
    message_->setText(text);
    setWindowTitle(text.trimmed());
}

void Alert::setInformativeText(const QString& text) {
    informative_->setText(text);
    informative_->setVisible(!text.trimmed().isEmpty());
}

QPushButton* Alert::addButton(const QString& title) {
    if (buttons_.size() >= kMaxButtons)
        return nullptr;
    auto* button = new QPushButton(title, this);
    button->setAutoDefault(false);
    button->setMinimumWidth(kButtonMinWidth);
    setTag(button, kFirstButtonTag + static_cast<int>(buttons_.size()));
    const int index = static_cast<int>(buttons_.size());
    connect(button, &QPushButton::clicked, this, [this, index] { finishWith(index); });
    // The first button sits at the right end; the second to its left; the third apart at the left.
    if (index == 2) {
        buttonRow_->insertWidget(0, button);
        buttonRow_->insertSpacing(1, kThirdButtonGap);
    } else {
        buttonRow_->insertWidget(buttonRow_->count() - index, button);
    }
    buttons_.push_back(button);
    if (index == 0)
        setDefaultButton(0);
    return button;
}

void Alert::setDefaultButton(int index) {
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setDefault(i == index);
}

void Alert::setIcon(const QIcon& icon, const QIcon& criticalBadge) {
    image_ = icon;
    badge_ = criticalBadge;
}

int Alert::runModal() {
    if (buttons_.isEmpty())
        addButton(localized("OK"));
    icon_->setPixmap(style_ == Style::Critical ? badgedPixmap(image_, badge_, kIconSize)
                                               : image_.pixmap(kIconSize, kIconSize));
    setWindowModality(Qt::ApplicationModal);
    // A transient parent rather than a Qt parent: the window may be deleted while the alert is up.
    if (above_ && above_->window()->windowHandle()) {
        winId();
        windowHandle()->setTransientParent(above_->window()->windowHandle());
    }
    // Should the wait end without a button (the application quitting), the answer declines.
    answer_ = decliningIndex();
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    loop.exec();
    hide();
    return answer_;
}

int Alert::decliningIndex() const {
    return buttons_.size() >= 2 ? 1 : 0;
}

void Alert::reject() {
    finishWith(decliningIndex());
}

void Alert::finishWith(int index) {
    answer_ = index;
    done(index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace appkit
