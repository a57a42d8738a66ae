// Error diffusion kernel. The rows carry two spare entries on each side, so the diffusion at the first
// and last pixels of a line stays inside them.
#include "CBFuncED.h"

CBFuncED::CBFuncED(int32_t capacity) {
    Reserve(capacity);
}

void CBFuncED::Reserve(int32_t width) {
    const size_t size = static_cast<size_t>(width) + 2 * kMargin;
    if (m_error.size() < size) {
        m_work.resize(size, 0);
        m_error.resize(size, 0);
    }
}

int CBFuncED::Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) {
    if (CBFunc::Start(dst, src, info) == 0) {
        return 0;
    }
    if (m_lineCount == 0) {
        Reserve(std::max(dst->lWidth, src->lWidth));
        std::fill(m_work.begin(), m_work.end(), 0);
        std::fill(m_error.begin(), m_error.end(), 0);
    }
    return 1;
}

void CBFuncED::Line() {
    Reserve(m_width); // a later band or a one-line call may be wider than the run's first
    int32_t* w = m_work.data() + kMargin;
    int32_t* e = m_error.data() + kMargin;
    const unsigned char* src = m_src;
    for (int32_t i = 0; i < m_width; ++i) {
        w[i] = src[i] + e[i];
    }
    const int32_t slice = m_slice;
    PackLine([w, e, slice](int32_t i) {
        int32_t v = w[i];
        const bool black = v <= slice;
        if (!black) {
            v -= 255;
        }
        const int32_t q = v / 4;
        if (q != 0) {
            w[i + 1] += q;
            e[i] = q;
            const int32_t h = q / 2;
            if (h != 0) {
                w[i + 2] += h;
                e[i - 2] += h;
                e[i - 1] += h;
                e[i + 1] += h;
            }
        }
        return black;
    });
    NextLine();
}
