// What the dialog does to every element of a freshly loaded interface file: titles are string-table
// keys, replaced by their text; a text may end in "$$" and comma-separated "key:value" pairs that lay the
// element out for the language ("FNSZ": font size in points, same family; unknown keys are ignored).
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

struct STitleMarkup {
    QString title;                  // the text before "$$", or the whole text
    std::optional<double> fontSize; // from "FNSZ"
};

STitleMarkup ParseTitleMarkup(const QString& text);

using ElementVisitor = std::function<void(QWidget*)>;
// Visits the element's children depth first (each child's own children before the child), then the
// element itself.
void PeekSubviews(QWidget* element, const ElementVisitor& visitor);

// The dialog's visitor: sliders step by one; button, label, group and tab titles are looked up in the
// data source's string table and their markup applied (a tab's font size sets the whole tab view's).
void ResourcePeeker(QWidget* element);
