// The application's pop-up menus: each fills itself with one fixed list of localised items whose tags
// are their positions, so every panel offers the same items with the same tags. Panels select and read
// items by tag, never by position.
#pragma once

#include <QComboBox>

#include <span>

struct TlvPopUpRow {
    const char* key;   // text key of the item's title
    const char* image; // name of the item's image; null for none
};

class TlvPopUp : public QComboBox {
    Q_OBJECT
public:
    // Selects the item with tag; with no such item nothing is selected (index -1), never a wrong one.
    void selectItemWithTag(int tag);
    // The selected item's tag; -1 when nothing is selected.
    int selectedTag() const;

protected:
    // Adds one item per row, tagged with its position; a row whose title is empty is left out and the
    // rows after it keep their own tags.
    TlvPopUp(std::span<const TlvPopUpRow> rows, QWidget* parent);
};

#define TLV_POPUP(Name)                                                                                      \
    class Name : public TlvPopUp {                                                                           \
    public:                                                                                                  \
        explicit Name(QWidget* parent = nullptr);                                                            \
    };

TLV_POPUP(TlvCompressPopUp)
TLV_POPUP(TlvFileFormatPopUp)
TLV_POPUP(TlvOCRLangPopUp)
TLV_POPUP(TlvNumberAddPopUp)
TLV_POPUP(TlvPageLayoutPopUp)
TLV_POPUP(TlvFuncPopUp)
TLV_POPUP(TlvColorPopUp)
TLV_POPUP(TlvPaperSizePopUp)
TLV_POPUP(TlvReadPagePopUp)
TLV_POPUP(TlvResolutionPopUp)
#undef TLV_POPUP

// The date formats; the fourth, the Japanese calendar, only when the first preferred language is
// Japanese (or when japanese is given as true).
class TlvDateTimeAddPopUp : public TlvPopUp {
public:
    explicit TlvDateTimeAddPopUp(QWidget* parent = nullptr);
    TlvDateTimeAddPopUp(bool japanese, QWidget* parent);
};
