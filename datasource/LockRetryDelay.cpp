// The pause after each refusal of the scanner lock, alone in its file so that a test build of K3100.ds
// can link a short one in its place while the shipped module keeps this one.
#include "DataSource.h"

// Another process's scan usually ends within this; it is also what applications wait between retries.
const std::chrono::milliseconds CDataSource::kLockRetryDelay{1500};
