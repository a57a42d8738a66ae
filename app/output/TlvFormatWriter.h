// One output format behind the page writer: how many pages a file takes, the form a page is brought
// into, how a new file's name is taken, writing a page into the file it starts or continues, and
// ending the open file by keeping it (close) or dropping it (abandon). The formats are listed in
// TlvFormatWriters.
#pragma once

#include "TlvWriteContext.h"

#include <filesystem>
#include <optional>

namespace tlv {

// The names one page is written under.
struct TlvPageFiles {
    std::optional<std::filesystem::path> reserved;  // the new name this page took, when it starts a file
    std::optional<std::filesystem::path> published; // a file this page closed, under the name it got
    bool isRemake = false;                          // reserved is a file that was there before
};

class TlvFormatWriter {
public:
    virtual ~TlvFormatWriter() = default;

    // Pages per file under options; 0 puts every page of the batch into one file.
    virtual int pagesPerFile(const TlvOutputOptions& options) const = 0;
    bool startsFileForPage(const TlvOutputOptions& options, int index) const {
        const int size = pagesPerFile(options);
        return size == 0 ? index == 0 : index % size == 0;
    }
    // The page's bits as this format stores them.
    virtual void bringIntoForm(TlvPageImage&) const {}
    // Whether a new file's name is taken by creating the file at once; otherwise the name is only
    // chosen and the file appears when it closes, never over one that appeared meanwhile.
    virtual bool reservesNameByCreating() const { return true; }

    // Writes the page, into a new file at page.path when it starts one; published receives the name
    // of a file this page closed. Throws TlvOutputFailure.
    virtual void writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                           std::optional<std::filesystem::path>& published) = 0;
    // Ends the open file and keeps it.
    virtual void close() {}
    // Ends the open file and drops it.
    virtual void abandon() {}
    // The batch is over: the open file is dropped (drop) or kept.
    virtual void endBatch(bool drop) { drop ? abandon() : close(); }
    // Takes back what one failed or cancelled page made; the files of the pages before it stay.
    virtual void abandonPage(const TlvPageFiles& files);
    virtual bool hasOpenFile() const { return false; }
    // Pages the open file kept when a page found no room on the disk.
    virtual int pagesKeptAtDiskFull() const { return 0; }
};

} // namespace tlv
