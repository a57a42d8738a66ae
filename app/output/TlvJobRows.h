// The ten job rows as loaded from a stored list: exactly one row per job number 1..10, whatever the
// stored list holds (gaps, duplicates, numbers out of range), and each scanner button on one row at
// most.
#pragma once

#include "TlvJobListSettingMdl.h"
#include "Value.h"

#include <memory>
#include <vector>

// Rows from the position-keyed dictionary ("0".."9"): a stored job keeps its position; one whose
// number is missing, out of range or already taken is dropped; free positions get unused slots
// for the free numbers, in order.
std::vector<std::shared_ptr<TlvJobListSettingMdl>> TlvJobRowsFromDict(const fnd::Dictionary& positions);
// Leaves each button on the first row that holds it; the others lose it.
void TlvJobRowsKeepButtonsUnique(std::vector<std::shared_ptr<TlvJobListSettingMdl>>& rows);
