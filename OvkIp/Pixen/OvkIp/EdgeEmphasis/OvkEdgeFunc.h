// Edge-emphasis entry points: one object per page behind the record's handle word, fed the first, middle
// and last bands of an 8-bit grey or colour page. Results are 0 or -1; nothing throws. A record of
// kEdgeInfoOldSize runs the process-wide functions instead (one page at a time in the process).
#pragma once

#include "EdgeEmphasis/EdgeFunc.h"

// Zeroes the record after its size word (set the size first) and sets the level to 1.
void InitEDGEINFO(tagEDGEINFO* info);
// Makes the object that hEdgeFunc's image kind and ulLevel select and stores it in hEdgeFunc. A live object
// already there is returned as it is; null (hEdgeFunc 0) for a kind and level that select none, and null
// for a word the library did not hand out.
CEdgeFunc* CreateEdgeFuncHandle(tagEDGEINFO* info);
// Deletes the record's object and clears hEdgeFunc; a second call does nothing.
void ReleaseEdgeFuncHandle(tagEDGEINFO* info);

// First band, in place (dst describes the same lines as src, or room for as many). Makes the object when
// hEdgeFunc holds an image kind, 0 meaning "the source's". dst's lHeight becomes the lines finished.
int EdgeFuncStartEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
// Middle band, in place: the held line and all but the band's last line come out.
int EdgeFuncContEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
// Last band (src may be null or empty): dst, with room for the held line plus src's lines, receives them
// all; then the object is released. A refused call keeps the object for ReleaseEdgeFuncHandle.
int EdgeFuncFinishEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
// A whole page in one call; dst's lHeight becomes src's.
int EdgeFuncEx(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagEDGEINFO* info);
