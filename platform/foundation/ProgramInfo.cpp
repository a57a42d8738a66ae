#include "ProgramInfo.h"

#include <cstdio>

namespace fnd {

std::string_view productVersion() {
    return K3100_VERSION;
}

std::optional<int> answerInfoOption(int argc, const char* const* argv, std::string_view program,
                                    std::string_view usage) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fwrite(usage.data(), 1, usage.size(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("%.*s %.*s\n", int(program.size()), program.data(), int(productVersion().size()),
                        productVersion().data());
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace fnd
