// Multi-page TIFF files built in place, without an image library: a big-endian file is turned into a
// little-endian one, and a little-endian file is appended to another with its directories linked and
// relocated. Every entry point answers one of the result codes below and closes what it opened.
#pragma once

#include <cstdint>
#include <cstdio>

enum : int {
    kTiffOK = 0,
    kTiffWrongOrder = 1,  // not the expected byte order; in SearchLinkPos also: the chain is shorter
    kTiffOpenFirst = 2,   // the target (or the file to convert) does not open
    kTiffOpenSecond = 3,  // the source does not open
    kTiffSeek = 4,        // a seek failed, or a directory entry could not be read
    kTiffRead = 6,        // a read failed
    kTiffWrite = 8,       // a write failed
    kTiffCloseFirst = 10, // closing the target failed
    kTiffCloseSecond = 11,
    kTiffTooLarge = 12, // the joined file would not be addressable with 32-bit offsets (4 GiB)
    kTiffBadLayout =
        13, // a directory or value lies outside the file, the chain loops, or an offset is not 32-bit
};

// Page count value that asks SearchLinkPos to count the directories.
constexpr uint32_t kTiffCountPages = 0xFFFFFFFF;

// Size of an open file in bytes (the position is left at its end).
uint64_t GetFileSize(FILE* file);

// Walks the directory chain of a little-endian TIFF file. With *pageCount == kTiffCountPages it counts
// the directories into *pageCount and gives the position of the final zero link in *linkPos (*ifdOffset
// 0); otherwise it gives the offset of directory *pageCount (1 = the first) and the position of the link
// that points to it. *fileSize is the file's size.
int SearchLinkPos(FILE* file, uint32_t* pageCount, uint32_t* ifdOffset, uint32_t* linkPos,
                  uint64_t* fileSize);

// Appends the little-endian TIFF file at source to the one at target; on any failure after the target
// was opened it is left with its former contents and length.
int ConcatTiff(const char* target, const char* source);

// Makes a big-endian TIFF file little-endian in place (directories and their values; the image data are
// bytes). A little-endian file is left as it is.
int ConvertII(const char* path);
