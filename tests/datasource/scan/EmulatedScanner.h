// Gives a data source under test the emulated scanner as its device, with a session already open, as
// the data source's own set-up does for a real one.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "COrvkQS.h"
#include "Emulator.h"
#include "OrvkQSDS.h"
#include "PixenLibrary.h"

namespace test {

inline void AttachEmulatedScanner(COrvkQSDS& ds, k3100::emu::Emulator& emulator) {
    auto scanner =
        std::make_unique<k3100::COrvkQS>(k3100::SScannerDesc{k3100::kTransportUSB, emulator.vendorId(),
                                                             emulator.productId(), emulator.connect()},
                                         k3100::PixenQS880Library());
    ASSERT_EQ(scanner->OpenSession(), 0);
    ds.AttachScanner(std::move(scanner));
}

} // namespace test
