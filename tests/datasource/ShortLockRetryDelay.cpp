// Linked into the test build of K3100.ds in place of the shipped pause: tests that are refused the scanner
// on purpose through the source manager wait milliseconds, not seconds, between the three attempts.
#include "DataSource.h"

const std::chrono::milliseconds CDataSource::kLockRetryDelay{10};
