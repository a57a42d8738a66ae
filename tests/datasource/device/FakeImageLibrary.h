// A stand-in for the page library in device tests: passes raw bands through (one side, or the two halves
// of a two-sided band), appends backing lines, settles calibration after a set number of scans, and logs
// every call so that tests can check which entry point the device chose.
#pragma once

#include "ImageLibrary.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace k3100::test {

class FakeImageLibrary : public ImageLibrary {
public:
    int32_t failCall = 0; // library result for calls named failOn
    std::string failOn;
    int adjustingScans = 2; // calibration scans before the registers settle

    std::vector<std::string> calls() {
        std::lock_guard lock(mutex);
        return log;
    }
    int count(const std::string& name) {
        auto c = calls();
        return static_cast<int>(std::count(c.begin(), c.end(), name));
    }
    // A page the device began in the library and neither ended with a last band nor abandoned.
    bool pageLeftOpen() {
        bool open = false;
        for (const std::string& call : calls()) {
            if (call == "First" || call == "Middle")
                open = true;
            else if (call == "Last" || call == "LastAppended" || call == "AbandonPage")
                open = false;
        }
        return open;
    }
    void clearLog() {
        std::lock_guard lock(mutex);
        log.clear();
    }
    // While held, every page waits in the library at its first band: a slow page for the reader to run
    // ahead of. `pagesBegun` counts the pages that reached their first band.
    void hold() {
        std::lock_guard lock(gateMutex);
        held = true;
    }
    void release() {
        {
            std::lock_guard lock(gateMutex);
            held = false;
        }
        gate.notify_all();
    }
    int pagesBegun() {
        std::lock_guard lock(gateMutex);
        return begunPages;
    }

    qs::tagFILTERSIMPLEXINFO lastSimplex{};
    qs::tagFILTERDUPLEXINFO lastDuplex{};
    std::vector<int32_t> appendedHeights;

    int32_t FilterSimplex(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return simplex("FilterSimplex", o, i, r);
    }
    int32_t FilterSimplexFirst(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return simplex("First", o, i, r);
    }
    int32_t FilterSimplexMiddle(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return simplex("Middle", o, i, r);
    }
    int32_t FilterSimplexLast(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r) override {
        return simplex("Last", o, i, r);
    }
    int32_t FilterSimplexLastAppended(CImg& o, CImg& i, qs::tagFILTERSIMPLEXINFO* r, int32_t h) override {
        const int32_t result = simplex("LastAppended", o, i, r);
        if (result != 0)
            return result;
        appendedHeights.push_back(h);
        return appendBacking(o, r->InImageInfo.lWidth, h);
    }

    int32_t FilterDuplex(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return duplex("FilterDuplex", f, b, i, r);
    }
    int32_t FilterDuplexFirst(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return duplex("First", f, b, i, r);
    }
    int32_t FilterDuplexMiddle(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return duplex("Middle", f, b, i, r);
    }
    int32_t FilterDuplexLast(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r) override {
        return duplex("Last", f, b, i, r);
    }
    int32_t FilterDuplexLastAppended(CImg& f, CImg& b, CImg& i, qs::tagFILTERDUPLEXINFO* r,
                                     int32_t h) override {
        const int32_t result = duplex("LastAppended", f, b, i, r);
        if (result != 0)
            return result;
        appendedHeights.push_back(h);
        const int32_t width = r->InImageInfo.lWidth;
        return appendBacking(f, width, h) | appendBacking(b, width, h);
    }

    void AbandonPage() override { record("AbandonPage"); }
    void ReleaseBuffers() override { record("ReleaseBuffers"); }
    int32_t NormalFilterSimplex(CImg& out, CImg& in, Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO* r) override {
        record("Normal");
        if (r == nullptr || r->ulSize != sizeof(*r))
            return 2;
        if (r->NormalFilterInfo.pGrayToBinaryInfo != nullptr)
            return threshold(out, in);
        out.attachImg(in);
        return 0;
    }

    void AdjustLightFirst(qs::tagADJUSTINFO* info) override {
        record("AdjustLightFirst");
        scansLeft = adjustingScans;
        info->ScanInfo = 0xFFFF; // a dark scan first, as the real calibration asks
        // Registers that give the emulated sensor a usable signal.
        info->FrontAdjustInfo = {20, 0, 103, 0, 1500, 1500, 1500, 0, 0, 0};
        info->BackAdjustInfo = info->FrontAdjustInfo;
    }
    int32_t AdjustLightNext(CImg& scan, qs::tagADJUSTINFO* info) override {
        record("AdjustLightNext");
        if (scan.isNull() || info->ulSize != sizeof(*info))
            return 2;
        info->bAdjustDone = --scansLeft <= 0;
        return failed("AdjustLightNext");
    }
    int32_t AdjustLightLast(CImg& front, CImg& back, CImg& scan, qs::tagADJUSTINFO* info) override {
        record("AdjustLightLast");
        if (scan.isNull())
            return 2;
        front.createImg(scan.getWidth() / (info->bDuplex ? 2 : 1), 1, 16, 1, 0);
        if (info->bDuplex)
            back.createImg(front);
        return 0;
    }
    int32_t AdjustLightFix(CImg& white, CImg& black, qs::tagADJUSTINFO*, Ovk::Pixen::tagSIDE,
                           const uint8_t* data, uint32_t size) override {
        record("AdjustLightFix");
        return (white.isNull() || black.isNull() || data == nullptr || size != 0x80000) ? 2 : 0;
    }

    int32_t extraOffset = 0; // lines the library expects beyond what the scanner sends
    int32_t getOffset(int32_t res) override { return 6250 * res / 25400 + extraOffset; }
    int32_t getDummyPixelCount(int32_t) override { return 0; }
    void setOcrPath(const char* path) override { ocrPath = path; }
    int32_t checkTextDirection() override { return 0; }
    std::string ocrPath;

private:
    void record(const std::string& name) {
        std::lock_guard lock(mutex);
        log.push_back(name);
    }
    int32_t failed(const std::string& name) { return name == failOn ? failCall : 0; }
    void pass(const std::string& name) {
        record(name);
        if (name != "First" && name != "FilterSimplex" && name != "FilterDuplex")
            return;
        std::unique_lock lock(gateMutex);
        ++begunPages;
        gate.wait(lock, [&] { return !held; });
    }

    int32_t simplex(const std::string& name, CImg& out, CImg& in, qs::tagFILTERSIMPLEXINFO* r) {
        pass(name);
        if (r == nullptr || r->ulSize != sizeof(*r))
            return 2;
        lastSimplex = *r;
        if (failed(name) != 0)
            return failed(name);
        out.attachImg(in);
        return 0;
    }

    // Splits the band's columns into the two sides (one-sample grey bands).
    int32_t duplex(const std::string& name, CImg& front, CImg& back, CImg& in, qs::tagFILTERDUPLEXINFO* r) {
        pass(name);
        if (r == nullptr || r->ulSize != sizeof(*r))
            return 2;
        lastDuplex = *r;
        if (failed(name) != 0)
            return failed(name);
        if (in.isNull())
            return 0;
        const int32_t half = in.getWidth() / 2;
        front.createImg(half, in.getHeight(), 8, in.getSpp(), 1);
        back.createImg(half, in.getHeight(), 8, in.getSpp(), 1);
        for (int32_t y = 0; y < in.getHeight(); ++y) {
            std::memcpy(front.getLine(y), in.getLine(y), half);
            std::memcpy(back.getLine(y), in.getLine(y) + half, half);
        }
        in.deleteImg();
        return 0;
    }

    // One bit a pixel, most significant first; set where the grey is light.
    static int32_t threshold(CImg& out, CImg& in) {
        CImg binary;
        binary.createImg(in.getWidth(), in.getHeight(), 1, 1, 0);
        for (int32_t y = 0; y < in.getHeight(); ++y)
            for (int32_t x = 0; x < in.getWidth(); ++x)
                if (in.getLine(y)[x] >= 128)
                    binary.getLine(y)[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.attachImg(binary);
        return 0;
    }

    static int32_t appendBacking(CImg& out, int32_t width, int32_t lines) {
        if (lines <= 0)
            return 0;
        CImg backing;
        backing.createImg(out.isNull() ? width : out.getWidth(), lines, 8, 1, 1);
        std::memset(backing.getImage(), 0xFF, backing.getImageSize());
        if (out.isNull()) {
            out.attachImg(backing);
            return 0;
        }
        return out.appendImg(backing) ? 0 : 3;
    }

    std::mutex mutex;
    std::vector<std::string> log;
    int scansLeft = 0;
    std::mutex gateMutex;
    std::condition_variable gate;
    bool held = false;
    int begunPages = 0;
};

} // namespace k3100::test
