// TWAIN 1.9 capability identifiers and the values of the capabilities this system negotiates.
// Identifiers from CAP_CUSTOMBASE up belong to a data source; values are fixed by the standard.
#pragma once

#include "twaintypes.h"

// Capability identifiers (TW_CAPABILITY::Cap).
inline constexpr TW_UINT16 CAP_CUSTOMBASE = 0x8000;
inline constexpr TW_UINT16 CAP_XFERCOUNT = 0x0001;
inline constexpr TW_UINT16 ICAP_COMPRESSION = 0x0100;
inline constexpr TW_UINT16 ICAP_PIXELTYPE = 0x0101;
inline constexpr TW_UINT16 ICAP_UNITS = 0x0102;
inline constexpr TW_UINT16 ICAP_XFERMECH = 0x0103;
inline constexpr TW_UINT16 CAP_AUTHOR = 0x1000;
inline constexpr TW_UINT16 CAP_CAPTION = 0x1001;
inline constexpr TW_UINT16 CAP_FEEDERENABLED = 0x1002;
inline constexpr TW_UINT16 CAP_FEEDERLOADED = 0x1003;
inline constexpr TW_UINT16 CAP_TIMEDATE = 0x1004;
inline constexpr TW_UINT16 CAP_SUPPORTEDCAPS = 0x1005;
inline constexpr TW_UINT16 CAP_EXTENDEDCAPS = 0x1006;
inline constexpr TW_UINT16 CAP_AUTOFEED = 0x1007;
inline constexpr TW_UINT16 CAP_CLEARPAGE = 0x1008;
inline constexpr TW_UINT16 CAP_FEEDPAGE = 0x1009;
inline constexpr TW_UINT16 CAP_REWINDPAGE = 0x100a;
inline constexpr TW_UINT16 CAP_INDICATORS = 0x100b;
inline constexpr TW_UINT16 CAP_SUPPORTEDCAPSEXT = 0x100c;
inline constexpr TW_UINT16 CAP_PAPERDETECTABLE = 0x100d;
inline constexpr TW_UINT16 CAP_UICONTROLLABLE = 0x100e;
inline constexpr TW_UINT16 CAP_DEVICEONLINE = 0x100f;
inline constexpr TW_UINT16 CAP_AUTOSCAN = 0x1010;
inline constexpr TW_UINT16 CAP_THUMBNAILSENABLED = 0x1011;
inline constexpr TW_UINT16 CAP_DUPLEX = 0x1012;
inline constexpr TW_UINT16 CAP_DUPLEXENABLED = 0x1013;
inline constexpr TW_UINT16 CAP_ENABLEDSUIONLY = 0x1014;
inline constexpr TW_UINT16 CAP_CUSTOMDSDATA = 0x1015;
inline constexpr TW_UINT16 CAP_ENDORSER = 0x1016;
inline constexpr TW_UINT16 CAP_JOBCONTROL = 0x1017;
inline constexpr TW_UINT16 CAP_ALARMS = 0x1018;
inline constexpr TW_UINT16 CAP_ALARMVOLUME = 0x1019;
inline constexpr TW_UINT16 CAP_AUTOMATICCAPTURE = 0x101a;
inline constexpr TW_UINT16 CAP_TIMEBEFOREFIRSTCAPTURE = 0x101b;
inline constexpr TW_UINT16 CAP_TIMEBETWEENCAPTURES = 0x101c;
inline constexpr TW_UINT16 CAP_CLEARBUFFERS = 0x101d;
inline constexpr TW_UINT16 CAP_MAXBATCHBUFFERS = 0x101e;
inline constexpr TW_UINT16 CAP_DEVICETIMEDATE = 0x101f;
inline constexpr TW_UINT16 CAP_POWERSUPPLY = 0x1020;
inline constexpr TW_UINT16 CAP_CAMERAPREVIEWUI = 0x1021;
inline constexpr TW_UINT16 CAP_DEVICEEVENT = 0x1022;
inline constexpr TW_UINT16 CAP_SERIALNUMBER = 0x1024;
inline constexpr TW_UINT16 CAP_PRINTER = 0x1026;
inline constexpr TW_UINT16 CAP_PRINTERENABLED = 0x1027;
inline constexpr TW_UINT16 CAP_PRINTERINDEX = 0x1028;
inline constexpr TW_UINT16 CAP_PRINTERMODE = 0x1029;
inline constexpr TW_UINT16 CAP_PRINTERSTRING = 0x102a;
inline constexpr TW_UINT16 CAP_PRINTERSUFFIX = 0x102b;
inline constexpr TW_UINT16 CAP_LANGUAGE = 0x102c;
inline constexpr TW_UINT16 CAP_FEEDERALIGNMENT = 0x102d;
inline constexpr TW_UINT16 CAP_FEEDERORDER = 0x102e;
inline constexpr TW_UINT16 CAP_REACQUIREALLOWED = 0x1030;
inline constexpr TW_UINT16 CAP_BATTERYMINUTES = 0x1032;
inline constexpr TW_UINT16 CAP_BATTERYPERCENTAGE = 0x1033;
inline constexpr TW_UINT16 ICAP_AUTOBRIGHT = 0x1100;
inline constexpr TW_UINT16 ICAP_BRIGHTNESS = 0x1101;
inline constexpr TW_UINT16 ICAP_CONTRAST = 0x1103;
inline constexpr TW_UINT16 ICAP_CUSTHALFTONE = 0x1104;
inline constexpr TW_UINT16 ICAP_EXPOSURETIME = 0x1105;
inline constexpr TW_UINT16 ICAP_FILTER = 0x1106;
inline constexpr TW_UINT16 ICAP_FLASHUSED = 0x1107;
inline constexpr TW_UINT16 ICAP_GAMMA = 0x1108;
inline constexpr TW_UINT16 ICAP_HALFTONES = 0x1109;
inline constexpr TW_UINT16 ICAP_HIGHLIGHT = 0x110a;
inline constexpr TW_UINT16 ICAP_IMAGEFILEFORMAT = 0x110c;
inline constexpr TW_UINT16 ICAP_LAMPSTATE = 0x110d;
inline constexpr TW_UINT16 ICAP_LIGHTSOURCE = 0x110e;
inline constexpr TW_UINT16 ICAP_ORIENTATION = 0x1110;
inline constexpr TW_UINT16 ICAP_PHYSICALWIDTH = 0x1111;
inline constexpr TW_UINT16 ICAP_PHYSICALHEIGHT = 0x1112;
inline constexpr TW_UINT16 ICAP_SHADOW = 0x1113;
inline constexpr TW_UINT16 ICAP_FRAMES = 0x1114;
inline constexpr TW_UINT16 ICAP_XNATIVERESOLUTION = 0x1116;
inline constexpr TW_UINT16 ICAP_YNATIVERESOLUTION = 0x1117;
inline constexpr TW_UINT16 ICAP_XRESOLUTION = 0x1118;
inline constexpr TW_UINT16 ICAP_YRESOLUTION = 0x1119;
inline constexpr TW_UINT16 ICAP_MAXFRAMES = 0x111a;
inline constexpr TW_UINT16 ICAP_TILES = 0x111b;
inline constexpr TW_UINT16 ICAP_BITORDER = 0x111c;
inline constexpr TW_UINT16 ICAP_CCITTKFACTOR = 0x111d;
inline constexpr TW_UINT16 ICAP_LIGHTPATH = 0x111e;
inline constexpr TW_UINT16 ICAP_PIXELFLAVOR = 0x111f;
inline constexpr TW_UINT16 ICAP_PLANARCHUNKY = 0x1120;
inline constexpr TW_UINT16 ICAP_ROTATION = 0x1121;
inline constexpr TW_UINT16 ICAP_SUPPORTEDSIZES = 0x1122;
inline constexpr TW_UINT16 ICAP_THRESHOLD = 0x1123;
inline constexpr TW_UINT16 ICAP_XSCALING = 0x1124;
inline constexpr TW_UINT16 ICAP_YSCALING = 0x1125;
inline constexpr TW_UINT16 ICAP_BITORDERCODES = 0x1126;
inline constexpr TW_UINT16 ICAP_PIXELFLAVORCODES = 0x1127;
inline constexpr TW_UINT16 ICAP_JPEGPIXELTYPE = 0x1128;
inline constexpr TW_UINT16 ICAP_TIMEFILL = 0x112a;
inline constexpr TW_UINT16 ICAP_BITDEPTH = 0x112b;
inline constexpr TW_UINT16 ICAP_BITDEPTHREDUCTION = 0x112c;
inline constexpr TW_UINT16 ICAP_UNDEFINEDIMAGESIZE = 0x112d;
inline constexpr TW_UINT16 ICAP_IMAGEDATASET = 0x112e;
inline constexpr TW_UINT16 ICAP_EXTIMAGEINFO = 0x112f;
inline constexpr TW_UINT16 ICAP_MINIMUMHEIGHT = 0x1130;
inline constexpr TW_UINT16 ICAP_MINIMUMWIDTH = 0x1131;
inline constexpr TW_UINT16 ICAP_FLIPROTATION = 0x1136;
inline constexpr TW_UINT16 ICAP_BARCODEDETECTIONENABLED = 0x1137;
inline constexpr TW_UINT16 ICAP_SUPPORTEDBARCODETYPES = 0x1138;
inline constexpr TW_UINT16 ICAP_BARCODEMAXSEARCHPRIORITIES = 0x1139;
inline constexpr TW_UINT16 ICAP_BARCODESEARCHPRIORITIES = 0x113a;
inline constexpr TW_UINT16 ICAP_BARCODESEARCHMODE = 0x113b;
inline constexpr TW_UINT16 ICAP_BARCODEMAXRETRIES = 0x113c;
inline constexpr TW_UINT16 ICAP_BARCODETIMEOUT = 0x113d;
inline constexpr TW_UINT16 ICAP_ZOOMFACTOR = 0x113e;
inline constexpr TW_UINT16 ICAP_PATCHCODEDETECTIONENABLED = 0x113f;
inline constexpr TW_UINT16 ICAP_SUPPORTEDPATCHCODETYPES = 0x1140;
inline constexpr TW_UINT16 ICAP_PATCHCODEMAXSEARCHPRIORITIES = 0x1141;
inline constexpr TW_UINT16 ICAP_PATCHCODESEARCHPRIORITIES = 0x1142;
inline constexpr TW_UINT16 ICAP_PATCHCODESEARCHMODE = 0x1143;
inline constexpr TW_UINT16 ICAP_PATCHCODEMAXRETRIES = 0x1144;
inline constexpr TW_UINT16 ICAP_PATCHCODETIMEOUT = 0x1145;
inline constexpr TW_UINT16 ICAP_FLASHUSED2 = 0x1146;
inline constexpr TW_UINT16 ICAP_IMAGEFILTER = 0x1147;
inline constexpr TW_UINT16 ICAP_NOISEFILTER = 0x1148;
inline constexpr TW_UINT16 ICAP_OVERSCAN = 0x1149;
inline constexpr TW_UINT16 ICAP_AUTOMATICBORDERDETECTION = 0x1150;
inline constexpr TW_UINT16 ICAP_AUTOMATICDESKEW = 0x1151;
inline constexpr TW_UINT16 ICAP_AUTOMATICROTATE = 0x1152;
inline constexpr TW_UINT16 ICAP_JPEGQUALITY = 0x1153;
inline constexpr TW_UINT16 ACAP_AUDIOFILEFORMAT = 0x1201;
inline constexpr TW_UINT16 ACAP_XFERMECH = 0x1202;

// Pixel types (ICAP_PIXELTYPE).
inline constexpr TW_UINT16 TWPT_BW = 0;
inline constexpr TW_UINT16 TWPT_GRAY = 1;
inline constexpr TW_UINT16 TWPT_RGB = 2;
inline constexpr TW_UINT16 TWPT_PALETTE = 3;
inline constexpr TW_UINT16 TWPT_CMY = 4;
inline constexpr TW_UINT16 TWPT_CMYK = 5;
inline constexpr TW_UINT16 TWPT_YUV = 6;
inline constexpr TW_UINT16 TWPT_YUVK = 7;
inline constexpr TW_UINT16 TWPT_CIEXYZ = 8;

// Units (ICAP_UNITS).
inline constexpr TW_UINT16 TWUN_INCHES = 0;
inline constexpr TW_UINT16 TWUN_CENTIMETERS = 1;
inline constexpr TW_UINT16 TWUN_PICAS = 2;
inline constexpr TW_UINT16 TWUN_POINTS = 3;
inline constexpr TW_UINT16 TWUN_TWIPS = 4;
inline constexpr TW_UINT16 TWUN_PIXELS = 5;

// Transfer mechanisms (ICAP_XFERMECH).
inline constexpr TW_UINT16 TWSX_NATIVE = 0;
inline constexpr TW_UINT16 TWSX_FILE = 1;
inline constexpr TW_UINT16 TWSX_MEMORY = 2;
inline constexpr TW_UINT16 TWSX_FILE2 = 3;

// Compression (ICAP_COMPRESSION).
inline constexpr TW_UINT16 TWCP_NONE = 0;
inline constexpr TW_UINT16 TWCP_PACKBITS = 1;
inline constexpr TW_UINT16 TWCP_GROUP31D = 2;
inline constexpr TW_UINT16 TWCP_GROUP31DEOL = 3;
inline constexpr TW_UINT16 TWCP_GROUP32D = 4;
inline constexpr TW_UINT16 TWCP_GROUP4 = 5;
inline constexpr TW_UINT16 TWCP_JPEG = 6;
inline constexpr TW_UINT16 TWCP_LZW = 7;
inline constexpr TW_UINT16 TWCP_JBIG = 8;
inline constexpr TW_UINT16 TWCP_PNG = 9;
inline constexpr TW_UINT16 TWCP_RLE4 = 10;
inline constexpr TW_UINT16 TWCP_RLE8 = 11;
inline constexpr TW_UINT16 TWCP_BITFIELDS = 12;

// File formats (ICAP_IMAGEFILEFORMAT).
inline constexpr TW_UINT16 TWFF_TIFF = 0;
inline constexpr TW_UINT16 TWFF_PICT = 1;
inline constexpr TW_UINT16 TWFF_BMP = 2;
inline constexpr TW_UINT16 TWFF_XBM = 3;
inline constexpr TW_UINT16 TWFF_JFIF = 4;
inline constexpr TW_UINT16 TWFF_FPX = 5;
inline constexpr TW_UINT16 TWFF_TIFFMULTI = 6;
inline constexpr TW_UINT16 TWFF_PNG = 7;
inline constexpr TW_UINT16 TWFF_SPIFF = 8;
inline constexpr TW_UINT16 TWFF_EXIF = 9;

// Planar or chunky samples (ICAP_PLANARCHUNKY).
inline constexpr TW_UINT16 TWPC_CHUNKY = 0;
inline constexpr TW_UINT16 TWPC_PLANAR = 1;

// Pixel flavour (ICAP_PIXELFLAVOR): chocolate means 0 is darkest.
inline constexpr TW_UINT16 TWPF_CHOCOLATE = 0;
inline constexpr TW_UINT16 TWPF_VANILLA = 1;

// Bit order (ICAP_BITORDER).
inline constexpr TW_UINT16 TWBO_LSBFIRST = 0;
inline constexpr TW_UINT16 TWBO_MSBFIRST = 1;

// Orientation (ICAP_ORIENTATION).
inline constexpr TW_UINT16 TWOR_ROT0 = 0;
inline constexpr TW_UINT16 TWOR_ROT90 = 1;
inline constexpr TW_UINT16 TWOR_ROT180 = 2;
inline constexpr TW_UINT16 TWOR_ROT270 = 3;
inline constexpr TW_UINT16 TWOR_PORTRAIT = 0;
inline constexpr TW_UINT16 TWOR_LANDSCAPE = 3;

// Light source (ICAP_LIGHTSOURCE).
inline constexpr TW_UINT16 TWLS_RED = 0;
inline constexpr TW_UINT16 TWLS_GREEN = 1;
inline constexpr TW_UINT16 TWLS_BLUE = 2;
inline constexpr TW_UINT16 TWLS_NONE = 3;
inline constexpr TW_UINT16 TWLS_WHITE = 4;
inline constexpr TW_UINT16 TWLS_UV = 5;
inline constexpr TW_UINT16 TWLS_IR = 6;

// Clear buffers (CAP_CLEARBUFFERS).
inline constexpr TW_UINT16 TWCB_AUTO = 0;
inline constexpr TW_UINT16 TWCB_CLEAR = 1;
inline constexpr TW_UINT16 TWCB_NOCLEAR = 2;

// Paper sizes (ICAP_SUPPORTEDSIZES).
inline constexpr TW_UINT16 TWSS_NONE = 0;
inline constexpr TW_UINT16 TWSS_A4LETTER = 1;
inline constexpr TW_UINT16 TWSS_A4 = 1;
inline constexpr TW_UINT16 TWSS_B5LETTER = 2;
inline constexpr TW_UINT16 TWSS_JISB5 = 2;
inline constexpr TW_UINT16 TWSS_USLETTER = 3;
inline constexpr TW_UINT16 TWSS_USLEGAL = 4;
inline constexpr TW_UINT16 TWSS_A5 = 5;
inline constexpr TW_UINT16 TWSS_B4 = 6;
inline constexpr TW_UINT16 TWSS_ISOB4 = 6;
inline constexpr TW_UINT16 TWSS_B6 = 7;
inline constexpr TW_UINT16 TWSS_ISOB6 = 7;
inline constexpr TW_UINT16 TWSS_USLEDGER = 9;
inline constexpr TW_UINT16 TWSS_USEXECUTIVE = 10;
inline constexpr TW_UINT16 TWSS_A3 = 11;
inline constexpr TW_UINT16 TWSS_B3 = 12;
inline constexpr TW_UINT16 TWSS_ISOB3 = 12;
inline constexpr TW_UINT16 TWSS_A6 = 13;
inline constexpr TW_UINT16 TWSS_C4 = 14;
inline constexpr TW_UINT16 TWSS_C5 = 15;
inline constexpr TW_UINT16 TWSS_C6 = 16;
inline constexpr TW_UINT16 TWSS_4A0 = 17;
inline constexpr TW_UINT16 TWSS_2A0 = 18;
inline constexpr TW_UINT16 TWSS_A0 = 19;
inline constexpr TW_UINT16 TWSS_A1 = 20;
inline constexpr TW_UINT16 TWSS_A2 = 21;
inline constexpr TW_UINT16 TWSS_A7 = 22;
inline constexpr TW_UINT16 TWSS_A8 = 23;
inline constexpr TW_UINT16 TWSS_A9 = 24;
inline constexpr TW_UINT16 TWSS_A10 = 25;
inline constexpr TW_UINT16 TWSS_ISOB0 = 26;
inline constexpr TW_UINT16 TWSS_ISOB1 = 27;
inline constexpr TW_UINT16 TWSS_ISOB2 = 28;
inline constexpr TW_UINT16 TWSS_ISOB5 = 29;
inline constexpr TW_UINT16 TWSS_ISOB7 = 30;
inline constexpr TW_UINT16 TWSS_ISOB8 = 31;
inline constexpr TW_UINT16 TWSS_ISOB9 = 32;
inline constexpr TW_UINT16 TWSS_ISOB10 = 33;
inline constexpr TW_UINT16 TWSS_JISB0 = 34;
inline constexpr TW_UINT16 TWSS_JISB1 = 35;
inline constexpr TW_UINT16 TWSS_JISB2 = 36;
inline constexpr TW_UINT16 TWSS_JISB3 = 37;
inline constexpr TW_UINT16 TWSS_JISB4 = 38;
inline constexpr TW_UINT16 TWSS_JISB6 = 39;
inline constexpr TW_UINT16 TWSS_JISB7 = 40;
inline constexpr TW_UINT16 TWSS_JISB8 = 41;
inline constexpr TW_UINT16 TWSS_JISB9 = 42;
inline constexpr TW_UINT16 TWSS_JISB10 = 43;
inline constexpr TW_UINT16 TWSS_C0 = 44;
inline constexpr TW_UINT16 TWSS_C1 = 45;
inline constexpr TW_UINT16 TWSS_C2 = 46;
inline constexpr TW_UINT16 TWSS_C3 = 47;
inline constexpr TW_UINT16 TWSS_C7 = 48;
inline constexpr TW_UINT16 TWSS_C8 = 49;
inline constexpr TW_UINT16 TWSS_C9 = 50;
inline constexpr TW_UINT16 TWSS_C10 = 51;
inline constexpr TW_UINT16 TWSS_USSTATEMENT = 52;
inline constexpr TW_UINT16 TWSS_BUSINESSCARD = 53;
