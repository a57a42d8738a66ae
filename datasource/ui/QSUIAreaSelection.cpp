// The custom scan area: check box 182 switches it on, the preview frame's crop rectangle shows and edits
// it, and fields 185 and 186 show and take its width and height in the user's unit. The pool keeps the
// area in the scanner's orientation; the frame shows the page after the output rotation (QSScanAreaGeometry).
#include "QSUIController.h"

#include "CapHelpers.h"
#include "CapIds.h"
#include "CapNames.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "QSCapIds.h"
#include "QSPaperSize.h"
#include "QSPreviewFrame.h"
#include "QSScanAreaGeometry.h"
#include "QSUIStrings.h"
#include "Tags.h"
#include "TypedFieldCommit.h"

#include <QCheckBox>
#include <QLocale>

#include <cmath>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr char kRepresentedObject[] = "representedObject"; // the number a field last showed
constexpr float kUnitsPerInch = kScanAreaUnitsPerInch;

EPaperUnit UnitOf(const CCapPool* pool) {
    const std::uint32_t unit = GetCapUIntValue(pool, CCAP_OVKM_UNIT);
    return unit <= 2 ? static_cast<EPaperUnit>(unit) : EPaperUnit::Pixels;
}

int Orientation(const CCapPool* pool) {
    return static_cast<int>(GetCapUIntValue(pool, CCAP_OVK_DATAORIENTATION));
}

// The number a field's text reads as: in the user's locale, else with "." or "," as separator.
double ReadNumber(const QString& text) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (ok && std::isfinite(value))
        return value;
    const double plain = QString(text.trimmed()).replace(u',', u'.').toDouble(&ok);
    return ok && std::isfinite(plain) ? plain : 0;
}

QString FormatShown(double value, EPaperUnit unit) {
    return unit == EPaperUnit::Pixels ? QString::number(static_cast<int>(std::trunc(value)))
                                      : QString::asprintf("%.02f", value);
}

} // namespace

void Controller::connectAreaSelectionControls() {
    if (auto* box = appkit::viewWithTag<QCheckBox>(mAdvanceModeView.data(), kCustomScanAreaTag))
        connect(box, &QCheckBox::clicked, this, [this] { changeScanAreaSettingControls(); });
    for (const int tag : {kScanWidthFieldTag, kScanHeightFieldTag})
        if (auto* field = appkit::viewWithTag<QLineEdit>(mWindow.get(), tag))
            ApplyWhileTyping(field, kTypingDelayMs, [this, field] { changeScanSize(field); });
    for (const char* name : {kCropChangingNotification, kCropChangedNotification}) {
        const bool changed = std::string_view(name) == kCropChangedNotification;
        fnd::NotificationCenter::defaultCenter().addObserver(
            this, name, [this, changed](const fnd::Notification& n) {
                const fnd::Array* r = n.object.asArray();
                if (r && r->size() == 4)
                    handlePreviewFrameCropChange(
                        changed, QRectF((*r)[0].asDouble().value_or(0), (*r)[1].asDouble().value_or(0),
                                        (*r)[2].asDouble().value_or(0), (*r)[3].asDouble().value_or(0)));
            });
    }
}

void Controller::initAreaSelectionUI() {
    resetScanArea();
    syncScanArea();
    updateScanAreaSettingControls();
    decideScanArea(false);
    syncAreaSelectionUI();
}

void Controller::resetScanArea() {
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!frame || !mSettings)
        return;
    CapNameItem name{};
    GetCapStrValue(mSettings, CCAP_OVKM_CUSTOMPAGESIZENAME, name);
    const QSizeF physical(GetCapFloatValue(mSettings, ICAP_PHYSICALWIDTH),
                          GetCapFloatValue(mSettings, ICAP_PHYSICALHEIGHT));
    const QSizeF paper =
        PaperSizeForCode(mUIParameters.get("SupportedPapers").asDictionary(),
                         GetCapSIntValue(mSettings, CCAP_OVKM_PAPERSIZE), DecodeCapName(name), physical);
    const QSizeF shown = ExchangesSides(Orientation(mSettings)) ? paper.transposed() : paper;
    const float minimum = MinCropLength(GetCapFloatValue(mSettings, ICAP_XRESOLUTION));
    frame->setBaseResolution(kUnitsPerInch);
    frame->setBaseSize(shown);
    frame->setMinCropSize(QSizeF(minimum, minimum));
    frame->setCropRect(QRectF(QPointF(0, 0), shown));
    frame->setInformationMessage(QSUIString(isSimpleMode() ? QStringLiteral("Simple_EmptyPreview_Info")
                                                           : QStringLiteral("Advance_EmptyPreview_Info")));
}

void Controller::syncScanArea() {
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!frame || !mSettings)
        return;
    const int orientation = Orientation(mSettings);
    const QRectF stored(GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_X),
                        GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_Y),
                        GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_WIDTH),
                        GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_HEIGHT));
    const QRectF onPage = AreaWithinPage(stored, NativeSize(frame->baseSize(), orientation));
    frame->setCropRect(ShownAreaFromStored(onPage, orientation, frame->baseSize()));
}

void Controller::decideScanArea(bool positioning) {
    if (positioning) {
        changePaperSizeControls(nullptr);
        return;
    }
    const ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!frame || !mSettings)
        return;
    const QSizeF base = frame->baseSize();
    const bool editing = frame->isMouseTrackerEnabled();
    if (hasScanImage() && !editing)
        return;
    QRectF shown = frame->cropRect();
    if (!mIsSetupSequence && !editing && frame->baseResolution() == kUnitsPerInch)
        shown = QRectF(QPointF(0, 0), base);
    const std::optional<QRectF> stored = StoredAreaFromShown(shown, Orientation(mSettings), base);
    if (!stored)
        return;
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_X, static_cast<float>(stored->x()));
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_Y, static_cast<float>(stored->y()));
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_WIDTH, static_cast<float>(stored->width()));
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_HEIGHT, static_cast<float>(stored->height()));
}

bool Controller::isScanAreaEditable() const {
    if (GetCapUIntValue(mSettings, CCAP_OVKM_CUSTOM_SCANAREA) == 0)
        return false;
    for (const TW_UINT16 id :
         {CCAP_OVK_DESKEW, CCAP_OVK_DETECTPAGESIZE, CCAP_OVK_RECOGNIZE_DIRECTION, CCAP_OVK_FOLDLARGESIZE})
        if (GetCapUIntValue(mSettings, id) != 0)
            return false;
    return true;
}

void Controller::syncAreaSelectionUI() {
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!frame || !mSettings)
        return;
    if (isSimpleMode()) {
        frame->setMouseTrackerEnabled(false);
        frame->update();
        return;
    }
    const bool editable = isScanAreaEditable();
    const bool kept = hasScanImage();
    frame->setMouseTrackerEnabled(editable && !kept);
    QSizeF size(GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_WIDTH),
                GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_HEIGHT));
    if (editable) {
        size = frame->cropRect().size();
    } else if (kept) {
        const float resolution = frame->baseResolution();
        size = resolution > 0 ? frame->baseSize() * (kUnitsPerInch / resolution) : frame->baseSize();
    } else if (ExchangesSides(Orientation(mSettings))) {
        size.transpose();
    }
    const EPaperUnit unit = UnitOf(mSettings);
    const SPaperUnitInput input = PaperUnitInput(unit);
    for (const int tag : {kScanWidthFieldTag, kScanHeightFieldTag})
        if (auto* field = appkit::viewWithTag<appkit::FTextField>(mWindow.get(), tag)) {
            field->setValidCharsInString(input.validCharacters);
            field->setValidLength(input.maxLength);
        }
    const QString label = unit == EPaperUnit::Pixels
                              ? QString()
                              : QSUIString(unit == EPaperUnit::Inches ? QStringLiteral("UnitInches")
                                                                      : QStringLiteral("UnitMillimetres"));
    SetItemString(mWindow.get(), kScanWidthUnitTag, label);
    SetItemString(mWindow.get(), kScanHeightUnitTag, label);
    drawScanSize(size);
    bool automatic = false;
    for (const TW_UINT16 id :
         {CCAP_OVK_DESKEW, CCAP_OVK_DETECTPAGESIZE, CCAP_OVK_RECOGNIZE_DIRECTION, CCAP_OVK_FOLDLARGESIZE})
        automatic = automatic || GetCapUIntValue(mSettings, id) != 0;
    SetItemEnabled(currentView(), kCustomScanAreaTag, !kept && !automatic);
    appkit::FStaticTextField::syncStaticTextInView(currentView());
    frame->update();
}

void Controller::drawScanSize(QSizeF size) {
    const EPaperUnit unit = UnitOf(mSettings);
    const float resolution = GetCapFloatValue(mSettings, ICAP_XRESOLUTION);
    const std::array<std::pair<int, double>, 2> fields{
        {{kScanWidthFieldTag, size.width()}, {kScanHeightFieldTag, size.height()}}};
    for (const auto& [tag, length] : fields)
        if (auto* field = appkit::viewWithTag<QLineEdit>(mWindow.get(), tag)) {
            field->setText(FormatScanLength(static_cast<float>(length), unit, resolution));
            field->setProperty(kRepresentedObject, ReadNumber(field->text()));
        }
}

void Controller::changeScanSize(QLineEdit* field) {
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!field || !frame || !mSettings)
        return;
    const EPaperUnit unit = UnitOf(mSettings);
    const double typed = ReadNumber(field->text());
    const QVariant shown = field->property(kRepresentedObject);
    if (typed == (shown.isValid() ? shown.toDouble() : -1)) {
        field->setText(FormatShown(typed, unit));
        return;
    }
    field->setProperty(kRepresentedObject, typed);
    const float length = ScanLengthFromShown(typed, unit, GetCapFloatValue(mSettings, ICAP_XRESOLUTION));
    // The frame's base units are 1/1200 inch unless a kept page is shown in its own pixels.
    const float resolution = frame->baseResolution();
    const double base = resolution > 0 ? length * resolution / kUnitsPerInch : length;
    QRectF crop = frame->cropRect();
    if (appkit::tagOf(field) == kScanWidthFieldTag)
        crop.setWidth(base);
    else
        crop.setHeight(base);
    frame->setCropRect(crop);
}

void Controller::handlePreviewFrameCropChange(bool changed, QRectF rect) {
    drawScanSize(rect.size());
    const ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (changed && frame && rect != frame->cropRect())
        changeFavoriteControls(nullptr);
}

void Controller::refrectScanAreaControls() {
    if (!mWindow)
        return;
    for (const int tag : {kScanWidthFieldTag, kScanHeightFieldTag}) {
        auto* field = appkit::viewWithTag<QLineEdit>(mWindow.get(), tag);
        if (!field || !field->isVisibleTo(mWindow.get()))
            continue;
        CancelPendingTyping(field);
        changeScanSize(field);
    }
}

void Controller::updateScanAreaSettingControls() {
    if (auto* box = appkit::viewWithTag<QCheckBox>(mAdvanceModeView.data(), kCustomScanAreaTag))
        box->setChecked(GetCapUIntValue(mSettings, CCAP_OVKM_CUSTOM_SCANAREA) != 0);
}

void Controller::changeScanAreaSettingControls() {
    if (isSimpleMode() || !mSettings)
        return;
    const auto* box = appkit::viewWithTag<QCheckBox>(mAdvanceModeView.data(), kCustomScanAreaTag);
    bool on = box && box->isChecked();
    for (const TW_UINT16 id :
         {CCAP_OVK_DESKEW, CCAP_OVK_DETECTPAGESIZE, CCAP_OVK_RECOGNIZE_DIRECTION, CCAP_OVK_FOLDLARGESIZE})
        on = on && GetCapUIntValue(mSettings, id) == 0;
    if (on != (GetCapUIntValue(mSettings, CCAP_OVKM_CUSTOM_SCANAREA) != 0)) {
        SetCapUIntValue(mSettings, CCAP_OVKM_CUSTOM_SCANAREA, on ? 1 : 0);
        resetScanArea();
        decideScanArea(false);
        if (!on && mScanImage && mPositioningPrescanMode)
            showScanImage(std::nullopt, 0, false);
    }
    syncAreaSelectionUI();
    syncPrescanUI();
    changeFavoriteControls(nullptr);
}
