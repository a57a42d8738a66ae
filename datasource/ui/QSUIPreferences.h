// The dialog's keys in the data source's preferences file, and the window frame stored there as text
// "{{x, y}, {width, height}}" (top-left origin).
#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

inline constexpr char kPrefWindowFrame[] = "WindowFrame";
inline constexpr char kPrefSetupSequenceWindowFrame[] = "SetupSequenceWindowFrame";
inline constexpr char kPrefSettingMode[] = "SettingMode"; // 0 simple mode, 1 advanced mode
inline constexpr char kPrefRollerExchangeMessageNotDisplayed[] = "RollerExchangeMessageNotDisplayed";
inline constexpr char kPrefPadExchangeMessageNotDisplayed[] = "PadExchangeMessageNotDisplayed";

QString FrameString(const QRect& frame);
std::optional<QRect> ParseFrameString(const QString& text);
// The frame moved (and shrunk when needed) onto the screen it overlaps most, or onto the first screen
// when it overlaps none; unchanged without screens.
QRect ClampToScreens(const QRect& frame, const QList<QRect>& screens);
