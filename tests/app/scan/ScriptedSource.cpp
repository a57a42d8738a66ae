// The scripted data source's DS_Entry. Its identity is chosen when it is built: the data source's own
// texts length-prefixed (SCRIPTED_IDENTITY 0) or zero-terminated (1), or fields filled to the last byte
// with no length and no terminator (2).
#include "ScriptedSource.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "DataSourceIdentity.h"
#include "QSCapIds.h"

namespace {

SScriptedSource sScript;

void WriteText(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
#if SCRIPTED_IDENTITY == 0
    field[0] = static_cast<char>(std::strlen(text));
    std::memcpy(field + 1, text, std::strlen(text));
#elif SCRIPTED_IDENTITY == 1
    std::memcpy(field, text, std::strlen(text));
#else
    (void)text;
    std::memset(field, 'O', sizeof field);
#endif
}

TW_UINT16 Identity(TW_IDENTITY& id) {
    const TW_UINT32 given = id.Id;
    id = TW_IDENTITY{};
    id.Id = given;
    id.ProtocolMajor = TWON_PROTOCOLMAJOR;
    id.ProtocolMinor = TWON_PROTOCOLMINOR;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
    WriteText(id.Version.Info, kDSVersionInfo);
    WriteText(id.Manufacturer, kDSManufacturer);
    WriteText(id.ProductFamily, kDSProductFamily);
    WriteText(id.ProductName, kDSProductName);
    return TWRC_SUCCESS;
}

TW_UINT16 Resolved(TW_UINT16 cap) {
    static const std::set<TW_UINT16> twinned{
        ICAP_BRIGHTNESS,     ICAP_CONTRAST,      CCAP_OVK_DROPOUT,     CCAP_OVK_COLORENHANCE,
        CCAP_OVKM_GRAYCURVE, CCAP_OVKM_REDCURVE, CCAP_OVKM_GREENCURVE, CCAP_OVKM_BLUECURVE,
        CCAP_OVKM_GRAYGAMMA, CCAP_OVKM_REDGAMMA, CCAP_OVKM_GREENGAMMA, CCAP_OVKM_BLUEGAMMA};
    return sScript.window == kWindowBack && twinned.count(cap) ? BackTwin(cap) : cap;
}

TW_UINT16 Set(const TW_CAPABILITY& cap) {
    sScript.sets.push_back(cap.Cap);
    if (const auto refused = sScript.refuseSet.find(cap.Cap); refused != sScript.refuseSet.end())
        return refused->second;
    if (cap.ConType != TWON_ONEVALUE || !cap.hContainer)
        return TWRC_FAILURE;
    // The application's containers are C-heap blocks sized for their item.
    const auto* block = static_cast<const std::uint8_t*>(static_cast<TW_HANDLE>(cap.hContainer));
    TW_UINT16 itemType = 0;
    std::memcpy(&itemType, block, sizeof itemType);
    const std::size_t size = offsetof(TW_ONEVALUE, Item) + std::max<std::size_t>(twainItemSize(itemType), 4);
    const std::vector<std::uint8_t> bytes(block, block + size);
    if (cap.Cap == CCAP_OVK_WINDOW)
        std::memcpy(&sScript.window, bytes.data() + offsetof(TW_ONEVALUE, Item), sizeof sScript.window);
    sScript.containers[Resolved(cap.Cap)] = bytes;
    return TWRC_SUCCESS;
}

TW_UINT16 GetCurrent(TW_CAPABILITY& cap) {
    const auto kept = sScript.containers.find(Resolved(cap.Cap));
    if (sScript.refuseGet.count(cap.Cap) || kept == sScript.containers.end())
        return TWRC_FAILURE;
    cap.ConType = TWON_ONEVALUE;
    cap.hContainer = std::calloc(1, kept->second.size());
    std::memcpy(static_cast<TW_HANDLE>(cap.hContainer), kept->second.data(), kept->second.size());
    return TWRC_SUCCESS;
}

} // namespace

SScriptedSource* ScriptedSourceScript() {
    return &sScript;
}

extern "C" TWAIN_EXPORT TW_UINT16 DS_Entry(pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                           TW_MEMREF data) {
    if (dg != DG_CONTROL || !data)
        return TWRC_FAILURE;
    if (dat == DAT_IDENTITY && msg == MSG_GET)
        return Identity(*static_cast<TW_IDENTITY*>(data));
    if (dat == DAT_IDENTITY && (msg == MSG_OPENDS || msg == MSG_CLOSEDS))
        return TWRC_SUCCESS;
    if (dat == DAT_CAPABILITY && msg == MSG_SET)
        return Set(*static_cast<TW_CAPABILITY*>(data));
    if (dat == DAT_CAPABILITY && msg == MSG_GETCURRENT)
        return GetCurrent(*static_cast<TW_CAPABILITY*>(data));
    if (dat == DAT_STATUS && msg == MSG_GET) {
        *static_cast<TW_STATUS*>(data) = TW_STATUS{};
        return TWRC_SUCCESS;
    }
    return TWRC_FAILURE;
}
