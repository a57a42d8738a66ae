#include "QSPaperSize.h"

#include "CapNames.h"

QSizeF PaperSizeForCode(const fnd::Dictionary* papers, std::int32_t code, const std::string& customName,
                        QSizeF physical) {
    const fnd::Dictionary* paper = nullptr;
    if (code >= 0)
        paper = FindPaper(papers, "OriginalPapers",
                          [code](const fnd::Dictionary& entry) { return entry.get("ID").asInt32() == code; });
    else if (code != -1 && !customName.empty())
        paper = FindPaper(papers, "CustomPapers", [&customName](const fnd::Dictionary& entry) {
            const std::string* name = entry.get("Name").asString();
            // The stored name may be the cut form of a longer one.
            return name && SameCapName(*name, customName);
        });
    if (!paper)
        return physical;
    return QSizeF(paper->get("Width").asDouble().value_or(physical.width()),
                  paper->get("Height").asDouble().value_or(physical.height()));
}
