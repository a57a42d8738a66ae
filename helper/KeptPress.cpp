// The file holds the status as decimal text; its time of change is the press's.
#include "KeptPress.h"

#include <QStandardPaths>

#include <fstream>

namespace tapwell {
namespace fs = std::filesystem;

KeptPress KeptPress::forSession() {
    const fs::path folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString();
    return KeptPress(folder / "com.orvikElectronics.tapwell.press");
}

bool KeptPress::keep(std::uint32_t status) const {
    std::error_code ec;
    if (status == 0)
        return fs::remove(file_, ec) || !ec;
    std::ofstream out(file_, std::ios::trunc);
    out << status << '\n';
    return static_cast<bool>(out.flush());
}

std::uint32_t KeptPress::take(std::chrono::seconds maxAge) const {
    std::error_code ec;
    const fs::file_time_type changed = fs::last_write_time(file_, ec);
    if (ec)
        return 0;
    std::uint32_t status = 0;
    std::ifstream(file_) >> status;
    keep(0);
    const auto age = fs::file_time_type::clock::now() - changed;
    return age <= maxAge ? status : 0;
}

} // namespace tapwell
