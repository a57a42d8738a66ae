// Streaming PDF file: every page is written out with its image as it is added, so the file on disk grows
// page by page; finishing appends the page tree, catalogue, cross-reference table and trailer and gives
// the file its name, never over a file that is there. Until then it is staged in the target's folder.
#pragma once

#include "StagedFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vlm {

// One image XObject, already encoded.
struct PdfImage {
    std::vector<uint8_t> stream;
    std::string filterEntries; // /Filter, /DecodeParms, /Decode as the encoding needs them
    std::string colorSpace;    // "DeviceGray" or "DeviceRGB"
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerComponent = 8;
};

struct PdfPage {
    PdfImage image;
    double widthPt = 0; // 1/72 inch
    double heightPt = 0;
    std::string textOperators; // invisible text drawn with font /F0, empty for none
};

class PdfDocument {
    struct Key { // lets only create() construct, through std::make_unique
        explicit Key() = default;
    };

public:
    // Stages the file in the folder of `path`; VLM_OK or VLM_ERR_FILECREATE.
    static int32_t create(const std::string& path, std::unique_ptr<PdfDocument>& document);
    PdfDocument(Key, std::string path, std::unique_ptr<fnd::StagedFile> file);
    ~PdfDocument(); // an unfinished document leaves no file behind

    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Appends the page; after a write failure the file is cut back to the pages before it.
    int32_t addPage(const PdfPage& page);

    // Size the finished file would have now (bytes).
    uint64_t finishedSize() const;
    int32_t pageCount() const { return static_cast<int32_t>(pageObjects_.size()); }

    // Writes the closing tables (once) and gives the file its name; a document without pages is removed
    // instead. VLM_ERR_FILEEXISTS when the name is taken: the finished file waits for another name.
    int32_t finish();
    // The name finish() gives the file; it must lie in the same folder as the first one.
    void setPath(std::string path) { path_ = std::move(path); }

private:
    struct Chunk; // bytes of one page with its objects' offsets
    uint32_t appendFont(Chunk& chunk);
    uint32_t appendPageObjects(Chunk& chunk, const PdfPage& page, uint32_t font);
    std::string closingTables() const;
    bool writeAll(const std::string& bytes);

    std::string path_;
    std::unique_ptr<fnd::StagedFile> file_; // null once published or given up
    bool finished_ = false;                 // the closing tables are written
    uint64_t written_ = 0;
    std::vector<uint64_t> offsets_; // index = object number; objects 1 and 2 are written last
    std::vector<uint32_t> pageObjects_;
    uint32_t fontObject_ = 0;
};

} // namespace vlm
