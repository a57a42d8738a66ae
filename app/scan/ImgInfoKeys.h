// Keys of a page record (ImgInfoDict), which the page transfer makes for every scanned page and the
// page list keeps: the raw file's name, its layout and the quarter turns the user gave it.
#pragma once

inline constexpr const char* ImgInfo_NameKey = "ImgInfo_NameKey"; // string: raw file in the temporary folder
inline constexpr const char* ImgInfo_bppKey = "ImgInfo_bppKey";   // integer: 1, 8 or 24 bits per pixel
inline constexpr const char* ImgInfo_WidthKey = "ImgInfo_WidthKey";   // integer: pixels
inline constexpr const char* ImgInfo_HeightKey = "ImgInfo_HeightKey"; // integer: pixels
inline constexpr const char* ImgInfo_XResKey = "ImgInfo_XResKey";     // float: dots per inch
inline constexpr const char* ImgInfo_YResKey = "ImgInfo_YResKey";     // float: dots per inch
inline constexpr const char* ImgInfo_RotateKey = "ImgInfo_RotateKey"; // integer: clockwise quarter turns 0..3
