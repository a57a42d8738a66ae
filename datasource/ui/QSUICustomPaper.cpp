// The editor of the user's own paper sizes, opened by the paper size pop-up's last item. Sizes are kept
// in 1/1200 inch and shown in the unit the user picks.
#include "CapHelpers.h"
#include "CapNames.h"
#include "DataSourcePreferences.h"
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "PaperUnits.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIStrings.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>

namespace {

constexpr int kNameField = 900;
constexpr int kWidthField = 901;
constexpr int kHeightField = 902;
constexpr int kUnitPopup = 903;
constexpr int kAddButton = 904;
constexpr int kDeleteButton = 905;
constexpr int kPaperTable = 906;
constexpr int kPanelOk = 1;
constexpr int kPanelCancel = 0;
// The unit pop-up of the preferences palette, which the editor starts from.
constexpr int kPreferenceUnitPopup = 187;

float Number(const fnd::Dictionary* paper, const char* key, float fallback) {
    return paper ? static_cast<float>(paper->get(key).asDouble().value_or(fallback)) : fallback;
}

} // namespace

int ComOrvikElectronicsK3100QSUIController::containsOriginalPaperNames(const QString& name) const {
    const fnd::Dictionary* papers = mUIParameters.get("SupportedPapers").asDictionary();
    if (const fnd::Array* original = papers ? papers->get("OriginalPapers").asArray() : nullptr)
        for (std::size_t i = 0; i < original->size(); ++i)
            if (const std::string* key = (*original)[i].asDictionary()
                                             ? (*original)[i].asDictionary()->get("Name").asString()
                                             : nullptr;
                key && QSUIString(QString::fromStdString(*key)) == name)
                return static_cast<int>(i);
    for (const char* key : {"MAXSIZE", "DETECT", "CUSTOMIZE"})
        if (QSUIString(QString::fromLatin1(key)) == name)
            return 1000;
    return -1;
}

int ComOrvikElectronicsK3100QSUIController::runModalPaperEditPanel(QString& addedName) {
    std::unique_ptr<QWidget> loaded =
        LoadResourceUiFile(QStringLiteral("CustomPaperPanel"), {}, ResourcePeeker);
    auto* panel = qobject_cast<QDialog*>(loaded.get());
    if (!panel)
        return kPanelCancel;
    panel->setParent(mWindow.get(), Qt::Dialog);
    CNamedRecordList list(DataSourcePreferencesPath(), kPrefCustomPapers,
                          [](const fnd::Dictionary&) { return true; });
    auto* table = appkit::viewWithTag<QListWidget>(panel, kPaperTable);
    auto* name = appkit::viewWithTag<QLineEdit>(panel, kNameField);
    auto* widthField = appkit::viewWithTag<QLineEdit>(panel, kWidthField);
    auto* heightField = appkit::viewWithTag<QLineEdit>(panel, kHeightField);
    auto* units = appkit::viewWithTag<QComboBox>(panel, kUnitPopup);
    for (const char* key : {"Unit Pixels", "Unit Inches", "Unit Millimetres"})
        units->addItem(QSUIString(QString::fromLatin1(key)));
    const float physicalWidth = GetCapFloatValue(mSettings, ICAP_PHYSICALWIDTH);
    const float physicalHeight = GetCapFloatValue(mSettings, ICAP_PHYSICALHEIGHT);
    const float resolution = GetCapFloatValue(mSettings, ICAP_XRESOLUTION);
    float width = physicalWidth;
    float height = physicalHeight;
    const std::int32_t paperSize = GetCapSIntValue(mSettings, CCAP_OVKM_PAPERSIZE);
    const fnd::Dictionary* papers = mUIParameters.get("SupportedPapers").asDictionary();
    CapNameItem customName{};
    GetCapStrValue(mSettings, CCAP_OVKM_CUSTOMPAGESIZENAME, customName);
    const fnd::Dictionary* initial = nullptr;
    if (paperSize == kPaperCustom && customName[0] != 0) {
        for (const fnd::Dictionary& paper : list.records())
            if (SameCapName(*paper.get("Name").asString(), DecodeCapName(customName)))
                initial = &paper;
    } else if (const fnd::Array* original = papers ? papers->get("OriginalPapers").asArray() : nullptr;
               paperSize >= 0 && original && static_cast<std::size_t>(paperSize) < original->size()) {
        initial = (*original)[static_cast<std::size_t>(paperSize)].asDictionary();
    }
    width = Number(initial, "Width", width);
    height = Number(initial, "Height", height);
    QString lastPut;

    auto unit = [&] { return static_cast<EPaperUnit>(std::max(0, units->currentIndex())); };
    auto draw = [&] {
        widthField->setText(FormatPaperLength(width, unit(), resolution));
        heightField->setText(FormatPaperLength(height, unit(), resolution));
    };
    auto setInputBehaviour = [&] {
        const SPaperUnitInput input = PaperUnitInput(unit());
        for (QLineEdit* field : {widthField, heightField}) {
            field->setMaxLength(input.maxLength);
            field->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[%1]*").arg(
                                                    QRegularExpression::escape(input.validCharacters))),
                                                field));
        }
    };
    // Typing is taken when it ends (or before an add); a clamped value is shown as clamped.
    auto readSizes = [&] {
        const float typedWidth = ParsePaperLength(widthField->text(), unit(), resolution, QLocale());
        const float typedHeight = ParsePaperLength(heightField->text(), unit(), resolution, QLocale());
        width = ClampPaperLength(typedWidth, physicalWidth, kMinPaperWidth);
        height = ClampPaperLength(typedHeight, physicalHeight, kMinPaperHeight);
        if (width != typedWidth || height != typedHeight)
            draw();
    };
    auto sync = [&] {
        SetItemEnabled(panel, kAddButton, list.canAdd(name->text().trimmed()));
        SetItemEnabled(panel, kDeleteButton, !table->selectedItems().isEmpty());
    };
    auto reload = [&] {
        table->clear();
        for (std::size_t i = 0; i < list.records().size(); ++i)
            table->addItem(list.nameAt(i));
        table->clearSelection();
        name->setText(
            list.untitledName(QSUIString(QStringLiteral("CustomName")), [this](const QString& taken) {
                return containsOriginalPaperNames(taken) >= 0;
            }));
        name->setFocus();
    };
    auto change = [&](int tag) {
        const QString paperName = CNamedRecordList::CutName(name->text());
        if (tag == kAddButton) {
            readSizes();
            if (containsOriginalPaperNames(paperName) >= 0) {
                RunDialogAlert(appkit::AlertKind::Warning, panel,
                               QSUIString(QStringLiteral("PaperNotUsed Message")).arg(paperName),
                               QSUIString(QStringLiteral("PaperNotUsed Info")), false);
                return;
            }
            if (list.find(paperName) >= 0 &&
                !RunDialogAlert(appkit::AlertKind::Question, panel,
                                QSUIString(QStringLiteral("PaperAlreadyExistence Message")).arg(paperName),
                                QSUIString(QStringLiteral("PaperAlreadyExistence Info")), true))
                return;
            list.put(
                fnd::Dictionary{{"Name", paperName.toStdString()}, {"Width", width}, {"Height", height}});
            lastPut = paperName;
        } else {
            const int row = table->currentRow();
            if (row < 0)
                return;
            const auto index = static_cast<std::size_t>(row);
            const QString question = QSUIString(QStringLiteral("RemovePaperMessage")).arg(list.nameAt(index));
            if (!RunDialogAlert(appkit::AlertKind::Question, panel, question, QString(), true))
                return;
            list.remove(static_cast<std::size_t>(row));
        }
        reload();
        SetItemEnabled(panel, kPanelOk, true);
    };

    for (const int tag : {kPanelOk, kPanelCancel})
        connect(appkit::viewWithTag<QAbstractButton>(panel, tag), &QAbstractButton::clicked, panel,
                [panel, tag] { panel->done(tag); });
    for (const int tag : {kAddButton, kDeleteButton})
        connect(appkit::viewWithTag<QAbstractButton>(panel, tag), &QAbstractButton::clicked, panel, [&, tag] {
            change(tag);
            sync();
        });
    for (QLineEdit* field : {widthField, heightField})
        connect(field, &QLineEdit::editingFinished, panel, readSizes);
    connect(units, &QComboBox::currentIndexChanged, panel, [&] {
        draw();
        setInputBehaviour();
    });
    connect(table, &QListWidget::itemSelectionChanged, panel, [&] {
        const int row = table->currentRow();
        if (row >= 0 && table->item(row)->isSelected()) {
            const fnd::Dictionary& paper = list.records()[static_cast<std::size_t>(row)];
            name->setText(list.nameAt(static_cast<std::size_t>(row)));
            width = Number(&paper, "Width", width);
            height = Number(&paper, "Height", height);
            draw();
        }
        sync();
    });
    connect(name, &QLineEdit::textChanged, panel, sync);

    reload();
    SetItemEnabled(panel, kPanelOk, false);
    const int preferredUnit = GetItemIntValue(mPreferencePalette, kPreferenceUnitPopup);
    units->setCurrentIndex(preferredUnit >= 0 && preferredUnit <= 2 ? preferredUnit : 1);
    setInputBehaviour();
    draw();
    sync();
    const int code = panel->exec();
    if (code == kPanelOk) {
        list.save();
        addedName = list.find(lastPut) >= 0 ? lastPut : QString();
    }
    return code;
}
