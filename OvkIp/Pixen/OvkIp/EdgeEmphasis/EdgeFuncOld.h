// The older edge-emphasis functions: the same band protocol (one line of delay) on process-wide buffers,
// so only one page may be in progress in the whole process. Modes: 1 smooths toward the diagonal
// neighbours, 2 copies, 3 to 5 sharpen against the four cross neighbours; the first and last pixel of a
// line and the first and last line of a page pass unchanged.
#pragma once

#include "EdgeEmphasis/EdgeFunc.h"

// Images: 8 bits, one sample or three planes in line order (ulRGBOrder bit 1: only the first plane is
// worked on and copied to the others); lines are addressed from lXpos, lYpos. Each returns 0 or -1.
// First band (at least 2 lines): dst receives src's lines but the last, which is held.
int EdgeFuncStart(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, uint32_t mode);
// Middle band: dst receives the held line and all but the band's last line.
int EdgeFuncCont(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, uint32_t mode);
// Writes the held line into dst's first line (when dst has pixels) and ends the page.
int EdgeFuncFinish(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, uint32_t mode);
// A whole page.
int EdgeFunc(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, uint32_t mode);

// The record forms (a record of kEdgeInfoOldSize: level = mode), with the line count written back.
int EdgeFuncOldStartEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
int EdgeFuncOldContEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
int EdgeFuncOldFinishEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
int EdgeFuncOldEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
