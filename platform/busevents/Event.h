// One event between the programs: its class ("thQS", "aevt"), its id ("Cnct", "quit") and its
// parameters.
#pragma once

#include "Parameters.h"

#include <QString>

namespace ae {

struct Event {
    QString eventClass;
    QString eventId;
    Parameters parameters;
};

} // namespace ae
