// The About panel: the application's icon, name, version and legal notice from its information
// dictionary. A missing key gives an empty line.
#pragma once

#include "Bundle.h"

#include <QDialog>
#include <QPointer>

namespace tlv {

class TlvAboutCntlr {
public:
    static constexpr int kIcon = 600;
    static constexpr int kName = 601;
    static constexpr int kVersion = 602;
    static constexpr int kCopyright = 603;

    explicit TlvAboutCntlr(QWidget* parent, const fnd::Bundle& bundle = fnd::Bundle::main());
    ~TlvAboutCntlr();
    TlvAboutCntlr(const TlvAboutCntlr&) = delete;
    TlvAboutCntlr& operator=(const TlvAboutCntlr&) = delete;

    QDialog* aboutPnl() const { return mAboutPnl; }
    // Centred when it is not on screen (a panel the user moved stays there), then to the front.
    void showAbout();

private:
    QPointer<QDialog> mAboutPnl;
};

} // namespace tlv
