// The names on the process's one notification centre, between the data source, its dialog and the
// host application that loaded it; each is spelled here only.
#pragma once

// The dialog asks for a scan, a preview or a re-scan; the data source leaves its answer under "Result".
inline constexpr char kXferReadyNotification[] = "XferReadyNotification";
// The dialog's window is closing: the object says whether the settings are kept.
inline constexpr char kCloseRequestNotification[] = "CloseRequestNotification";
// The dialog's OK: close the data source keeping the settings the object holds.
inline constexpr char kCloseDSOkayNotification[] = "CloseDSOkayNotification";
// The scanner reported a device event that the application asked for.
inline constexpr char kDeviceEventNotification[] = "DeviceEventNotification";
// The application's own message, for a data source inside the application's own folder.
inline constexpr char kDSMNotification[] = "DSM Notification";
// The host is quitting.
inline constexpr char kApplicationWillTerminateNotification[] = "ApplicationWillTerminateNotification";
// The dialog's preview picture is to be freed.
inline constexpr char kDestroyImageRequestNotification[] = "DestroyImageRequestNotification";
// One of the data source's windows is about to be shown or taken off: the object is the window.
inline constexpr char kShowQSWindowNotification[] = "ShowQSWindowNotification";
inline constexpr char kHideQSWindowNotification[] = "HideQSWindowNotification";
// The area drawn on the preview moves, and is let go.
inline constexpr char kCropChangingNotification[] = "PreviewFrameCropChanging";
inline constexpr char kCropChangedNotification[] = "PreviewFrameCropChanged";
