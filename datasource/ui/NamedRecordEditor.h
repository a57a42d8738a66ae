// The editor panel shared by the favourites and the user's tone settings: a name field, Add, Remove and
// the list of stored names, tagged in that order from one base tag; OK and Cancel are tagged 1 and 0.
#pragma once

#include "NamedRecordList.h"

#include <QString>

#include <functional>
#include <optional>

class QDialog;

struct NamedRecordEditorTexts {
    QString reservedMessage; // %1: the refused name
    QString reservedInfo;
    QString replaceMessage; // %1: the name already stored
    QString replaceInfo;
    QString removeMessage; // %1: the name to remove
};

struct NamedRecordEditor {
    int baseTag = 0;
    NamedRecordEditorTexts texts;
    std::function<bool(const QString&)> isReserved;
    // The record to store under a name, or nothing when the current settings cannot give one.
    std::function<std::optional<fnd::Dictionary>(const QString&)> makeRecord;

    int nameField() const { return baseTag; }
    int addButton() const { return baseTag + 1; }
    int removeButton() const { return baseTag + 2; }
    int recordList() const { return baseTag + 3; }

    // Adds or removes after the user's confirmation; false when refused or nothing changed.
    bool change(QDialog* panel, CNamedRecordList& list, int senderTag, QString& addedName) const;
    void sync(QDialog* panel, const CNamedRecordList& list) const;
    // Runs the panel modally through the owner's own change and sync steps; returns the panel's code.
    int run(QDialog* panel, CNamedRecordList& list, const std::function<QString()>& untitledName,
            const std::function<bool(int senderTag, QString& addedName)>& changeItems,
            const std::function<void()>& syncUI, QString& lastPut) const;
};
