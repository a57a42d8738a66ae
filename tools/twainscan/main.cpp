// twainscan: scans a batch from a TWAIN data source by memory transfer and writes each page as a TIFF
// file, on threads of their own while the next page is pulled. Exit status 0 when at least one page was
// written and the batch ended normally, 1 otherwise: a jam or another scanner fault fails the run even
// with the pages before it kept. Ctrl-C ends the batch at the next block of rows, keeps the pages
// already scanned and exits with 130; a second Ctrl-C ends the program at once.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include "FaultWords.h"
#include "FeedAgain.h"
#include "PageFiles.h"
#include "PageWriter.h"
#include "ProgramInfo.h"
#include "QSCapIds.h"
#include "TwainSession.h"

namespace {

using namespace twainscan;

constexpr int kInterruptedStatus = 128 + SIGINT; // what a shell reports for a program ended by Ctrl-C

volatile std::sig_atomic_t sInterrupted = 0;

void NoteInterrupt(int) {
    sInterrupted = 1;
}

// The first Ctrl-C asks for a stop; the handler then gives way, so that a second one ends the program.
void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

class Interrupted : public ScanError {
public:
    using ScanError::ScanError;
};

// How the sheets give pages in this run, as the source will scan them.
struct SSheetSides {
    std::int32_t perSheet = 1;
    bool blankSkip = false;
};

SSheetSides SheetSides(CTwainSession& session) {
    return {session.Current(CAP_DUPLEXENABLED) != 0 ? 2 : 1, session.Current(CCAP_OVK_BLANKSKIP) != 0};
}

std::string PagesWritten(int pages) {
    return std::to_string(pages) + " page" + (pages == 1 ? "" : "s") + " written";
}

// The sheet a stopped batch goes on from: only sheets whose pages were all written are done.
std::string NextSheet(int pages, SSheetSides sides) {
    return FeedAgainWords(FeedAgainFrom(pages, sides.perSheet, sides.blankSkip));
}

std::string EndedEarly(int pages, SSheetSides sides) {
    return PagesWritten(pages) + "; the batch ended early: feed again from " + NextSheet(pages, sides);
}

std::string FaultName(TW_UINT16 condition, const std::string& sourceText) {
    if (condition == TWCC_PAPERJAM)
        return "paper jam";
    if (condition == TWCC_PAPERDOUBLEFEED)
        return "double feed";
    if (condition == TWCC_CHECKDEVICEONLINE)
        return "the scanner is not connected or did not answer";
    if (condition == TWCC_LOWMEMORY)
        return "the data source ran out of memory";
    if (condition == TWCC_NOMEDIA)
        return "no paper in the feeder";
    if (!sourceText.empty())
        return FaultWordsInSentence(sourceText);
    return "scanner fault (condition code " + std::to_string(condition) + ")";
}

void ThrowOnBatchFault(const CTwainSession& session, int pages, SSheetSides sides) {
    const TW_UINT16 condition = session.BatchFault();
    if (condition == TWCC_SUCCESS)
        return;
    const std::string where = pages == 0 ? " before the first page" : " after page " + std::to_string(pages);
    throw ScanError(FaultName(condition, session.BatchFaultText()) + where + ": " + EndedEarly(pages, sides));
}

void PrintDeviceEvent(std::uint32_t event) {
    const char* meaning = event == 0x8001   ? "idle"
                          : event == 0x8002 ? "sheet ready"
                          : event == 0x8003 ? "scanning"
                          : event == 0x8004 ? "waiting"
                                            : "other";
    std::printf("device event 0x%04X: %s\n", event, meaning);
    std::fflush(stdout);
}

int Scan(const SScanOptions& options) {
    CPageFiles files(options.outputFolder, options.prefix);
    CTwainSession session;
    session.SetStopCheck([] { return sInterrupted != 0; });
    if (options.showEvents)
        session.SetDeviceEventListener({0x8002, 0x8003, 0x8004}, PrintDeviceEvent);
    session.OpenSource(options.source);
    session.ResetCapabilities();
    for (const SCapSetting& setting : options.settings)
        session.Set(setting);
    const SSheetSides sides = SheetSides(session);
    session.Enable();
    int pages = 0;
    try {
        CPageWriter writer(files);
        for (bool more = true; more && sInterrupted == 0;) {
            SPageBitmap page;
            if (session.TransferPage(page) == EPageResult::kCancelled)
                break;
            writer.Add(std::move(page));
            ++pages;
            more = session.EndTransfer();
        }
        // The scanner is free while the last pages are still written.
        session.Close();
        writer.Finish();
    } catch (const WriteFailure& failure) {
        throw ScanError(std::string(failure.what()) + ": " + EndedEarly(failure.PagesWritten(), sides));
    }
    if (sInterrupted != 0)
        throw Interrupted("stopped by Ctrl-C: " + PagesWritten(pages) + "; feed again from " +
                          NextSheet(pages, sides));
    ThrowOnBatchFault(session, pages, sides);
    if (pages == 0)
        throw ScanError("no page was scanned");
    std::printf("scanned %d page%s into %s\n", pages, pages == 1 ? "" : "s", options.outputFolder.c_str());
    return 0;
}

int List() {
    CTwainSession session;
    for (const std::string& name : session.ListSources())
        std::printf("%s\n", name.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = fnd::answerInfoOption(argc, argv, "twainscan", ScanUsage()))
        return *status;
    std::string error;
    const std::optional<SScanOptions> options = ParseScanOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "twainscan: %s\n", error.c_str());
        std::fputs(ScanUsage(), stderr);
        return 2;
    }
    // Past the file-size limit a write must fail with EFBIG, so that the page's temporary file is removed,
    // instead of the signal ending the process with it left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    CatchInterrupt();
    try {
        return options->listOnly ? List() : Scan(*options);
    } catch (const Interrupted& stop) {
        std::fprintf(stderr, "twainscan: %s\n", stop.what());
        return kInterruptedStatus;
    } catch (const ScanError& failure) {
        std::fprintf(stderr, "twainscan: %s\n", failure.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "twainscan: out of memory\n");
    }
    return 1;
}
