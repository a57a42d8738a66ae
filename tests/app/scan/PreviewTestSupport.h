// What the preview tests share: a main controller's stand-in holding pages with their records, raw files
// and thumbnails; a host window carrying the preview's controls by tag around an empty preview area;
// and pages of a known picture (a coloured corner mark, so a turn shows where it went).
#pragma once

#include "ImgInfoKeys.h"
#include "Tags.h"
#include "TlvPreviewCntlr.h"
#include "TlvPreviewHost.h"
#include "TlvUtilsMethod.h"
#include "ViewImage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstring>
#include <unistd.h>

namespace test {

// A 24-bit page: light grey paper, a red block at its top-left corner and a blue one at its
// bottom-left, so each quarter turn puts them somewhere else.
inline QImage markedPage(int width, int height) {
    QImage page(width, height, QImage::Format_RGB888);
    page.fill(QColor(235, 235, 235));
    QPainter painter(&page);
    painter.fillRect(0, 0, width / 4, height / 4, QColor(220, 0, 0));
    painter.fillRect(0, height - height / 4, width / 4, height / 4, QColor(0, 0, 220));
    painter.setPen(QColor(40, 40, 40));
    for (int y = height / 3; y < height * 2 / 3; y += 6)
        painter.drawLine(width / 3, y, width - 8, y);
    return page;
}

inline tlv::TlvThumbnail thumbnailOf(const QImage& page) {
    const tlv::TlvThumbSize size = tlv::sizeForPreImg(page.width(), page.height());
    const QImage small =
        page.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    tlv::TlvThumbnail thumbnail{small.width(), small.height(), 24, small.width() * 3, {}};
    for (int y = 0; y < small.height(); ++y)
        thumbnail.pixels.insert(thumbnail.pixels.end(), small.constScanLine(y),
                                small.constScanLine(y) + thumbnail.bytesPerRow);
    return thumbnail;
}

class PreviewHost : public tlv::TlvPreviewHost {
public:
    struct Page {
        fnd::Dictionary record;
        std::shared_ptr<const tlv::TlvThumbnail> thumbnail;
    };

    tlv::AppState appState() const override { return state; }
    std::size_t countOfImgInfoDict() const override { return pages.size(); }
    std::optional<fnd::Dictionary> imgInfoAtIndex(std::size_t index) const override {
        return index < pages.size() ? std::optional(pages[index].record) : std::nullopt;
    }
    std::shared_ptr<const tlv::TlvThumbnail> thumbnailAtIndex(std::size_t index) const override {
        return index < pages.size() ? pages[index].thumbnail : nullptr;
    }
    bool replaceImgInfoByParam(std::size_t index, std::string_view key, int value) override {
        if (key != ImgInfo_RotateKey || index >= pages.size())
            return false;
        pages[index].record.set(key, std::int32_t{value});
        return true;
    }

    // Adds the page with its raw file in the temporary folder (a name no other host of the process
    // took) and its thumbnail.
    void addPage(const QImage& page, float dpi) {
        static int files = 0;
        const std::string name = "tmpImg_" + std::to_string(files++);
        const int fd = TlvUtilsMethod::createTmpFile(name);
        // A short write leaves a short file, which the zoomed view then refuses: the test sees it.
        const auto rowBytes = static_cast<ssize_t>(page.width()) * 3;
        for (int y = 0; y < page.height() && fd >= 0; ++y)
            if (::write(fd, page.constScanLine(y), static_cast<std::size_t>(rowBytes)) != rowBytes)
                break;
        if (fd >= 0)
            ::close(fd);
        fnd::Dictionary record;
        record.set(ImgInfo_NameKey, name);
        record.set(ImgInfo_bppKey, std::int32_t{24});
        record.set(ImgInfo_WidthKey, std::int32_t{page.width()});
        record.set(ImgInfo_HeightKey, std::int32_t{page.height()});
        record.set(ImgInfo_XResKey, double{dpi});
        record.set(ImgInfo_YResKey, double{dpi});
        record.set(ImgInfo_RotateKey, std::int32_t{0});
        pages.push_back({record, std::make_shared<const tlv::TlvThumbnail>(thumbnailOf(page))});
    }

    tlv::AppState state = tlv::AppStateScanFinish; // a batch has ended: the preview takes input
    std::vector<Page> pages;
};

// The window around the preview: its tool bar with the controls 1100..1111 and the empty area.
class PreviewWindow : public QWidget {
public:
    PreviewWindow() {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        auto* bar = new QHBoxLayout;
        bar->setContentsMargins(4, 4, 4, 4);
        const std::pair<int, const char*> buttons[] = {
            {tlv::kTagPreFirst, "TB_PT_J_E"},     {tlv::kTagPrePrev, "TB_PP_J_E"},
            {tlv::kTagPreNext, "TB_PN_J_E"},      {tlv::kTagPreLast, "TB_PL_J_E"},
            {tlv::kTagPreZoomIn, "TB_ZI_J_E"},    {tlv::kTagPreZoomOut, "TB_ZO_J_E"},
            {tlv::kTagPreTurnLeft, "TB_PRL_J_E"}, {tlv::kTagPreTurnRight, "TB_PRR_J_E"},
            {tlv::kTagPreHidden, nullptr}};
        for (const auto& [tag, image] : buttons) {
            auto* button = appkit::tagged(new QToolButton, tag);
            if (const auto named = image ? ViewImage::named(image) : nullptr)
                button->setIcon(QIcon(named->pixmap(devicePixelRatioF())));
            bar->addWidget(button);
        }
        bar->addStretch(1);
        auto* number = appkit::tagged(new QLineEdit, tlv::kTagPreNumber);
        number->setMaximumWidth(48);
        bar->addWidget(number);
        bar->addWidget(appkit::tagged(new QLabel("/"), tlv::kTagPreLabel));
        bar->addWidget(appkit::tagged(new QLabel, tlv::kTagPreCount));
        column->addLayout(bar);
        area = new QWidget;
        column->addWidget(area, 1);
        resize(400, 520);
    }
    QWidget* area = nullptr;
};

} // namespace test
