#include "ResourcePeeker.h"

#include "QSUIStrings.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

namespace {

constexpr QStringView kMarker = u"$$";

// Applies the markup to element; returns the visible title.
QString Apply(const QString& key, QWidget* element) {
    const STitleMarkup markup = ParseTitleMarkup(QSUIString(key));
    if (markup.fontSize && *markup.fontSize > 0) {
        QFont font = element->font();
        font.setPointSizeF(*markup.fontSize);
        element->setFont(font);
    }
    return markup.title;
}

} // namespace

STitleMarkup ParseTitleMarkup(const QString& text) {
    const qsizetype marker = text.indexOf(kMarker);
    if (marker < 0)
        return {text, std::nullopt};
    STitleMarkup markup{text.left(marker), std::nullopt};
    for (const QString& pair : text.mid(marker + kMarker.size()).split(u',')) {
        const QStringList parts = pair.split(u':');
        if (parts.size() != 2 || parts.at(0).trimmed() != u"FNSZ")
            continue;
        bool ok = false;
        const double size = parts.at(1).trimmed().toDouble(&ok);
        if (ok)
            markup.fontSize = size;
    }
    return markup;
}

void PeekSubviews(QWidget* element, const ElementVisitor& visitor) {
    if (!element)
        return;
    for (QObject* child : element->children())
        if (auto* widget = qobject_cast<QWidget*>(child))
            PeekSubviews(widget, visitor);
    visitor(element);
}

void ResourcePeeker(QWidget* element) {
    if (auto* slider = qobject_cast<QAbstractSlider*>(element)) {
        slider->setSingleStep(1);
    } else if (auto* button = qobject_cast<QAbstractButton*>(element)) {
        if (!button->text().isEmpty())
            button->setText(Apply(button->text(), button));
    } else if (auto* label = qobject_cast<QLabel*>(element)) {
        if (!label->text().isEmpty())
            label->setText(Apply(label->text(), label));
    } else if (auto* group = qobject_cast<QGroupBox*>(element)) {
        if (!group->title().isEmpty())
            group->setTitle(Apply(group->title(), group));
    } else if (auto* tabs = qobject_cast<QTabWidget*>(element)) {
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setTabText(i, Apply(tabs->tabText(i), tabs));
    }
    if (element->isWindow() && !element->windowTitle().isEmpty())
        element->setWindowTitle(QSUIString(element->windowTitle()));
    if (!element->toolTip().isEmpty())
        element->setToolTip(QSUIString(element->toolTip()));
}
