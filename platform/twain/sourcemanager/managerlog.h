// The source manager's only output: one line on stderr per event an installer or developer must see.
#pragma once

#include <string_view>

namespace twain::dsm {

void logLine(std::string_view text) noexcept;

} // namespace twain::dsm
