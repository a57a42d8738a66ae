// Which handler answers each triplet and in which states it may run. A triplet outside its states fails
// with TWCC_SEQERROR before its handler is called; one missing from the table with TWCC_BADPROTOCOL.
#include "DataSource.h"

namespace {

using DS = CDataSource;
constexpr std::uint32_t kAny = DS::kAnyState;
constexpr std::uint32_t kOpenOnly = StateBit(DS::kOpen);
constexpr std::uint32_t kEnabledOnly = StateBit(DS::kEnabled);
constexpr std::uint32_t kTransfer = StateBit(DS::kXferReady) | StateBit(DS::kTransferring);
constexpr std::uint32_t kOpenToXferReady = kOpenOnly | kEnabledOnly | StateBit(DS::kXferReady);

} // namespace

// Close runs in every state and always ends the session, so the scanner lock is never left behind. A
// manager opening the source a second time hands its entry points again and asks for the open before
// it unloads on any refusal: both are taken in every state, and the open answers itself without harm.
// The layout is read while open and, like the capabilities, set or reset only before the enable: a batch
// keeps the frame it was enabled with.
const CDataSource::STripletRow CDataSource::sTripletHandlers[] = {
    {DG_CONTROL, DAT_IDENTITY, MSG_GET, &DS::GetIdentity, kAny},
    {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &DS::OpenDS, kAny},
    {DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &DS::CloseDS, kAny},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &DS::EnableDS, kOpenOnly},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &DS::EnableDSUIOnly, kOpenOnly},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &DS::DisableDS, kEnabledOnly},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GET, &DS::GetCapability, DS::kNotClosed},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &DS::GetCurrentCapability, DS::kNotClosed},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, &DS::GetDefaultCapability, DS::kNotClosed},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, &DS::ResetCapability, kOpenOnly},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET, &DS::SetCapability, kOpenOnly},
    {DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, &DS::QuerySupportCapability, kNotClosed},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, &DS::ResetAllCapabilities, kOpenOnly},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &DS::PendingEndXfers, kTransfer},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &DS::GetPendingXfers, DS::kNotClosed},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &DS::ResetPendingXfers, kTransfer},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_STOPFEEDER, &DS::StopFeeder, kTransfer},
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &DS::SetupMemXfer, kOpenToXferReady},
    {DG_CONTROL, DAT_STATUS, MSG_GET, &DS::GetStatus, kAny},
    {DG_CONTROL, DAT_STATUSUTF8, MSG_GET, &DS::GetStatusUTF8, kAny},
    {DG_CONTROL, DAT_XFERGROUP, MSG_GET, &DS::GetXferGroup, kOpenToXferReady},
    {DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &DS::GetDeviceEvent, kAny},
    {DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, &DS::PassThru, kAny},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &DS::GetImageLayout, DS::kNotClosed},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, &DS::GetDefaultImageLayout, DS::kNotClosed},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, &DS::ResetImageLayout, kOpenOnly},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &DS::SetImageLayout, kOpenOnly},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &DS::GetImageInfo, kTransfer},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &DS::ImageMemXfer, kTransfer},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &DS::ImageNativeXfer, kTransfer},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, &DS::ImageFileXfer, kTransfer},
    {DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &DS::SetEntryPoint, kAny},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &DS::GetSetupFileXfer, kOpenToXferReady},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, &DS::GetDefaultSetupFileXfer, kOpenToXferReady},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &DS::SetSetupFileXfer, kOpenToXferReady},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, &DS::ResetSetupFileXfer, kOpenOnly},
};
const std::size_t CDataSource::TRIPLETHANDLER_COUNT = std::size(sTripletHandlers);
