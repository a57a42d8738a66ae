// Whether the data source is embedded in its host: the host is one of this maker's applications and has
// registered itself in the shared foundation as the one that takes the data source's messages.
#pragma once

// True when the registered embedding host is one of this maker's applications; where the program or
// the data source lies plays no part.
bool IsEmbeddedInHost();
