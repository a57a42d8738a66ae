// The working list of a named-record editor (favourites, the user's papers): records of one kind kept in
// the preferences file under one key, each with a unique "Name". Names are cut as the data source stores
// them (32 UTF-16 units on a code-point boundary). Saving merges with the file as it is then: records
// the editor does not handle (another version) stay as they are, and records another process added since
// the editor opened are kept, and records it deleted stay deleted unless this editor changed them.
#pragma once

#include "Value.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

class CNamedRecordList {
public:
    static constexpr std::size_t kMaxRecords = 50;
    using Handled = std::function<bool(const fnd::Dictionary&)>;

    // Reads the records under key of the file at path that handled accepts.
    CNamedRecordList(std::filesystem::path path, std::string key, Handled handled);

    // The text without surrounding white space, cut as a stored name.
    static QString CutName(const QString& text);

    const std::vector<fnd::Dictionary>& records() const { return mRecords; }
    QString nameAt(std::size_t index) const;
    // The position of the record with exactly this name, or -1.
    int find(const QString& name) const;
    bool canAdd(const QString& name) const { return !name.isEmpty() && mRecords.size() < kMaxRecords; }
    // Replaces the record of the same name in place, or appends it.
    void put(const fnd::Dictionary& record);
    void remove(std::size_t index);
    // base when no record and no reserved name uses it, else the first free "base-2", "base-3", ...
    QString untitledName(const QString& base, const std::function<bool(const QString&)>& reserved) const;
    // Writes the merged list; false when the file could not be written.
    bool save() const;

private:
    std::filesystem::path mPath;
    std::string mKey;
    Handled mHandled;
    std::vector<fnd::Dictionary> mRecords;
    std::set<std::string> mNamesAtOpening;
    std::set<std::string> mPutNames;
};
