// Text entry that refuses unwanted characters and text beyond a maximum length while the user types
// or pastes, instead of checking afterwards (see InputFilter): a line edit and an editable combo box
// that behave alike, and a label that greys out together with the control it describes.
#pragma once

#include "InputFilter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace appkit {

class FTextField : public QLineEdit {
public:
    explicit FTextField(QWidget* parent = nullptr);

    void setInvalidCharsInString(const QString& chars) { filter_->setInvalidChars(chars); }
    void setValidCharsInString(const QString& chars) { filter_->setValidChars(chars); }
    void setValidLength(int length) { filter_->setValidLength(length); }

private:
    InputFilter* filter_;
};

class FComboBox : public QComboBox {
public:
    // Always editable: the filter judges what is typed into its field.
    explicit FComboBox(QWidget* parent = nullptr);

    void setInvalidCharsInString(const QString& chars) { filter_->setInvalidChars(chars); }
    void setValidCharsInString(const QString& chars) { filter_->setValidChars(chars); }
    void setValidLength(int length) { filter_->setValidLength(length); }

private:
    InputFilter* filter_;
};

class FStaticTextField : public QLabel {
public:
    explicit FStaticTextField(QWidget* parent = nullptr) : QLabel(parent) {}

    // The control whose enabled state the label follows (not owned); null: always enabled.
    void setRelatedControl(QWidget* control) { related_ = control; }
    QWidget* relatedControl() const { return related_; }
    void syncEnableState();
    // Synchronises every such label below view (not view itself), deepest first.
    static void syncStaticTextInView(QWidget* view);

private:
    QPointer<QWidget> related_;
};

} // namespace appkit
