// Texts are QString (UTF-16), so lengths and ranges count the same units as the text fields that
// the names come from.
#include "TlvUtilsMethod.h"

const QString& TlvUtilsMethod::invalidFileNameChars() {
    static const QString chars = QStringLiteral("\u00A5/:*?<>|\"");
    return chars;
}

bool TlvUtilsMethod::isValidNameInString(const QString& name) {
    for (const QChar c : name)
        if (invalidFileNameChars().contains(c))
            return false;
    return true;
}

bool TlvUtilsMethod::isHeadCharDotInString(const QString& text) {
    return text.startsWith(u'.');
}

std::optional<QString> TlvUtilsMethod::deleteString(const QString& part, const QString& text) {
    const qsizetype at = part.isEmpty() ? -1 : text.indexOf(part);
    if (at < 0)
        return std::nullopt;
    return QString(text).remove(at, part.size());
}

std::optional<QString> TlvUtilsMethod::deleteSpaceHeadAndTail(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    return text.trimmed();
}

TlvUtilsMethod::Range TlvUtilsMethod::rangeOfCharInStrByOption(const QString& chars, const QString& text,
                                                               int option) {
    if (chars.isEmpty() || text.isEmpty())
        return {0, 0};
    const Qt::CaseSensitivity cs = option & kCaseInsensitiveSearch ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool backwards = option & kBackwardsSearch;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype at = backwards ? text.size() - 1 - i : i;
        if (chars.contains(text.at(at), cs))
            return {at, 1};
    }
    return {kNotFound, 0};
}
