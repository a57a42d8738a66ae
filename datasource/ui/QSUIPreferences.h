// The dialog's keys in the data source's preferences file, the window frame stored there as text
// "{{x, y}, {width, height}}", a palette's position as "{x, y}" (top-left origins) and the frame round
// a window as "{left, top, right, bottom}".
#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QWidget;

inline constexpr char kPrefWindowFrame[] = "WindowFrame";
inline constexpr char kPrefSetupSequenceWindowFrame[] = "SetupSequenceWindowFrame";
inline constexpr char kPrefSettingMode[] = "SettingMode"; // 0 simple mode, 1 advanced mode
inline constexpr char kPrefRollerExchangeMessageNotDisplayed[] = "RollerExchangeMessageNotDisplayed";
inline constexpr char kPrefPadExchangeMessageNotDisplayed[] = "PadExchangeMessageNotDisplayed";
inline constexpr char kPrefResetMessageNotDisplayed[] = "ResetMessageNotDisplayed";
inline constexpr char kPrefImagePalettePosition[] = "ImagePalettePosition";
inline constexpr char kPrefGammaPalettePosition[] = "GammaPalettePosition";
inline constexpr char kPrefPreferencePalettePosition[] = "PreferencePalettePosition";
inline constexpr char kPrefShowImagePalette[] = "ShowImagePalette";
inline constexpr char kPrefShowGammaPalette[] = "ShowGammaPalette";
inline constexpr char kPrefShowPreferencePalette[] = "ShowPreferencePalette";
// The frame round the dialog's windows that their places are judged by, in the screen's pixels.
inline constexpr char kPrefWindowFrameMargins[] = "WindowFrameMargins";

QString FrameString(const QRect& frame);
std::optional<QRect> ParseFrameString(const QString& text);
// The screen frame the frame overlaps most, or the first when it overlaps none; empty without screens.
QRect ScreenOf(const QRect& frame, const QList<QRect>& screens);
// The frame moved (and shrunk when needed) onto the screen it overlaps most, or onto the first screen
// when it overlaps none; unchanged without screens.
QRect ClampToScreens(const QRect& frame, const QList<QRect>& screens);

QString PointString(const QPoint& point);
std::optional<QPoint> ParsePointString(const QString& text);
QString MarginsString(const QMargins& margins);
std::optional<QMargins> ParseMarginsString(const QString& text);
// The available frames of the screens, the primary first.
QList<QRect> AvailableScreenFrames();
// The window's frame round its contents, its borders and title bar, as the window manager gives it once
// the window is shown; till then the largest of those of the program's windows on the screen (each side
// on its own), else FrameAllowance: placed by it, a window keeps its whole frame on the screen however
// it is framed.
QMargins WindowFrameMargins(const QWidget* window);
// Room for a frame not known yet: a title bar and borders of the style's make, with as much border again
// above and below (window managers draw thicker title bars and handles below), in the window's
// coordinates, at the desktop's scale.
QMargins FrameAllowance(const QWidget* window);
