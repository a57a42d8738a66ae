// The job lists kept between runs: the scan-first job and the ten job rows, archived as binary
// property lists inside data values of the application's user defaults, with the settings version
// they were written under. The same archives serve the settings backup.
//
// The rows are always ten, one per job number 1..10, in display order. Every edit made through this
// class is written and synchronised at once. A stored list of a version this program does not
// know is never overwritten: it stays on disk untouched, the program runs on the built-in jobs and
// isStoredJobListKept() says so until the user's own data is usable again.
#pragma once

#include "TlvAppSettingMdl.h"
#include "TlvJobListSettingMdl.h"
#include "UserDefaults.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TlvJobListStorage {
public:
    using Row = std::shared_ptr<TlvJobListSettingMdl>;
    using RowOrder = std::function<bool(const TlvJobListSettingMdl&, const TlvJobListSettingMdl&)>;

    static constexpr const char* kFileVerKey = "FileVerKey";
    static constexpr const char* kMainFoaJLMdlKey = "MainFoaJLMdlKey";
    static constexpr const char* kMainJobJLMdlKey = "MainJobJLMdlKey";
    // Text key of the notice shown while a stored job list is kept aside.
    static constexpr const char* kStoredJobListKeptKey = "Wrn_StoredJobListKept";

    // The versions this program has written, oldest first; the last one is current.
    static constexpr std::uint32_t kFileVersions[] = {0x00000001, 0x00010001};
    static std::uint32_t currentFileVersion();
    static void saveFileVersionToFile(fnd::UserDefaults& store);
    static void saveFileVersionToFile(fnd::Dictionary& store);
    // The stored version; 0 when there is none or it is not an unsigned 32-bit number.
    static std::uint32_t loadFileVersionFromFile(const fnd::UserDefaults& store);
    static std::uint32_t loadFileVersionFromFile(const fnd::Dictionary& store);

    // Starts with the built-in jobs; loadJobListMdlFromFile reads what is stored. The defaults must
    // outlive this object.
    explicit TlvJobListStorage(fnd::UserDefaults& defaults = fnd::UserDefaults::standard());

    // Reads the stored lists (or builds the built-in ones); button 1 goes to a fresh scan-first job
    // when isBtn1AllocFOAScan.
    void loadJobListMdlFromFile(bool isBtn1AllocFOAScan);
    // Writes version and both lists and synchronises; false when nothing was written (a kept list,
    // or the file could not be written).
    bool saveJobListMdlToFile();

    // Archives (none when a list cannot be archived).
    std::optional<fnd::Data> foaJLMdlDictData() const;
    std::optional<fnd::Data> jobJLMdlDictData() const;
    static std::optional<fnd::Data> appStngMdlDictData(const TlvAppSettingMdl& settings);
    // Replace the scan-first job or the rows from an archive; false (nothing changed) when the data
    // is missing or does not decode.
    bool loadFoaJLMdlFromData(const fnd::Data* data);
    bool loadJobJLMdlFromData(const fnd::Data* data);
    // Application settings from an archive, keeping the scan mode now in force; none when the data
    // does not decode.
    static std::optional<TlvAppSettingMdl> loadAppStngMdlFromData(const fnd::Data* data,
                                                                  std::int32_t curScanModeType,
                                                                  const fnd::UserDefaults& defaults);

    const Row& foaJobListMdl() const { return mFoaJob; }
    const std::vector<Row>& jobListMdlArray() const { return mRows; }
    // The row at a position; null outside 0..9.
    Row jobListMdlAtIndex(int row) const;
    // The job at a row when it has a title; null for an unused slot or outside 0..9.
    Row titledJobAt(int row) const;
    // Rows whose job has a title: the job table shows that many, and they come first.
    int countOfJLMdlForMainJLDisp() const;
    // Copies of the jobs, in display order: what an editor works on.
    std::vector<Row> jobListMdlArrayCopy() const;

    // ---- edits, each saved at once (in memory only while a stored list is kept aside); false for a
    // row outside 0..9, a bad button, or a save that failed ----
    // Puts a copy of job in the row, keeping the row's job number; a button it holds leaves any other row.
    bool applyJob(int row, const TlvJobListSettingMdl& job);
    // Puts a copy of job in the row that holds its number, as applyJob; false when no row does.
    bool replaceMdlInJLMdlArray(const TlvJobListSettingMdl& job);
    // Makes the row an unused slot with its number.
    bool deleteJob(int row);
    // Gives the row's job the button (1, 2 or 4; -1 takes it away), taking it from any other row.
    bool assignScanButton(int row, std::int32_t status);
    // Reorders the rows (stable) by order; saves only when a row moved.
    bool sortRows(const RowOrder& order);
    void applyFoaJob(const TlvJobListSettingMdl& job);

    bool isStoredJobListKept() const { return mKeptFileVersion.has_value(); }
    std::optional<std::uint32_t> keptFileVersion() const { return mKeptFileVersion; }

private:
    void buildBuiltInRows();
    void makeFreshFoaJob(bool isBtn1AllocFOAScan);
    bool saveAfterEdit();

    fnd::UserDefaults& mDefaults;
    Row mFoaJob;
    std::vector<Row> mRows;
    std::optional<std::uint32_t> mKeptFileVersion;
};
