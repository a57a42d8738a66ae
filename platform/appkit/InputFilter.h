// The rule of the filtering fields: a change typed or pasted by the user is taken whole or not at
// all. It is refused when the inserted text holds a refused character, or when it would make the
// text longer than the maximum (UTF-16 units; 0 = no limit). Shortening is always allowed.
#pragma once

#include <QString>
#include <QValidator>

#include <optional>

class QLineEdit;

namespace appkit {

class InputFilter final : public QValidator {
public:
    // Judges the changes typed or pasted into field; the field's text as last changed (by the user or
    // the program) is the text before each change.
    InputFilter(QLineEdit* field, QObject* parent);

    // Refuses exactly the characters of chars.
    void setInvalidChars(const QString& chars);
    // Refuses every character not in chars.
    void setValidChars(const QString& chars);
    void setValidLength(int length) { validLength_ = length > 0 ? length : 0; }
    int validLength() const { return validLength_; }

    // Whether the change from before to after may happen.
    bool allows(const QString& before, const QString& after) const;

    State validate(QString& input, int& pos) const override;

private:
    bool refuses(QChar c) const;

    QString before_;
    std::optional<QString> chars_; // none: no filtering by character
    bool charsAreValid_ = false;   // chars_ lists the allowed characters, not the refused ones
    int validLength_ = 0;
};

} // namespace appkit
