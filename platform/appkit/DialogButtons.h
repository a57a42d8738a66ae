// Cancel and OK of a panel, each with its tag, in the order the desktop's style puts them, OK the
// default button, so that every panel of the programs agrees with the desktop and with each other.
#pragma once

class QDialogButtonBox;
class QPushButton;

namespace appkit {

struct DialogButtons {
    QDialogButtonBox* box; // owns both buttons; the caller puts it into a layout
    QPushButton* cancel;
    QPushButton* ok;
};

DialogButtons cancelAndOk(int cancelTag, int okTag);

} // namespace appkit
