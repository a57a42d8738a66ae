// The field hands the validator the text as it would be after the change (the field itself already
// holds it then); the change (what replaced what) is recovered from the text before it by stripping
// the part the two texts share at both ends.
#include "InputFilter.h"

#include <QLineEdit>

#include <algorithm>

namespace appkit {

InputFilter::InputFilter(QLineEdit* field, QObject* parent) : QValidator(parent), before_(field->text()) {
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

void InputFilter::setInvalidChars(const QString& chars) {
    chars_ = chars;
    charsAreValid_ = false;
}

void InputFilter::setValidChars(const QString& chars) {
    chars_ = chars;
    charsAreValid_ = true;
}

bool InputFilter::refuses(QChar c) const {
    return chars_ && chars_->contains(c) != charsAreValid_;
}

bool InputFilter::allows(const QString& before, const QString& after) const {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QStringView inserted = QStringView(after).mid(head, after.size() - head - tail);
    if (std::any_of(inserted.begin(), inserted.end(), [this](QChar c) { return refuses(c); }))
        return false;
    return validLength_ == 0 || after.size() <= validLength_ || after.size() < before.size();
}

QValidator::State InputFilter::validate(QString& input, int& pos) const {
    (void)pos;
    return allows(before_, input) ? Acceptable : Invalid;
}

} // namespace appkit
