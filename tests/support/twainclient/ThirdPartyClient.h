// What every other maker's TWAIN application in the tests does before it scans: it names itself as a
// TWAIN 2 application and finds this scanner's data source in the source manager's list.
#pragma once

#include "twain.h"

#include <cstring>
#include <functional>

namespace test {

// A TWAIN 2 application of another maker, named product.
inline TW_IDENTITY ThirdPartyIdentity(const char* product) {
    TW_IDENTITY app{};
    app.ProtocolMajor = 2;
    app.ProtocolMinor = 4;
    app.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2;
    std::strcpy(app.Manufacturer, "Third Party Inc.");
    std::strcpy(app.ProductFamily, "Imaging");
    std::strncpy(app.ProductName, product, sizeof app.ProductName - 1);
    return app;
}

// Walks the manager's list (manager: its DG_CONTROL triplets) to the first source whose product name
// holds "K-3100"; the walk's last return code, TWRC_SUCCESS when found.
inline TW_UINT16 FindScannerSource(const std::function<TW_UINT16(TW_UINT16, TW_UINT16, TW_MEMREF)>& manager,
                                   TW_IDENTITY& found) {
    TW_UINT16 rc = manager(DAT_IDENTITY, MSG_GETFIRST, &found);
    while (rc == TWRC_SUCCESS && !std::strstr(found.ProductName, "K-3100"))
        rc = manager(DAT_IDENTITY, MSG_GETNEXT, &found);
    return rc;
}

} // namespace test
