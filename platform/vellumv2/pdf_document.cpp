// Writer of the PDF objects. Object numbers 1 (catalogue) and 2 (page tree) are reserved at the start
// and written by finish(); page objects refer to the page tree before it exists, which PDF allows.
#include "pdf_document.h"

#include "glyphless_font.h"
#include "image_encoders.h"
#include "vellumv2.h"

#include "WholeTransfer.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace vlm {
namespace {

constexpr uint32_t kCatalog = 1;
constexpr uint32_t kPageTree = 2;
// The second line holds bytes above 127 so that tools treat the file as binary.
constexpr char kHeader[] = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    const int n = std::max(std::vsnprintf(nullptr, 0, pattern, args), 0);
    va_end(args);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), pattern, again);
    va_end(again);
    text.resize(static_cast<size_t>(n));
    return text;
}

std::string number(double value) {
    return format("%.4f", value);
}

} // namespace

struct PdfDocument::Chunk {
    uint64_t start = 0;
    std::string bytes;
    std::vector<uint64_t> offsets;
    uint32_t firstObject = 0;

    uint32_t nextObject() const { return firstObject + static_cast<uint32_t>(offsets.size()); }

    uint32_t beginObject() {
        const uint32_t object = nextObject();
        offsets.push_back(start + bytes.size());
        bytes += format("%u 0 obj\n", object);
        return object;
    }

    uint32_t addObject(const std::string& body) {
        const uint32_t object = beginObject();
        bytes += body + "\nendobj\n";
        return object;
    }

    uint32_t addStream(const std::string& entries, const uint8_t* data, size_t size) {
        const uint32_t object = beginObject();
        bytes += format("<< /Length %zu ", size) + entries + " >>\nstream\n";
        bytes.append(reinterpret_cast<const char*>(data), size);
        bytes += "\nendstream\nendobj\n";
        return object;
    }

    uint32_t addFlateStream(const std::string& entries, const std::string& data) {
        std::vector<uint8_t> packed;
        if (encodeFlate(reinterpret_cast<const uint8_t*>(data.data()), data.size(), packed) != VLM_OK)
            throw std::bad_alloc();
        return addStream("/Filter /FlateDecode " + entries, packed.data(), packed.size());
    }
};

PdfDocument::PdfDocument(Key, std::string path, std::unique_ptr<fnd::StagedFile> file)
    : path_(std::move(path)), file_(std::move(file)), offsets_(kPageTree + 1, 0) {}

PdfDocument::~PdfDocument() = default;

int32_t PdfDocument::create(const std::string& path, std::unique_ptr<PdfDocument>& document) {
    document.reset();
    std::unique_ptr<fnd::StagedFile> file = fnd::StagedFile::create(path);
    if (!file)
        return VLM_ERR_FILECREATE;
    document = std::make_unique<PdfDocument>(Key{}, path, std::move(file));
    if (!document->writeAll(std::string(kHeader, sizeof kHeader - 1))) {
        document.reset();
        return VLM_ERR_FILECREATE;
    }
    return VLM_OK;
}

bool PdfDocument::writeAll(const std::string& bytes) {
    const int fd = file_->fd();
    if (!fnd::transferAll(bytes.data(), bytes.size(),
                          [fd](const char* data, size_t n) { return ::write(fd, data, n); }))
        return false;
    written_ += bytes.size();
    return true;
}

uint32_t PdfDocument::appendFont(Chunk& chunk) {
    const std::vector<uint8_t> font = glyphlessTrueType();
    const std::string map = cidToGlyphMap();
    const uint32_t fontFile =
        chunk.addFlateStream(format("/Length1 %zu", font.size()), std::string(font.begin(), font.end()));
    const uint32_t glyphMap = chunk.addFlateStream("", map);
    const uint32_t toUnicode = chunk.addFlateStream("", toUnicodeCMap());
    const uint32_t descriptor = chunk.addObject(format(
        "<< /Type /FontDescriptor /FontName /GlyphLessFont /Flags 5 /FontBBox [0 0 %d %d] /ItalicAngle 0 "
        "/Ascent %d /Descent 0 /CapHeight %d /StemV 80 /FontFile2 %u 0 R >>",
        kGlyphWidth, kGlyphHeight, kGlyphHeight, kGlyphHeight, fontFile));
    const uint32_t cidFont = chunk.addObject(format(
        "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /GlyphLessFont /CIDSystemInfo << /Registry "
        "(Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor %u 0 R /DW %d /CIDToGIDMap %u 0 R >>",
        descriptor, kGlyphWidth, glyphMap));
    return chunk.addObject(format(
        "<< /Type /Font /Subtype /Type0 /BaseFont /GlyphLessFont /Encoding /Identity-H /DescendantFonts "
        "[%u 0 R] /ToUnicode %u 0 R >>",
        cidFont, toUnicode));
}

uint32_t PdfDocument::appendPageObjects(Chunk& chunk, const PdfPage& page, uint32_t font) {
    const PdfImage& im = page.image;
    const uint32_t image =
        chunk.addStream(format("/Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /%s "
                               "/BitsPerComponent %d ",
                               im.width, im.height, im.colorSpace.c_str(), im.bitsPerComponent) +
                            im.filterEntries,
                        im.stream.data(), im.stream.size());
    const std::string content = "q\n" + number(page.widthPt) + " 0 0 " + number(page.heightPt) +
                                " 0 0 cm\n/Im0 Do\nQ\n" + page.textOperators;
    const uint32_t contents = chunk.addFlateStream("", content);
    std::string resources = format("<< /XObject << /Im0 %u 0 R >>", image);
    if (!page.textOperators.empty())
        resources += format(" /Font << /F0 %u 0 R >>", font);
    return chunk.addObject(format("<< /Type /Page /Parent %u 0 R /MediaBox [0 0 ", kPageTree) +
                           number(page.widthPt) + " " + number(page.heightPt) + "] /Resources " + resources +
                           format(" >> /Contents %u 0 R >>", contents));
}

int32_t PdfDocument::addPage(const PdfPage& page) {
    if (!file_ || finished_)
        return VLM_ERR_FILEWRITE;
    Chunk chunk;
    chunk.start = written_;
    chunk.firstObject = static_cast<uint32_t>(offsets_.size());
    uint32_t font = fontObject_;
    if (!page.textOperators.empty() && font == 0)
        font = appendFont(chunk);
    const uint32_t pageObject = appendPageObjects(chunk, page, font);
    const uint64_t before = written_;
    if (!writeAll(chunk.bytes)) {
        // A file past the file system's (or the process's) largest size has no room either.
        const bool full = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
        // Cut back so that the pages before stay a valid document.
        if (::ftruncate(file_->fd(), static_cast<off_t>(before)) != 0 ||
            ::lseek(file_->fd(), 0, SEEK_END) < 0)
            file_.reset();
        return full ? VLM_ERR_DISKFULL : VLM_ERR_FILEWRITE;
    }
    offsets_.insert(offsets_.end(), chunk.offsets.begin(), chunk.offsets.end());
    pageObjects_.push_back(pageObject);
    fontObject_ = font;
    return VLM_OK;
}

std::string PdfDocument::closingTables() const {
    std::string kids;
    for (uint32_t object : pageObjects_)
        kids += format("%u 0 R ", object);
    std::vector<uint64_t> offsets = offsets_;
    std::string tail;
    offsets[kPageTree] = written_ + tail.size();
    tail += format("%u 0 obj\n<< /Type /Pages /Kids [", kPageTree) + kids +
            format("] /Count %zu >>\nendobj\n", pageObjects_.size());
    offsets[kCatalog] = written_ + tail.size();
    tail += format("%u 0 obj\n<< /Type /Catalog /Pages %u 0 R >>\nendobj\n", kCatalog, kPageTree);
    const uint64_t xref = written_ + tail.size();
    tail += format("xref\n0 %zu\n0000000000 65535 f \n", offsets.size());
    for (size_t i = 1; i < offsets.size(); ++i)
        tail += format("%010llu 00000 n \n", static_cast<unsigned long long>(offsets[i]));
    tail += format("trailer\n<< /Size %zu /Root %u 0 R >>\nstartxref\n%llu\n%%%%EOF\n", offsets.size(),
                   kCatalog, static_cast<unsigned long long>(xref));
    return tail;
}

uint64_t PdfDocument::finishedSize() const {
    return written_ + closingTables().size();
}

int32_t PdfDocument::finish() {
    if (!file_)
        return VLM_ERR_FILEWRITE;
    if (pageObjects_.empty()) {
        file_.reset();
        return VLM_OK;
    }
    if (!finished_) {
        if (!writeAll(closingTables()) || ::fsync(file_->fd()) != 0) {
            file_.reset();
            return VLM_ERR_FILEWRITE;
        }
        finished_ = true;
    }
    if (!file_->publish(path_)) {
        if (errno == EEXIST)
            return VLM_ERR_FILEEXISTS;
        file_.reset();
        return VLM_ERR_FILEWRITE;
    }
    file_.reset();
    return VLM_OK;
}

} // namespace vlm
