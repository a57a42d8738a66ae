#include "TlvTailLabel.h"

#include "TlvUtilsMethod.h"

#include <QPainter>
#include <QStyle>

namespace tlv {

TlvTailLabel::TlvTailLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TlvTailLabel::setFullText(const QString& text) {
    setText(text);
    setToolTip(text);
}

QSize TlvTailLabel::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 4, QLabel::minimumSizeHint().height()};
}

void TlvTailLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = TlvUtilsMethod::attrStrForLineBreak(
        text(), TlvUtilsMethod::LineBreakMode::TruncatingTail, fontMetrics(), area.width());
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

} // namespace tlv
