// User gammas: named tone settings kept in the data source's preferences file under "UserGammaDatas",
// one record per name with the input-method mask, the gamma and the curve of each of the eight tone
// channels. A record read back is used only when every field is there and within its bounds.
#pragma once

#include "ToneCurve.h"
#include "Value.h"

#include <QString>

#include <cstddef>
#include <vector>

class CCapPool;

// Names are cut to this many UTF-16 units when stored.
inline constexpr int kUserGammaNameLength = 32;

// True when the record holds a name of 1 to 32 units, a method mask of the eight channels, eight gammas
// within the editor's range and eight curves of 256 entries.
bool IsUsableUserGamma(const fnd::Dictionary& record);
// The usable records of a list, in order; damaged counts the records left out.
std::vector<fnd::Dictionary> UsableUserGammas(const fnd::Array& list, std::size_t& damaged);

// A record of the pool's tone settings under name. Channels from..to (0 to 3) are read from the pool,
// the rest stay neutral (gamma 1.0, the identity curve); backFromFront fills the back channels from the
// front capabilities, as a prescanned page knows only one side's settings.
fnd::Dictionary UserGammaFromPool(const CCapPool* pool, const QString& name, int from, int to,
                                  bool backFromFront);
// Writes a usable record's method mask, gammas and curves into the pool.
void ApplyUserGamma(CCapPool* pool, const fnd::Dictionary& record);
