// Band driver. Whole-page filters collect bands by buffer ownership and run once at the last band on the
// joined page, in the caller's image object, so the steps after them see the page come back whole.
#include "CIPController.h"

#include "OvkLogger.h"

namespace Ovk::Pixen {

template <class T> std::int32_t CIPController<T>::execIP(CImg& image, void* info, tagIMAGESTATE state) {
    if (!m_pIP)
        return RTN_PAR;
    std::int32_t result;
    try {
        result = dispatch(image, info, state);
    } catch (const std::bad_alloc&) {
        result = RTN_MEMORY;
    }
    OvkLogger::writeLog("%30s.IP[%d] return %d", m_pIP->getName(), static_cast<int>(state),
                        static_cast<int>(result));
    return result;
}

template <class T> std::int32_t CIPController<T>::dispatch(CImg& image, void* info, tagIMAGESTATE state) {
    switch (state) {
    case IMAGESTATE_WHOLE:
        m_bFirst = true;
        m_ImgList.PopAll();
        return runWhole(image, info);
    case IMAGESTATE_FIRST:
        // Leftovers of an unfinished page are dropped.
        m_bFirst = true;
        m_ImgList.PopAll();
        return IPMiddle(image, info);
    case IMAGESTATE_MIDDLE:
        return IPMiddle(image, info);
    case IMAGESTATE_LAST: {
        const std::int32_t result = IPLast(image, info);
        m_ImgList.PopAll();
        m_bFirst = true;
        return result;
    }
    }
    return RTN_SEQUENCE;
}

template <class T> std::int32_t CIPController<T>::runWhole(CImg& image, void* info) {
    const std::int32_t result = m_pIP->setInfo(image, info);
    return result != RTN_OK ? result : m_pIP->IP(image);
}

template <class T> std::int32_t CIPController<T>::IPMiddle(CImg& band, void* info) {
    if (m_bFirst)
        m_ImgList.PopAll();
    if (m_nMode == BANDMODE_PAGE) {
        // A band the page cannot take would otherwise vanish from the whole-page result unnoticed.
        if (m_ImgList.PushBack(band) == 0)
            return RTN_PAR;
        m_bFirst = false;
        return RTN_OK;
    }
    if (band.isNull())
        return RTN_OK;
    if (m_bFirst) {
        m_bFirst = false;
        const std::int32_t result = m_pIP->setInfoFirst(band, info);
        return result != RTN_OK ? result : m_pIP->IPFirst(band);
    }
    const std::int32_t result = m_pIP->setInfoMiddle(band, info);
    return result != RTN_OK ? result : m_pIP->IPMiddle(band);
}

template <class T> std::int32_t CIPController<T>::IPLast(CImg& band, void* info) {
    if (m_bFirst)
        m_ImgList.PopAll();
    if (m_nMode == BANDMODE_PAGE) {
        const std::int32_t joined = joinPage(band);
        return joined != RTN_OK ? joined : runWhole(band, info);
    }
    if (m_bFirst)
        return runWhole(band, info); // the filter has had no band of this page, empty or not
    if (band.isNull() && m_nMode != BANDMODE_HOLD && m_nMode != BANDMODE_HOLD_ALT)
        return RTN_OK;
    const std::int32_t result = m_pIP->setInfoLast(band, info);
    return result != RTN_OK ? result : m_pIP->IPLast(band);
}

template <class T> std::int32_t CIPController<T>::joinPage(CImg& lastBand) {
    if (m_ImgList.empty())
        return RTN_OK; // the last band already is the whole page
    if (m_ImgList.PushBack(lastBand) == 0)
        return RTN_PAR;
    m_ImgList.SpliceAndPopAll(lastBand);
    return lastBand.isNull() ? RTN_MEMORY : RTN_OK;
}

template class CIPController<CIPBase>;

} // namespace Ovk::Pixen
