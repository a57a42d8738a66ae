// The triplets a data source answers and the states each is allowed in, written down independently of
// the data source's own table so that a wrong row there shows up.
#pragma once

#include <initializer_list>

#include "twain.h"

namespace test {

enum : int { kClosed = 0, kOpen = 1, kEnabled = 2, kXferReady = 4 };
// DAT_DEVICEEVENT and DAT_PASSTHRU belong to the scanner, which does not take them yet.
constexpr unsigned kNever = 0;

struct Triplet {
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    unsigned states; // bit n: allowed in state n
    const char* name;
};

constexpr unsigned Bits(std::initializer_list<int> states) {
    unsigned bits = 0;
    for (int state : states)
        bits |= 1u << state;
    return bits;
}

constexpr unsigned kWhileOpen = Bits({kOpen, kEnabled, kXferReady});

inline const Triplet kTriplets[] = {
    {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, Bits({kClosed}) | kWhileOpen, "OPENDS"},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, Bits({kOpen}), "ENABLEDS"},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, Bits({kOpen}), "ENABLEDSUIONLY"},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, Bits({kEnabled}), "DISABLEDS"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GET, kWhileOpen, "CAP GET"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, kWhileOpen, "CAP GETCURRENT"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, kWhileOpen, "CAP GETDEFAULT"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, Bits({kOpen}), "CAP RESET"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET, Bits({kOpen}), "CAP SET"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, kWhileOpen, "CAP QUERYSUPPORT"},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, Bits({kOpen}), "CAP RESETALL"},
    {DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, Bits({kClosed}) | kWhileOpen, "ENTRYPOINT SET"},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, kWhileOpen, "SETUPFILEXFER GET"},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, kWhileOpen, "SETUPFILEXFER GETDEFAULT"},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, kWhileOpen, "SETUPFILEXFER SET"},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, Bits({kOpen}), "SETUPFILEXFER RESET"},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, Bits({kXferReady}), "ENDXFER"},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, kWhileOpen, "PENDINGXFERS GET"},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, Bits({kXferReady}), "PENDINGXFERS RESET"},
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, kWhileOpen, "SETUPMEMXFER"},
    {DG_CONTROL, DAT_XFERGROUP, MSG_GET, kWhileOpen, "XFERGROUP"},
    {DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, kWhileOpen, "DEVICEEVENT"},
    {DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, kNever, "PASSTHRU"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, kWhileOpen, "IMAGELAYOUT GET"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, kWhileOpen, "IMAGELAYOUT GETDEFAULT"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, Bits({kOpen}), "IMAGELAYOUT RESET"},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, Bits({kOpen}), "IMAGELAYOUT SET"},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, Bits({kXferReady}), "IMAGEINFO"},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, Bits({kXferReady}), "IMAGEMEMXFER"},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, Bits({kXferReady}), "IMAGENATIVEXFER"},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, Bits({kXferReady}), "IMAGEFILEXFER"},
};

} // namespace test
