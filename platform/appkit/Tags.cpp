// Tag lookup walks the widget tree itself rather than QObject::findChildren, so the order (the view
// first, then its children depth first) is fixed and a match stops the walk.
#include "Tags.h"

#include <QVariant>

namespace appkit {

void setTag(QObject* object, int tag) {
    if (object)
        object->setProperty(kTagProperty, tag);
}

std::optional<int> tagOf(const QObject* object) {
    if (!object)
        return std::nullopt;
    const QVariant value = object->property(kTagProperty);
    bool ok = false;
    const int tag = value.toInt(&ok);
    if (!value.isValid() || !ok)
        return std::nullopt;
    return tag;
}

QWidget* viewWithTag(QWidget* view, int tag) {
    if (!view)
        return nullptr;
    if (tagOf(view) == tag)
        return view;
    for (QObject* child : view->children())
        if (QWidget* found = viewWithTag(qobject_cast<QWidget*>(child), tag))
            return found;
    return nullptr;
}

} // namespace appkit
