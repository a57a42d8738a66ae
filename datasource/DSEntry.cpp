// The data source's only entry: the source manager calls it for every triplet.
#include "DataSource.h"
#include "DialogAvailability.h"

extern "C" TWAIN_EXPORT TW_UINT16 DS_Entry(pTW_IDENTITY pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                                           TW_MEMREF pData) {
    // The host may start its QApplication after loading the source.
    UpdateDialogAvailability();
    return CDataSource::Entry(pOrigin, DG, DAT, MSG, pData);
}
