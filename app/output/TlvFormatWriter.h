// One output format behind the page writer: how many pages a file takes, the form a page is brought
// into, writing a page into the file it starts or continues, and ending the open file by keeping it
// (close) or dropping it (abandon). A new file's name is only chosen by the page writer: the file is
// staged beside it and appears when it closes, whole, never over one that appeared meanwhile. The
// formats are listed in TlvFormatWriters.
#pragma once

#include "TlvWriteContext.h"

#include <filesystem>
#include <optional>

namespace tlv {

// The names one page is written under.
struct TlvPageFiles {
    std::optional<std::filesystem::path> chosen;    // the name chosen for the file this page starts
    std::optional<std::filesystem::path> published; // a file this page closed, under the name it got
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
    // Writes the page, into a new file at page.path when it starts one; published receives the name
    // of a file this page closed. Throws TlvOutputFailure.
    virtual void writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                           std::optional<std::filesystem::path>& published) = 0;
    // Ends the open file and keeps it; false when it could not be kept (it is gone then).
    virtual bool close() { return true; }
    // Ends the open file and drops it.
    virtual void abandon() {}
    // The batch is over: the open file is dropped (drop) or kept.
    virtual void endBatch(bool drop) {
        if (drop)
            abandon();
        else
            close();
    }
    // Takes back what one failed or cancelled page made: the open file goes when this page started it,
    // else it closes with the pages before this one; a file this page closed goes.
    void abandonPage(const TlvPageFiles& files);
    // The name the open file is meant for; none when none is open.
    virtual std::optional<std::filesystem::path> openPath() const { return std::nullopt; }
    bool hasOpenFile() const { return openPath().has_value(); }
    // Pages the open file kept when a page found no room on the disk.
    virtual int pagesKeptAtDiskFull() const { return 0; }
};

} // namespace tlv
