#include "NamedRecordList.h"

#include "CapNames.h"
#include "PreferencesFile.h"

namespace {

const std::string* NameOf(const fnd::Dictionary& record) {
    return record.get("Name").asString();
}

} // namespace

CNamedRecordList::CNamedRecordList(std::filesystem::path path, std::string key, Handled handled)
    : mPath(std::move(path)), mKey(std::move(key)), mHandled(std::move(handled)) {
    const fnd::PreferencesFile file(mPath);
    if (const fnd::Array* stored = file.get(mKey).asArray())
        for (const fnd::Value& entry : *stored)
            if (const fnd::Dictionary* record = entry.asDictionary();
                record && NameOf(*record) && mHandled(*record)) {
                mRecords.push_back(*record);
                mNamesAtOpening.insert(*NameOf(*record));
            }
}

QString CNamedRecordList::CutName(const QString& text) {
    return QString::fromStdString(DecodeCapName(EncodeCapName(text.trimmed().toStdString())));
}

QString CNamedRecordList::nameAt(std::size_t index) const {
    return index < mRecords.size() ? QString::fromStdString(*NameOf(mRecords[index])) : QString();
}

int CNamedRecordList::find(const QString& name) const {
    const std::string wanted = name.toStdString();
    for (std::size_t i = 0; i < mRecords.size(); ++i)
        if (*NameOf(mRecords[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

void CNamedRecordList::put(const fnd::Dictionary& record) {
    const std::string* name = NameOf(record);
    if (!name)
        return;
    mPutNames.insert(*name);
    const int at = find(QString::fromStdString(*name));
    if (at >= 0)
        mRecords[static_cast<std::size_t>(at)] = record;
    else if (mRecords.size() < kMaxRecords)
        mRecords.push_back(record);
}

void CNamedRecordList::remove(std::size_t index) {
    if (index < mRecords.size())
        mRecords.erase(mRecords.begin() + static_cast<std::ptrdiff_t>(index));
}

QString CNamedRecordList::untitledName(const QString& base,
                                       const std::function<bool(const QString&)>& reserved) const {
    auto used = [&](const QString& name) { return find(name) >= 0 || reserved(name); };
    if (!used(base))
        return base;
    for (int n = 2;; ++n)
        if (const QString name = QStringLiteral("%1-%2").arg(base).arg(n); !used(name))
            return name;
}

bool CNamedRecordList::save() const {
    fnd::PreferencesFile file(mPath);
    fnd::Array merged;
    std::vector<fnd::Dictionary> addedElsewhere;
    std::set<std::string> namesNow;
    if (const fnd::Array* stored = file.get(mKey).asArray())
        for (const fnd::Value& entry : *stored) {
            const fnd::Dictionary* record = entry.asDictionary();
            if (!record || !NameOf(*record) || !mHandled(*record)) {
                merged.push_back(entry);
                continue;
            }
            namesNow.insert(*NameOf(*record));
            if (!mNamesAtOpening.contains(*NameOf(*record)) &&
                find(QString::fromStdString(*NameOf(*record))) < 0)
                addedElsewhere.push_back(*record);
        }
    std::size_t handled = 0;
    for (const fnd::Dictionary& record : mRecords) {
        const std::string& name = *NameOf(record);
        const bool deletedElsewhere =
            mNamesAtOpening.contains(name) && !mPutNames.contains(name) && !namesNow.contains(name);
        if (!deletedElsewhere) {
            merged.push_back(record);
            ++handled;
        }
    }
    for (const fnd::Dictionary& record : addedElsewhere)
        if (handled < kMaxRecords) {
            merged.push_back(record);
            ++handled;
        }
    file.set(mKey, std::move(merged));
    return file.save();
}
