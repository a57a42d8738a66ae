// The names under which the programs' events travel on the D-Bus session bus. A program owns its
// bundle identifier as its bus name; an event of class C with id I is method I of interface
// "<receiver id>.C" on the receiver's event object; parameters keep their four-letter keywords.
#pragma once

#include <QString>

namespace ae {

// Event classes.
inline constexpr char kClassQS[] = "thQS";
inline constexpr char kClassCore[] = "aevt";

// Event ids of class thQS, and the quit event of class aevt.
inline constexpr char kConnect[] = "Cnct";
inline constexpr char kAppData[] = "Data";
inline constexpr char kOutputCheck[] = "OpCk";
inline constexpr char kActivateWindow[] = "actW";
inline constexpr char kVersionPanel[] = "verI";
inline constexpr char kScan[] = "Scan";
inline constexpr char kQuit[] = "quit";

// Parameter keywords.
inline constexpr char kParam[] = "Parm";
inline constexpr char kParamStatus[] = "PmSt";
inline constexpr char kParamLaunched[] = "PmLa";
inline constexpr char kReturn[] = "Rtrn";

// "<receiver id>.<event class>".
QString interfaceName(const QString& receiverId, const QString& eventClass);
// "/" followed by the identifier's parts ("/com/orvikElectronics/tollivar"); characters a path may not
// hold become '_'.
QString objectPath(const QString& receiverId);

} // namespace ae
