#include "DialogButtons.h"

#include "Strings.h"
#include "Tags.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace appkit {

DialogButtons cancelAndOk(int cancelTag, int okTag) {
    auto* box = new QDialogButtonBox;
    auto* cancel = tagged(new QPushButton(localized("Cancel")), cancelTag);
    auto* ok = tagged(new QPushButton(localized("OK")), okTag);
    ok->setDefault(true);
    box->addButton(cancel, QDialogButtonBox::RejectRole);
    box->addButton(ok, QDialogButtonBox::AcceptRole);
    return {box, cancel, ok};
}

} // namespace appkit
