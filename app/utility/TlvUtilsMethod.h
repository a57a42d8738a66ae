// The shared helpers of the desktop application: controls by tag, the private temporary folder with its fixed
// sub-folders and page files, archiving dictionaries, locale and system version, file and view helpers, the
// rotation of one row of a 1-bit image and the checks of file names. Class functions only; the path and file
// helpers, archiving and rotation are safe on any thread, the view helpers belong to the main thread.
#pragma once

#include "Value.h"

#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TlvUtilsMethod {
public:
    TlvUtilsMethod() = delete;

    // ---- views (main thread) ----

    // The control with that tag inside view (the view included); null for a null view or none.
    static QWidget* itemInViewFromTag(QWidget* view, int targetTag);
    // Changes the hidden state only when it differs.
    static void setHiddenItem(QWidget* view, bool hidden);
    // Gives a text control the enabled or the disabled text colour, leaving the control itself enabled.
    static void setEnabledForText(bool enabled, QWidget* item);

    enum class LineBreakMode {
        WordWrapping,
        CharWrapping,
        Clipping,
        TruncatingHead,
        TruncatingTail,
        TruncatingMiddle
    };
    // The text as it fits a line of width pixels in the font: truncating modes elide it, the others
    // leave it whole (the label wraps or clips). Null for an empty text.
    static QString attrStrForLineBreak(const QString& text, LineBreakMode mode, const QFontMetrics& metrics,
                                       int width);

    // ---- images and icons ----

    // A deep copy that shares no pixels with image (a null image for a null one).
    static QImage remakeNewImage(const QImage& image);
    // The desktop's icon of an existing file or folder; a null icon otherwise. Needs a QGuiApplication.
    static QIcon fileIcnImage(const std::filesystem::path& path);
    // The desktop's icon of a plain folder. Needs a QGuiApplication.
    static QIcon defaultOSFolderIcnImage();

    // ---- files (any thread) ----

    // Moves a file or folder without ever replacing an existing target: a rename on one file system,
    // a copy (data, permissions, times) and a delete of the source across file systems.
    static bool enhancedMovePath(const std::filesystem::path& source, const std::filesystem::path& target);
    // The whole contents of a regular file; none when it cannot be read.
    static std::optional<fnd::Data> dataFromPath(const std::filesystem::path& path);
    // The size of an existing file in bytes (links followed); 0 otherwise.
    static std::uint64_t fileBytesByPath(const std::filesystem::path& path);
    // Makes sure the absolute path is a folder, making every missing component. False when any
    // component cannot be made or is not a folder, and for an empty or relative path.
    static bool checkAndMakeTargetDirectory(const std::filesystem::path& path);
    // True when a process of this user runs the program at path (an executable; links resolved).
    static bool isLaunchedApp(const std::filesystem::path& path);
    // The desktop file of the program that handles "mailto:" links; none when there is none.
    static std::optional<std::filesystem::path> defaultMailAppPath();

    // ---- the temporary folder (any thread) ----
    // "${TMPDIR:-/tmp}/Tlv_<VXDeviceName>_Tmp-<uid>.XXXXXX", made fresh by createTmpFolder for each
    // batch, private to this user (mode 0700) and to this process. Files inside are made and opened
    // through the folder's descriptor, never following a link.

    // The current folder; empty when there is none.
    static std::filesystem::path tmpImageFolderPath();
    // The raw file of the page with that index: "tmpImg_<index>" in the folder.
    static std::string tmpBaseImageFileName(int pageIndex);
    static std::filesystem::path tmpBaseImageFilePath(int pageIndex);
    // A new file name in the folder (read and write, mode 0600); -1 when there is no folder, the name
    // exists (also as a link) or is not a plain name. The caller closes the descriptor.
    static int createTmpFile(std::string_view name);
    // The file name in the folder for reading; -1 for a link, a missing file or no folder.
    static int openTmpFile(std::string_view name);
    static bool removeTmpFile(std::string_view name);
    // Removes the current folder (and any this user's crashed instances left) and makes a new one.
    // False, and no folder, when none could be made that passes the checks.
    static bool createTmpFolder();
    // Removes the current folder; false when there was none.
    static bool removeTmpFolder();
    // Bytes this user may still write on the disk of the temporary folders; none when it cannot be told.
    static std::optional<std::uint64_t> tmpFolderRoom();
    // Make "Multi" or "Mail" inside the temporary folder when that exists; none when they cannot be made.
    static std::optional<std::filesystem::path> createAndMultiFolderPath();
    static std::optional<std::filesystem::path> createAndMailFolderPath();
    static void removeMultiFolder();

    // ---- archiving, bundle and system (any thread) ----

    // A dictionary as a binary property list; none when it holds what a property list cannot
    // (in-process pointers, absent values).
    static std::optional<fnd::Data> encodeDictToData(const fnd::Dictionary& dict);
    // The dictionary inside data written by encodeDictToData; none for anything else. Only values
    // are read: nothing stored decides what is made.
    static std::optional<fnd::Dictionary> decodeDataToDict(const fnd::Data& data);
    // A value of the application's information dictionary; absent for a missing or empty key.
    static fnd::Value objectFromInfoDict(std::string_view key);
    // The first of the application's preferred localisations ("en"); empty when none.
    static std::string currentLocaleStr();
    static bool isEqualToLocaleStr(std::string_view locale);
    // The system version in the packed form the version checks compare (0x1049 for 10.4.9). This system
    // answers as the newest one, so every check for an old system is false.
    static std::int32_t currentOSVersion();
    static bool isOS1030();

    // ---- rows of 1-bit images (any thread) ----

    // Writes destination row dstLine of a 1-bit image (most significant bit first) turned by
    // direct: 0 a quarter turn clockwise, 1 anticlockwise (src is the whole source image), 2 a half
    // turn (src is the one source row to mirror). Source rows are (srcW + 7) / 8 bytes. False, and
    // nothing written, when a buffer is too small, dstLine is out of range or direct unknown.
    static bool rotate_Image1Bpp(std::span<std::uint8_t> dst, int dstLine, std::span<const std::uint8_t> src,
                                 int srcW, int srcH, int direct);

    // ---- texts and names (any thread) ----

    // The characters a file name may not contain: the yen sign and / : * ? < > | ".
    static const QString& invalidFileNameChars();
    // False when name holds a refused character; true otherwise, also for an empty name.
    static bool isValidNameInString(const QString& name);
    static bool isHeadCharDotInString(const QString& text);
    // text without the first occurrence of part; none when part does not occur (or either is empty).
    static std::optional<QString> deleteString(const QString& part, const QString& text);
    // text without leading and trailing white space; none for an empty text.
    static std::optional<QString> deleteSpaceHeadAndTail(const QString& text);

    // Search options, as bits.
    static constexpr int kCaseInsensitiveSearch = 1;
    static constexpr int kBackwardsSearch = 4;
    struct Range {
        qsizetype location = 0; // kNotFound when nothing matched
        qsizetype length = 0;
        friend bool operator==(const Range&, const Range&) = default;
    };
    static constexpr qsizetype kNotFound = -1;
    // The first (or, backwards, the last) of chars in text; {0, 0} when either is empty.
    static Range rangeOfCharInStrByOption(const QString& chars, const QString& text, int option);
};
