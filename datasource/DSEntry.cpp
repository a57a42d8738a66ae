// The data source's only entry: the source manager calls it for every triplet.
#include "DataSource.h"

extern "C" TWAIN_EXPORT TW_UINT16 DS_Entry(pTW_IDENTITY pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                                           TW_MEMREF pData) {
    return CDataSource::Entry(pOrigin, DG, DAT, MSG, pData);
}
