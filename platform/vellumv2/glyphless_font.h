// The font of the invisible text layer: every character code maps to one empty glyph of fixed width, so
// the layer needs no real font, and ToUnicode gives readers the text back for search and copy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vlm {

constexpr int kGlyphWidth = 500;   // advance of every glyph, 1/1000 of the font size
constexpr int kGlyphHeight = 1000; // ascent, 1/1000 of the font size

// A minimal TrueType font with .notdef and one empty glyph.
std::vector<uint8_t> glyphlessTrueType();

// CIDToGIDMap stream: every 16-bit code to glyph 1.
std::string cidToGlyphMap();

// ToUnicode CMap: code = UTF-16 code unit.
std::string toUnicodeCMap();

} // namespace vlm
