// One timer per field, found again by its object name when a command needs the field's value now.
#include "TypedFieldCommit.h"

#include <QTimer>

#include <utility>
#include <vector>

namespace {

constexpr char kTypingTimerName[] = "k3100.typing";

class CTypingTimer final : public QTimer {
public:
    CTypingTimer(QLineEdit* field, int delayMs, std::function<void()> apply)
        : QTimer(field), mApply(std::move(apply)) {
        setObjectName(QString::fromLatin1(kTypingTimerName));
        setSingleShot(true);
        setInterval(delayMs);
        connect(this, &QTimer::timeout, this, [this] { mApply(); });
        connect(field, &QLineEdit::textEdited, this, qOverload<>(&QTimer::start));
        connect(field, &QLineEdit::editingFinished, this, [this] {
            stop();
            mApply();
        });
    }
    void applyNow() {
        if (!isActive())
            return;
        stop();
        mApply();
    }

private:
    std::function<void()> mApply;
};

QList<CTypingTimer*> TypingTimers(QObject* root) {
    QList<CTypingTimer*> timers;
    for (QTimer* timer : root->findChildren<QTimer*>(QString::fromLatin1(kTypingTimerName)))
        if (auto* typing = dynamic_cast<CTypingTimer*>(timer))
            timers.append(typing);
    return timers;
}

} // namespace

void ApplyWhileTyping(QLineEdit* field, int delayMs, std::function<void()> apply) {
    if (field)
        new CTypingTimer(field, delayMs, std::move(apply));
}

void ApplyPendingTyping(QWidget* root) {
    if (!root)
        return;
    // Applying one field redraws the others from the settings: each is applied with the text it showed.
    std::vector<std::pair<CTypingTimer*, QString>> pending;
    for (CTypingTimer* typing : TypingTimers(root))
        if (typing->isActive())
            pending.emplace_back(typing, static_cast<QLineEdit*>(typing->parent())->text());
    for (auto& [typing, text] : pending) {
        static_cast<QLineEdit*>(typing->parent())->setText(text);
        typing->applyNow();
    }
}

void CancelPendingTyping(QLineEdit* field) {
    if (!field)
        return;
    for (CTypingTimer* typing : TypingTimers(field))
        typing->stop();
}
