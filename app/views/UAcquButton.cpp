// The ID table is built from families, as the IDs were handed out: a family's base plus k names the
// family's prefix plus its k-th state suffix.
#include "UAcquButton.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

std::unique_ptr<UAcquButton>& shared() {
    static std::unique_ptr<UAcquButton> instance;
    return instance;
}

std::vector<ButtonIDRow> makeTable() {
    std::vector<ButtonIDRow> rows;
    const auto modeButtons = [&rows](std::int32_t base, const char* tag) {
        const std::string b = std::string("HD_") + tag + "Btn";
        for (const std::string& name :
             {b + "_J_A_E", b + "A_J_A_ET", b + "_J_E", b + "_J_P", b + "_J_H", b + "_J_ET", b + "_J_HT"})
            rows.push_back({base++, name});
    };
    const auto family = [&rows](std::int32_t base, const char* prefix, const char* normal, int states) {
        const std::array<const char*, 6> suffixes = {normal, "P", "G", "H", "ET", "HT"};
        for (int k = 0; k < states; ++k)
            rows.push_back({base + k, std::string(prefix) + suffixes[static_cast<std::size_t>(k)]});
    };
    modeButtons(1000, "F");
    modeButtons(1010, "J");
    family(10000, "BT_SMALL_L_", "N", 6);
    family(10010, "BT_SMALL_C_", "N", 6);
    family(10020, "BT_SMALL_R_", "N", 6);
    family(10100, "FT_Helpbtn_J_", "E", 6);
    family(10200, "TOP_F_Sbtn_J_", "E", 6);
    std::int32_t base = 10300;
    for (const char* prefix :
         {"FUNC_F_SAVEbtn_J_", "FUNC_F_MAPIbtn_J_", "FUNC_F_PRINTbtn_J_", "FUNC_F_APPbtn_J_"})
        family(std::exchange(base, base + 100), prefix, "E", 6);
    for (const char* prefix :
         {"TB_PT_J_", "TB_PP_J_", "TB_PN_J_", "TB_PL_J_", "TB_ZI_J_", "TB_ZO_J_", "TB_PRL_J_", "TB_PRR_J_"})
        family(std::exchange(base, base + 100), prefix, "E", 4);
    family(11500, "Info_BTN_Large_J_", "E", 6);
    family(11600, "Info_BTN_Small_J_", "E", 6);
    family(11700, "BT_LARGE_L_", "N", 6);
    family(11710, "BT_LARGE_C_", "N", 6);
    family(11720, "BT_LARGE_R_", "N", 6);
    family(11800, "FT_Setting_J_", "E", 6);
    return rows;
}

} // namespace

UAcquButton& UAcquButton::sharedAcquButton() {
    auto& instance = shared();
    if (!instance)
        instance.reset(new UAcquButton);
    return *instance;
}

void UAcquButton::terminate() {
    shared().reset();
}

std::span<const ButtonIDRow> UAcquButton::buttonIDTable() {
    static const std::vector<ButtonIDRow> table = makeTable();
    return table;
}

std::shared_ptr<const ViewImage> UAcquButton::imageWithButtonID(std::int32_t id) {
    if (id < 1)
        return nullptr;
    const auto table = buttonIDTable();
    const auto row = std::lower_bound(table.begin(), table.end(), id,
                                      [](const ButtonIDRow& r, std::int32_t want) { return r.id < want; });
    if (row == table.end() || row->id != id)
        return nullptr;
    if (const auto known = mImages.find(id); known != mImages.end())
        return known->second;
    auto image = ViewImage::named(row->name);
    if (!image && mLoggedMissing.insert(id).second)
        std::fprintf(stderr, "tollivar: no image \"%s\" for button ID %d\n", row->name.c_str(),
                     static_cast<int>(id));
    if (image)
        mImages.emplace(id, image);
    return image;
}

QPixmap UAcquButton::cerateButtonImage(std::span<const std::shared_ptr<const ViewImage>> pieces, QSize frame,
                                       qreal dpr) {
    if (pieces.size() < 3 || frame.isEmpty() || !pieces[0] || !pieces[1] || !pieces[2])
        return {};
    const ViewImage &left = *pieces[0], &middle = *pieces[1], &right = *pieces[2];
    QPixmap out(frame * dpr);
    out.setDevicePixelRatio(dpr);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.drawPixmap(0, 0, left.pixmap(dpr));
    const int middleWidth = std::max(0, frame.width() - (left.size().width() + right.size().width()));
    if (middleWidth > 0)
        painter.drawPixmap(QRect(left.size().width(), 0, middleWidth, middle.size().height()),
                           middle.pixmap(dpr));
    painter.drawPixmap(frame.width() - right.size().width(), 0, right.pixmap(dpr));
    return out;
}
