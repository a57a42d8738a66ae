// A one-line text that is cut at its end, with an ellipsis, where the pane is too narrow; text()
// keeps the whole text and the tool tip shows it.
#pragma once

#include <QLabel>

namespace tlv {

class TlvTailLabel : public QLabel {
    Q_OBJECT
public:
    explicit TlvTailLabel(QWidget* parent = nullptr);
    void setFullText(const QString& text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tlv
