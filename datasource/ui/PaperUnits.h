// Lengths of the user's papers: kept in 1/1200 inch, shown and typed in pixels (at a resolution),
// inches or millimetres.
#pragma once

#include <QLocale>
#include <QString>

enum class EPaperUnit : int { Pixels = 0, Inches = 1, Millimetres = 2 };

inline constexpr float kMinPaperWidth = 2362;
inline constexpr float kMinPaperHeight = 2546;

struct SPaperUnitInput {
    QString validCharacters;
    int maxLength;
};

SPaperUnitInput PaperUnitInput(EPaperUnit unit);
// The length as shown in the unit; pixels at a resolution of 0 or less show 0.
QString FormatPaperLength(float units, EPaperUnit unit, float resolution);
// The typed text in 1/1200 inch: read in the locale, else with "." as separator; not a number reads 0,
// as do pixels at a resolution of 0 or less.
float ParsePaperLength(const QString& text, EPaperUnit unit, float resolution, const QLocale& locale);
// At most the physical length, then at least the minimum.
float ClampPaperLength(float units, float physical, float minimum);
