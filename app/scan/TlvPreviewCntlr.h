// The preview of the batch's pages, while and after they are scanned: one page at a time as its
// thumbnail, paging (first, previous, next, last, a page number), zoom in five steps (a view made from
// the raw file at 200 dots per inch, dragged with the hand cursor) and quarter turns stored in the page's
// record so that every output applies them. It builds its views inside a container the window gives it,
// finds the window's controls by tag, and follows the page list through its page count.
#pragma once

#include "TlvPreviewCache.h"
#include "TlvPreviewHost.h"
#include "TlvPreviewViews.h"

#include <QObject>
#include <QPointer>
#include <QScrollArea>
#include <QTimer>

#include <array>

class QStackedLayout;

namespace tlv {

class TlvPreviewCntlr final : public QObject {
    Q_OBJECT
public:
    // Wait after the last key in the page-number field before it is applied (ms).
    static constexpr int kApplyPageDelay = 500;

    // host outlives the controller.
    explicit TlvPreviewCntlr(TlvPreviewHost& host, QObject* parent = nullptr);

    // Fills area (in its layout, or one of its own) with the preview's views and takes the controls tagged
    // 1100..1111 below controls; a control that is missing is skipped. Both stay the window's.
    void attach(QWidget* area, QWidget* controls);
    // The page list now holds pages: new ones are added (the last becomes current), dropped ones
    // leave the preview, and 0 with an empty list clears it.
    void followPageCount(int pages);
    // The window entered state: the view goes back to the whole current page, and the controls take
    // input only once a batch has ended (104, 105) or its output has (306 on); while pages are read or
    // written they are all off. Other states leave the preview as it is.
    void followAppState(AppState state);

    // The actions of the controls, by their tags.
    void prevOrNextBtn(int tag);
    void zoomOrReduceBtn(int tag);
    void rotateBtn(int tag);
    void applySelectedPage();
    // Writes the page fields and enables each control by the page, the zoom and the application's
    // state; with enable false every control is off.
    void updateControls(bool enable);

    const TlvPreviewCache& cache() const { return mCache; }
    TlvPreview* preview() const { return mPreview; }
    TlvZoomPreview* zoomPreview() const { return mZoomPreview; }
    QScrollArea* zoomScroll() const { return mZoomScroll; }
    TlvBasePreview* previewView() const { return mPreviewView; }

protected:
    // Lays the zoomed view out again when its scroll area changes size.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void savePreviewImage(std::size_t index);
    // The page's thumbnail as the preview shows it; a blank sheet of its size when it has none.
    QImage previewImageOf(std::size_t index) const;
    // The whole current page; with no page listed, an empty preview.
    void resetPreviewArea();
    // Whether the controls take input in the host's state: not while pages are read or written.
    bool takesInput() const;
    void setDefaultImage();
    void rotateImage();
    void createZoomImageAndsetZoomPreview();
    void rotateZoomImage();
    QWidget* control(int tag) const;

    TlvPreviewHost& mHost;
    TlvPreviewCache mCache;
    QPointer<TlvBasePreview> mPreviewView;
    QPointer<TlvPreview> mPreview;
    QPointer<TlvZoomPreview> mZoomPreview;
    QPointer<QScrollArea> mZoomScroll;
    QPointer<QStackedLayout> mStack;
    // Controls 1100..1111 by tag - 1100.
    std::array<QPointer<QWidget>, 12> mControls;
    QTimer mApplyPageTimer;
};

} // namespace tlv
