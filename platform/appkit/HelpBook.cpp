#include "HelpBook.h"

#include "Launcher.h"

#include <QUrl>

#include <filesystem>
#include <string>
#include <system_error>

namespace appkit {

bool openHelpBook(const fnd::Bundle& bundle, const QString& anchor) {
    const std::string* book = bundle.infoValue("CFBundleHelpBookName").asString();
    // The book is a folder of the resources, named without a path.
    if (!book || book->empty() || book->find('/') != std::string::npos || *book == "..")
        return false;
    const std::filesystem::path page = bundle.resourceFolder() / *book / "index.html";
    std::error_code error;
    if (!std::filesystem::is_regular_file(page, error))
        return false;
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
    url.setFragment(anchor);
    return ws::openUrl(url.toString().toStdString());
}

} // namespace appkit
