// Document maker and text-direction detector: builds searchable multi-page PDF files one page at a time
// and tells in which direction the text of a page runs. One document at a time per process; a detection
// session belongs to the thread that opened it, so pages can be turned while a document is being made.
#pragma once

#include <cstdint>

extern "C" {

// Results of every call: 0 success, negative failure. No call throws.
enum : int32_t {
    VLM_OK = 0,
    VLM_ERR_PARAM = -1001,       // a null pointer, an unknown mode or a malformed record
    VLM_ERR_NOMEMORY = -1002,    // out of memory while making a page
    VLM_ERR_FILECREATE = -1003,  // the document file cannot be created
    VLM_ERR_NOTOPEN = -1004,     // no session is open, or the open one is of the other kind
    VLM_ERR_ALREADYOPEN = -1005, // a session is already open
    VLM_ERR_FILEWRITE = -1006,   // writing the document failed (disk full, I/O error)
    VLM_ERR_IMAGE = -1007,       // the page's image kind, size or line length is not usable
    VLM_ERR_FILEEXISTS = -1008,  // the document's name was taken meanwhile; it stays open (VLMC_exclose)
    VLM_ERR_DISKFULL = -1009,    // a page found no room on the disk (or in the quota); the pages before stay
    VLM_ERR_LANGUAGE = -1101,    // a recognition language pack (or the orientation model) is missing
    VLM_ERR_OCR = -1102,         // the recognition engine failed on a page
    VLM_ERR_DETECTNOMEMORY = -1902, // out of memory while reducing the page for detection
    VLM_ERR_ENGINENOMEMORY = -1904, // the detection engine failed or ran out of memory
};

// Modes of VLMC_exmodeset.
enum : int32_t {
    VLM_MODE_PLAIN = 0,    // lossless images (Flate; CCITT G4 for 1-bit pages)
    VLM_MODE_DETECT = 1,   // text-direction detection session
    VLM_MODE_COMPRESS = 2, // JPEG for grey and colour pages (quality from sub-mode 50), G4 for 1-bit
};

// Modes of VLMC_exopen.
enum : int32_t {
    VLM_OPEN_PDF = 0,     // a document without text layer
    VLM_OPEN_PDF_OCR = 5, // a document whose pages get an invisible text layer (also accepted: 1)
    VLM_OPEN_DETECT = 6,  // a detection session, no path
};

// Language mask bits of VLMC_exmodeset. Chinese is Simplified unless the flag word has
// VLM_FLAG_TRADITIONAL_CHINESE.
enum : uint32_t {
    VLM_LANG_JAPANESE = 1,
    VLM_LANG_ENGLISH = 2,
    VLM_LANG_CHINESE = 4,
    VLM_LANG_FRENCH = 8,
    VLM_LANG_ITALIAN = 16,
    VLM_LANG_GERMAN = 32,
    VLM_LANG_SPANISH = 64,
    VLM_LANG_DUTCH = 128,
};
enum : uint32_t { VLM_FLAG_TRADITIONAL_CHINESE = 256 };

// Image kinds of PdfPageImageDesc::lKind.
enum : int32_t {
    VLM_KIND_BW = 33,   // 1 bit per pixel, most significant bit first, 1 = black
    VLM_KIND_GRAY = 8,  // 8-bit grey, 0 = black
    VLM_KIND_BGR = 136, // 24-bit colour, samples blue, green, red per pixel
};

// Sub-modes of VLMC_submodeset.
enum : int32_t {
    VLM_SUBMODE_QUALITY = 50,  // VlmSubModeQuality: JPEG quality 1..100 (default 75)
    VLM_SUBMODE_OPTIONS = 150, // VlmSubModeOptions: accepted for compatibility, no effect
};

// A page handed in by the caller; the caller owns the pixels, which are only read during the call.
typedef struct PdfPageImageDesc {
    const uint8_t* pImage; // first line, top of the page
    int32_t lSync;         // bytes from one line to the next (>= the bytes a line needs)
    int32_t lWidth;        // pixels
    int32_t lHeight;       // lines
    int32_t lXResolution;  // dots per inch
    int32_t lYResolution;  // dots per inch
    int32_t lKind;         // VLM_KIND_*
    int32_t lReserved1;    // 0
    int32_t lReserved2;    // 0
} PdfPageImageDesc;

// Part of the image that becomes the page (pixels); a null rectangle means the whole image.
typedef struct PdfPageRect {
    int32_t lLeft;
    int32_t lTop;
    int32_t lWidth;
    int32_t lHeight;
} PdfPageRect;

typedef struct VlmSubModeQuality {
    uint16_t usVersion; // 1
    uint16_t usSize;    // 8
    int32_t lQuality;   // 1..100
} VlmSubModeQuality;

typedef struct VlmSubModeOptions {
    uint16_t usVersion; // 1
    uint16_t usSize;    // 16
    uint32_t ulFlags;
    uint32_t ulReserved1;
    uint32_t ulReserved2;
} VlmSubModeOptions;

// Folder holding the language packs and osd.traineddata; null or "" restores the system's folder.
// The text is copied.
int32_t VLMC_changepath(const char* path);

// Chooses the mode, the recognition languages and the flag word of the next session. For detection it
// answers VLM_ERR_LANGUAGE when the orientation model is nowhere to be found.
int32_t VLMC_exmodeset(int32_t mode, uint32_t langMask, uint32_t flags);

// Opens the session chosen by VLMC_exmodeset. For a document, path (UTF-8) is the file to make;
// it appears only when VLMC_exclose finishes it. reserved must be 0.
int32_t VLMC_exopen(const char* path, int32_t openMode, int32_t reserved);

// Sets a sub-mode from a record beginning with a 16-bit version and a 16-bit byte size.
int32_t VLMC_submodeset(int32_t subMode, const void* record);

// Adds one page to the open document. rect may be null. With a text layer the page is recognised
// beside the next calls and written once the pages before it are; a page that then cannot be written
// fails the next call (with the pages after it still waiting), and the file keeps the pages before it.
int32_t VLMC_spmake(const PdfPageImageDesc* page, const PdfPageRect* rect);

// Size in bytes the document file would have if it were closed now: after the last page, the exact
// size of the finished file. It waits for the text of every page handed in.
int32_t VLMC_getFileSize(uint32_t* size);

// Pages the open document's file holds so far: after a failed page, the pages a closing keeps (pages
// still waiting for their text are not counted).
int32_t VLMC_getPageCount(int32_t* count);

// Bounds the wait for recognised text, for a program that must end soon: from `milliseconds` after this
// call on, a page whose text is not made yet is written without its text layer, and a page handed in
// then is not recognised at all. A negative value lifts the bound. It holds for every document until
// lifted. Any thread; never waits.
int32_t VLMC_exocrbound(int32_t milliseconds);

// Closes the calling thread's detection session if it has one, else the document: the document is
// finished and moved to its path (one without pages leaves no file). A file already at the path is never
// replaced: the result is then VLM_ERR_FILEEXISTS and the finished document stays open, to be given
// another path with VLMC_exrename and closed again, or dropped with VLMC_exabandon. reserved must be 0.
int32_t VLMC_exclose(int32_t reserved);

// Gives the open document another path (UTF-8, in the same folder as the first; the text is copied).
int32_t VLMC_exrename(const char* path);

// Drops the open document, finished or not; no file is left behind.
int32_t VLMC_exabandon(void);

// Clockwise rotation of the page's text: 0, 90, 180 or 270 degrees (0 when the page has too little text),
// also in radians. Needs an open detection session.
int32_t VLMD_spdetect(const PdfPageImageDesc* page, int32_t* degrees, double* radians);
}
