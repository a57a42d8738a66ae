// ShowAlert: a scanner error code becomes a localised alert from the string table "text". The answer
// decides the batch: OK on the no-page alert retries (2), every other shown alert cancels. A device fault
// also leaves its TWAIN condition code, so that an application can tell it from its user's cancel, and
// one the scanner reported its class, which DAT_STATUSUTF8 turns back into the alert's text.
#include <cstdio>
#include <utility>

#include "Bundle.h"
#include "ClientApp.h"
#include "OrvkQSDS.h"
#include "QSConditionCodes.h"
#include "ScannerErrors.h"
#include "scan/AlertPresenter.h"

namespace {

struct SAlertRow {
    std::uint32_t code;
    const char* key;
};

constexpr SAlertRow kAlertTable[] = {
    {2, "Memory Error Message"},
    {0x00000100, "Device Not Found Message"},
    {k3100::kScanErrPipeStalled, "Pipe Stalled Message"},
    {0x00010000, "Not Ready Message"},
    {0x00020000, "Medium Not Present Message"},
    {0x00030000, "Paper Jam Message"},
    {0x00040000, "Cover Open Message"},
    {0x00050000, "Double Feed Detect Message"},
    {0x00060000, "Lamp Error Message"},
    {0x00070000, "Hardware Error Message"},
    {0x00080000, "Illegal Request Message"},
    {0x000A0000, "Time out Error Message"},
    {0x000B0000, "Command Sequence Error Message"},
    {0x000C0000, "System Resource Failure Message"},
    {0x000F0000, "Unknown DeviceError Message"},
    {k3100::kScanErrNoDirectionModel, "No Direction Model Message"},
    {k3100::kScanErrNoPage, "No Page Message"},
    {k3100::kScanErrBlankPages, "Blank Pages Message"},
};
constexpr const char* kUnknownKey = "Unknown Error Message";

// The condition code that tells an application which fault ended its batch: the closest TWAIN code; a
// scanner that vanished or stopped answering is "check the device", the faults without a code of their
// own an operation error.
TW_UINT16 BatchFaultCondition(std::uint32_t code) {
    switch (code) {
    case k3100::kScanOk:
    case k3100::kScanErrCancelled:
    case k3100::kScanErrEndOfBatch:
        return TWCC_SUCCESS;
    case k3100::kScanErrNoMemory:
        return TWCC_LOWMEMORY;
    case k3100::kScanErrPaperJam:
        return TWCC_PAPERJAM;
    case k3100::kScanErrDoubleFeed:
        return TWCC_PAPERDOUBLEFEED;
    case k3100::kScanErrNoPaper:
    case k3100::kScanErrNoPage:
        return TWCC_NOMEDIA; // else an empty feeder looks like the application's own cancel
    case k3100::kScanErrBlankPages:
        return TWCC_OVK_BLANKPAGES;
    case k3100::kScanErrDeviceNotFound:
    case k3100::kScanErrTransferIO:
    case k3100::kScanErrPipeStalled:
    case k3100::kScanErrTimeout:
        return TWCC_CHECKDEVICEONLINE;
    default:
        return TWCC_OPERATIONERROR;
    }
}

// What TW_STATUS.Data adds to the condition code of a fault the scanner reported through its sense data:
// the class of the scanner's error (0x40000, cover open: 4), which DAT_STATUSUTF8 turns back into the
// alert's text, so that an application learns an open cover or a failed lamp and not only "operation
// error". The data source's own faults add nothing (0).
constexpr std::uint32_t kSenseClass = 0x000F0000; // the bits of an error code that name the class

TW_UINT16 FaultDetail(std::uint32_t code) {
    return (code & ~kSenseClass) == 0 ? static_cast<TW_UINT16>(code >> 16) : 0;
}

// The alert's key for an error code.
const char* AlertKey(std::uint32_t code) {
    for (const SAlertRow& row : kAlertTable)
        if (row.code == code)
            return row.key;
    return kUnknownKey;
}

// The informative text's key: the message key with its last word "Message" replaced by "Info".
std::string InfoKey(const std::string& key) {
    const std::size_t at = key.rfind("Message");
    return at == std::string::npos ? key : key.substr(0, at) + "Info";
}

// Puts number in place of the first integer conversion of a translated text. The text is never used as a
// printf format, so a translation with stray conversions cannot read beyond the one argument.
std::string FormatOneInteger(const std::string& text, std::uint32_t number) {
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2)) {
        std::size_t end = at + 1;
        while (end < text.size() && (text[end] == 'l' || text[end] == 'h'))
            ++end;
        if (end < text.size() && (text[end] == 'd' || text[end] == 'i' || text[end] == 'u'))
            return text.substr(0, at) + std::to_string(number) + text.substr(end + 1);
        if (end < text.size() && text[end] == '%')
            continue;
    }
    return text;
}

std::string Localized(const std::string& key) {
    // Looked up per alert: alerts are rare, and the bundle's folder may change between sessions.
    const std::optional<fnd::Bundle> bundle = fnd::Bundle::containing(&kAlertTable);
    return bundle ? bundle->localizedString(key, "text") : key;
}

} // namespace

SAlert COrvkQSDS::MakeAlert(std::uint32_t code) {
    const char* key = AlertKey(code);
    SAlert alert;
    alert.message = Localized(key);
    alert.information = Localized(InfoKey(key));
    if (key == kUnknownKey)
        alert.message = FormatOneInteger(alert.message, code & 0x80000000u ? code & 0x7FFFFFFFu : 0);
    alert.buttons.push_back(Localized("OK"));
    if (code == k3100::kScanErrNoPage)
        alert.buttons.push_back(Localized("Cancel"));
    return alert;
}

TW_UINT16 COrvkQSDS::ShowAlert(std::uint32_t code) {
    mConditionCode = TWCC_SUCCESS;
    const TW_UINT16 rc = PresentAlert(code);
    // A fault the user chose to retry no longer describes the batch.
    if (const TW_UINT16 fault = BatchFaultCondition(code); fault != TWCC_SUCCESS && rc != TWRC_CHECKSTATUS)
        mBatch.RecordFault(fault, FaultDetail(code));
    return rc;
}

std::optional<std::string> COrvkQSDS::StatusText(const TW_STATUS& status) const {
    const std::uint32_t code = std::uint32_t{status.Data} << 16;
    if (status.Data == 0 || (code & ~kSenseClass) != 0 || AlertKey(code) == kUnknownKey)
        return std::nullopt;
    return Localized(AlertKey(code));
}

TW_UINT16 COrvkQSDS::PresentAlert(std::uint32_t code) {
    if (code == k3100::kScanOk || code == k3100::kScanErrEndOfBatch)
        return TWRC_SUCCESS;
    if (code == k3100::kScanErrCancelled)
        return TWRC_CANCEL;
    CAlertPresenter* presenter = GetAlertPresenter();
    const CClientApp* client = CClientApp::Current();
    const bool backgroundOnly = client && client->IsBackgroundOnly();
    if (mUIController && !backgroundOnly)
        mUIController->setScanPanelWorksWhenModal(false);
    const std::optional<std::size_t> choice =
        presenter ? presenter->RunAlert(MakeAlert(code), backgroundOnly) : std::nullopt;
    if (mUIController && !backgroundOnly)
        mUIController->setScanPanelWorksWhenModal(true);
    // An error nobody saw must not let the batch run on as if nothing happened.
    if (!choice)
        return TWRC_CANCEL;
    return code == k3100::kScanErrNoPage && *choice == 0 ? TWRC_CHECKSTATUS : TWRC_CANCEL;
}

TW_UINT16 COrvkQSDS::GetStatus(pTW_IDENTITY origin, TW_MEMREF data) {
    const TW_UINT16 rc = CDataSource::GetStatus(origin, data);
    auto* status = static_cast<TW_STATUS*>(data);
    if (rc == TWRC_SUCCESS && status->ConditionCode == TWCC_SUCCESS)
        *status = mBatch.TakeFault();
    return rc;
}
