// Stands in for a launched program (and, linked under their names, for xdg-open and xdg-email):
// writes the name it was started by and its arguments, NUL-separated, into
// "$K3100_ARGV_DIR/argv-<pid>", complete or not at all.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
    const char* dir = std::getenv("K3100_ARGV_DIR");
    if (!dir)
        return 2;
    const std::string file = std::string(dir) + "/argv-" + std::to_string(::getpid());
    {
        std::ofstream out(file + ".part", std::ios::binary);
        std::string name = argv[0];
        out << name.substr(name.rfind('/') + 1) << '\0';
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\0';
    }
    return std::rename((file + ".part").c_str(), file.c_str()) == 0 ? 0 : 1;
}
