// The helper's About window: the main application's icon, name, version and copyright, so that it
// describes the product even while the main application is not running. Ctrl+W closes it.
#pragma once

#include "Bundle.h"

#include <QWidget>

namespace tapwell {

class Tapwell_AboutWindow final : public QWidget {
public:
    static constexpr int kImageTag = 600;
    static constexpr int kNameTag = 601;
    static constexpr int kVersionTag = 602;
    static constexpr int kCopyrightTag = 603;

    Tapwell_AboutWindow();

    // Fills the views from the main application's information (the helper's own when that has no
    // "CFBundleName", as when the main application is not found): its icon ("CFBundleIconFile") or the
    // helper's own, "CFBundleName", VXVersion directly followed by "CFBundleShortVersionString" (empty
    // without a short version) and "NSHumanReadableCopyright"; missing texts stay empty.
    void awakeFromNib(const fnd::Bundle& found);
    // Brings the window to the front, centred on the screen when it was not showing.
    void openVersionPanel();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tapwell
