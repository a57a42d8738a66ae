// The arithmetic of the tone-curve editor, apart from its widget: points of the editor's inner area
// (origin (1, 1), larger outputs higher up) to table entries and gamma values.
#pragma once

#include <QPointF>
#include <QSizeF>

#include <array>
#include <cstdint>
#include <span>

using ToneTable = std::array<std::uint8_t, 256>;

// Gamma values the editor offers.
inline constexpr float kMinimumGamma = 0.2f;
inline constexpr float kMaximumGamma = 5.0f;

ToneTable IdentityToneTable();
// Keeps a point the mouse reports within the inner area, as the editor reads it.
QPointF ClampCurvePoint(QPointF point, QSizeF inner);
// A free-hand stroke from previous to current: the entries between them follow the straight line,
// the far end excluded (a vertical stroke writes nothing).
void DrawCurveSegment(std::span<std::uint8_t, 256> table, QPointF previous, QPointF current, QSizeF inner);
// The strokes through the points in order, each point clamped first.
ToneTable CurveThroughPoints(ToneTable table, std::span<const QPointF> points, QSizeF inner);
// The gamma whose curve passes through the point, within the offered range.
float GammaAtPoint(QPointF point, QSizeF inner);
