// An alert panel: an icon, a bold message, an informative text below it and up to three buttons, the
// first on the right. runModal() shows it application-modal and waits in a local event loop for a
// button, so the caller gets the answer as a result while windows keep repainting. Escape, the
// window's close button and a wait ended by the application quitting answer as the button that
// declines (the second one, or the only one).
#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>

class QLabel;
class QPushButton;
class QHBoxLayout;

namespace appkit {

class Alert final : public QDialog {
public:
    enum class Style { Warning = 0, Informational = 1, Critical = 2 };

    // Tags of the alert's parts, for the code and the tests that drive it.
    static constexpr int kIconTag = 10;
    static constexpr int kMessageTag = 11;
    static constexpr int kInformativeTag = 12;
    // Button i (0 first) carries the tag kFirstButtonTag + i.
    static constexpr int kFirstButtonTag = 1;

    Alert();

    // The window the alert stays above while it is up (not owned; it may go away meanwhile).
    void setAboveWindow(QWidget* window) { above_ = window; }

    void setMessageText(const QString& text);
    void setInformativeText(const QString& text);
    // Appends a button; the first one added is the default (Return) unless setDefaultButton says
    // otherwise. At most three are kept.
    QPushButton* addButton(const QString& title);
    const QList<QPushButton*>& buttons() const { return buttons_; }
    // The button that Return presses: index into buttons(); any other value leaves Return unused.
    void setDefaultButton(int index);
    void setAlertStyle(Style style) { style_ = style; }
    Style alertStyle() const { return style_; }
    // The picture beside the text; a critical alert wears the badge in its corner.
    void setIcon(const QIcon& icon, const QIcon& criticalBadge = {});

    // Shows the alert application-modal and answers the index of the pressed button (0 first). An
    // alert without buttons gets one, "OK" from the program's string table.
    int runModal();

protected:
    void reject() override;

private:
    void finishWith(int index);
    int decliningIndex() const;

    QLabel* icon_;
    QLabel* message_;
    QLabel* informative_;
    QHBoxLayout* buttonRow_;
    QList<QPushButton*> buttons_;
    Style style_ = Style::Warning;
    QIcon image_;
    QIcon badge_;
    int answer_ = 0;
    QPointer<QWidget> above_;
};

} // namespace appkit
