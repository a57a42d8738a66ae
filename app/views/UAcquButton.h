// The image factory of the image buttons: button IDs (as interface files give them) to the images of
// the application's resources, and the stretching of three-piece images (left cap, middle, right cap).
// Main thread only.
#pragma once

#include "ViewImage.h"

#include <QPixmap>
#include <QSize>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>

struct ButtonIDRow {
    std::int32_t id;
    std::string name;
};

class UAcquButton {
public:
    // The shared factory, made on first use; terminate() lets it and its images go.
    static UAcquButton& sharedAcquButton();
    static void terminate();

    // Every known button ID with its image name, in ascending ID order.
    static std::span<const ButtonIDRow> buttonIDTable();

    // The image of a known ID; null for IDs below 1, unknown IDs and missing resources (a missing
    // resource is logged once per ID).
    std::shared_ptr<const ViewImage> imageWithButtonID(std::int32_t id);

    // pieces[0..2] as left cap, middle stretched to fill the rest, right cap, on a frame-sized pixmap
    // for that device pixel ratio. A frame narrower than both caps gets a middle of width 0. Null with
    // fewer than three pieces.
    static QPixmap cerateButtonImage(std::span<const std::shared_ptr<const ViewImage>> pieces, QSize frame,
                                     qreal dpr);

private:
    UAcquButton() = default;

    std::map<std::int32_t, std::shared_ptr<const ViewImage>> mImages;
    std::set<std::int32_t> mLoggedMissing;
};
