// The localising walk over loaded interfaces. Interface files hold string-table keys; the looked-up
// text may end in "$$" and a list of layout parameters for that language, so a long translation can
// bring its own font size, frame or column width. Children are done before their parent.
#include "TlvUtilsMethod.h"

#include "Strings.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// What the parameters of one text act on: the widget whose font and frame change (none for texts
// that are not a widget of their own) and, for a table column header, the column's width.
struct ParamTarget {
    QWidget* fontView = nullptr;
    QWidget* frameView = nullptr;
    std::function<void(int)> setColumnWidth;
};

// The usual text-to-number rule: the leading number, 0 when none.
double leadingNumber(const QString& text) {
    const QByteArray bytes = text.trimmed().toUtf8();
    return std::strtod(bytes.constData(), nullptr);
}

void applyFrame(QWidget* view, const QString& value) {
    const QStringList parts = value.split(u'$');
    QRect frame = view->geometry();
    const std::function<void(int)> setters[] = {
        [&](int v) { frame.moveLeft(v); }, [&](int v) { frame.moveTop(v); },
        [&](int v) { frame.setWidth(v); }, [&](int v) { frame.setHeight(v); }};
    for (qsizetype i = 0; i < parts.size() && i < 4; ++i)
        setters[i](static_cast<int>(leadingNumber(parts[i])));
    if (frame != view->geometry())
        view->setGeometry(frame);
}

void applyParam(const ParamTarget& target, const QString& name, const QString& value) {
    if (name == "FNSZ" && target.fontView) {
        QFont font = target.fontView->font();
        font.setPointSizeF(leadingNumber(value));
        target.fontView->setFont(font);
    } else if (name == "FRAM" && target.frameView) {
        applyFrame(target.frameView, value);
    } else if (name == "TCWD" && target.setColumnWidth) {
        const double width = leadingNumber(value);
        if (width > 0)
            target.setColumnWidth(static_cast<int>(width));
    }
}

// Looks raw up, applies its parameters and answers the visible part.
QString localize(const QString& raw, const ParamTarget& target) {
    const QString text = appkit::localized(raw.toStdString());
    const qsizetype marker = text.indexOf(QStringLiteral("$$"));
    if (marker < 0)
        return text;
    for (const QString& item : text.mid(marker + 2).split(u',')) {
        const QStringList pair = item.split(u':');
        if (pair.size() >= 2)
            applyParam(target, pair[0], pair[1]);
    }
    return text.left(marker);
}

void localizeText(const QString& raw, const ParamTarget& target,
                  const std::function<void(const QString&)>& set) {
    if (!raw.isEmpty())
        set(localize(raw, target));
}

void localizeHeaders(int columns, const std::function<QString(int)>& get,
                     const std::function<void(int, const QString&)>& set,
                     const std::function<void(int, int)>& setWidth) {
    for (int c = 0; c < columns; ++c) {
        ParamTarget column{nullptr, nullptr, [&setWidth, c](int w) { setWidth(c, w); }};
        localizeText(get(c), column, [&set, c](const QString& t) { set(c, t); });
    }
}

void localizeContainers(QWidget* view, const ParamTarget& self) {
    if (auto* tabs = qobject_cast<QTabWidget*>(view)) {
        const ParamTarget tab{tabs, nullptr, {}};
        for (int i = 0; i < tabs->count(); ++i)
            localizeText(tabs->tabText(i), tab, [tabs, i](const QString& t) { tabs->setTabText(i, t); });
    } else if (auto* table = qobject_cast<QTableWidget*>(view)) {
        localizeHeaders(
            table->columnCount(),
            [table](int c) {
                return table->horizontalHeaderItem(c) ? table->horizontalHeaderItem(c)->text() : QString();
            },
            [table](int c, const QString& t) { table->horizontalHeaderItem(c)->setText(t); },
            [table](int c, int w) { table->setColumnWidth(c, w); });
    } else if (auto* tree = qobject_cast<QTreeWidget*>(view)) {
        QTreeWidgetItem* header = tree->headerItem();
        localizeHeaders(
            tree->columnCount(), [header](int c) { return header->text(c); },
            [header](int c, const QString& t) { header->setText(c, t); },
            [tree](int c, int w) { tree->setColumnWidth(c, w); });
    } else if (auto* combo = qobject_cast<QComboBox*>(view)) {
        for (int i = 0; i < combo->count(); ++i)
            localizeText(combo->itemText(i), self,
                         [combo, i](const QString& t) { combo->setItemText(i, t); });
    }
}

void resourcePeeker(QWidget* view) {
    const ParamTarget self{view, view, {}};
    if (auto* slider = qobject_cast<QSlider*>(view))
        slider->setSingleStep(1);
    if (auto* button = qobject_cast<QAbstractButton*>(view))
        localizeText(button->text(), self, [button](const QString& t) { button->setText(t); });
    else if (auto* label = qobject_cast<QLabel*>(view))
        localizeText(label->text(), self, [label](const QString& t) { label->setText(t); });
    else if (auto* group = qobject_cast<QGroupBox*>(view))
        localizeText(group->title(), self, [group](const QString& t) { group->setTitle(t); });
    else if (auto* field = qobject_cast<QLineEdit*>(view))
        localizeText(field->placeholderText(), self,
                     [field](const QString& t) { field->setPlaceholderText(t); });
    localizeContainers(view, self);
    localizeText(view->toolTip(), {}, [view](const QString& t) { view->setToolTip(t); });
    if (view->isWindow())
        localizeText(view->windowTitle(), {}, [view](const QString& t) { view->setWindowTitle(t); });
}

void peekSubviews(QWidget* view) {
    for (QObject* child : view->children())
        if (auto* widget = qobject_cast<QWidget*>(child))
            peekSubviews(widget);
    resourcePeeker(view);
}

} // namespace

void TlvUtilsMethod::AllViewLoad(const std::vector<QWidget*>& items) {
    QWidget* current = nullptr;
    try {
        for (QWidget* item : items) {
            current = item;
            if (item)
                peekSubviews(item);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "Failed to AllViewLoad:\n[gadget tag] == %d\nlocReason == %s\n",
                     appkit::tagOf(current).value_or(0), failure.what());
    }
}
