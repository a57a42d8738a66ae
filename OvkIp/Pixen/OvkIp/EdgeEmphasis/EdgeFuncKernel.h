// CEdgeFuncKernel: a band driver with a three-line ring (newest, previous, spare) whose lines are finished
// one line late by Kernel through the level table of Rule. Every kernel class of the family is one
// instantiation; the ring rotates pointers, so a band is processed in place without copying it.
#pragma once

#include "EdgeEmphasis/EdgeFuncGray.h"
#include "EdgeEmphasis/EdgeKernels.h"
#include "EdgeEmphasis/EdgeLevels.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

template <class Kernel, EdgeLevelRule Rule> class CEdgeFuncKernel : public CEdgeFuncGray {
protected:
    int DelayLineNum() const override { return 1; }
    int32_t BytesPerPixel() const override { return Kernel::kBytesPerPixel; }

    void NewBuffer(const tagOVKIMAGEINFO& src) override {
        const size_t slot = static_cast<size_t>(src.lWidth) * Kernel::kBytesPerPixel;
        if (slot != m_slot) {
            m_pLineBuffer = std::make_unique<uint8_t[]>(3 * slot);
            m_slot = slot;
        }
        m_pNewest = m_pLineBuffer.get();
        m_pPrevious = m_pNewest + slot;
        m_pSpare = m_pPrevious + slot;
    }
    void MakeLevelTable() override {
        if (m_levelBase.empty())
            m_levelBase = MakeEdgeLevelTable(Rule, Kernel::kLevelRange);
    }

    int LineStart1(uint8_t* /*dst*/, const uint8_t* src, int32_t width) override {
        std::memcpy(m_pNewest, src, Bytes(width));
        return 0;
    }
    // The page's first line: nothing above it.
    int LineStart2(uint8_t* dst, const uint8_t* src, int32_t width) override {
        Take(src, width);
        Kernel::Line(dst, nullptr, m_pPrevious, m_pNewest, width, Level());
        return 1;
    }
    int LineCont(uint8_t* dst, const uint8_t* src, int32_t width) override {
        Take(src, width);
        Kernel::Line(dst, m_pSpare, m_pPrevious, m_pNewest, width, Level());
        return 1;
    }
    // The page's last line: nothing below it (nor above, on a page of one line).
    int LineFinish(uint8_t* dst, int32_t width) override {
        if (m_width == 0 || ulLineCount == 0)
            return 0;
        Kernel::Line(dst, ulLineCount > 1 ? m_pPrevious : nullptr, m_pNewest, nullptr, width, Level());
        return 1;
    }

private:
    static size_t Bytes(int32_t width) { return static_cast<size_t>(width) * Kernel::kBytesPerPixel; }
    const int32_t* Level() const { return m_levelBase.data() + Kernel::kLevelRange; }
    // The source line becomes the newest; the line before it is the one to finish.
    void Take(const uint8_t* src, int32_t width) {
        std::memcpy(m_pSpare, src, Bytes(width));
        std::swap(m_pPrevious, m_pSpare);
        std::swap(m_pNewest, m_pPrevious);
    }

    std::unique_ptr<uint8_t[]> m_pLineBuffer;
    size_t m_slot = 0;
    uint8_t* m_pNewest = nullptr;
    uint8_t* m_pPrevious = nullptr;
    uint8_t* m_pSpare = nullptr;
    std::vector<int32_t> m_levelBase;
};
