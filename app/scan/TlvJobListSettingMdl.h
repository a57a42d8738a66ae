// One job: its number (1..10 for the ten slots, -1 for the scan-first job), title, output-function
// type, the scanner button assigned to it, and the two setting models it owns. The models are
// shared (a job and the session may hold the same scan settings); copyWithZone copies them deeply.
// The dictionary form is the stored format of the job lists and is read as outside input.
#pragma once

#include "TlvFuncSettingMdl.h"
#include "TlvScanSettingMdl.h"

#include <memory>
#include <optional>
#include <string>

class TlvJobListSettingMdl {
public:
    static constexpr int kJobSlotCount = 10;
    // Scanner buttons a job can hold; -1 is none.
    static constexpr std::int32_t kNoButton = -1;
    static bool isScanButton(std::int32_t status) { return status == 1 || status == 2 || status == 4; }

    // Number -1, title "", no function (-1), no button, fresh models.
    TlvJobListSettingMdl();
    // An unused slot: number index + 1, title "", function 0 (save); none outside 0..9.
    static std::optional<TlvJobListSettingMdl> initWithBlankJobMdlIndex(int index);
    // The built-in job of the slot (titles from the string table, the image viewer from the
    // platform look-up); none outside 0..9.
    static std::optional<TlvJobListSettingMdl> initWithJobIndex(int index);
    // A stored job: fields of the wrong type or range keep the values of a new job; a slot (not the
    // scan-first job) without a title is blank and takes this machine's language defaults.
    static TlvJobListSettingMdl initWithJobListMdlDict(const fnd::Dictionary* dict, bool isFoaMode);
    fnd::Dictionary jobListMdlToDict() const;
    // Same number, title, type and button; copies of both models.
    TlvJobListSettingMdl copyWithZone() const;

    // Stores index + 1 for a slot index 0..9; anything else leaves the number unchanged.
    void setJList_Num(int index);
    std::int32_t jList_Num() const { return mJList_Num; }
    void setJList_Title(const std::optional<std::string>& title) { mJList_Title = title; }
    const std::optional<std::string>& jList_Title() const { return mJList_Title; }
    void setJList_FunctionType(std::int32_t type) { mJList_FunctionType = type; }
    std::int32_t jList_FunctionType() const { return mJList_FunctionType; }
    void setJList_ScanBtnStatus(std::int32_t status) { mJList_ScanBtnStatus = status; }
    std::int32_t jList_ScanBtnStatus() const { return mJList_ScanBtnStatus; }
    void setJList_FuncSettingMdl(std::shared_ptr<TlvFuncSettingMdl> model) {
        mJList_FuncSettingMdl = std::move(model);
    }
    const std::shared_ptr<TlvFuncSettingMdl>& jList_FuncSettingMdl() const { return mJList_FuncSettingMdl; }
    void setJList_ScanSettingMdl(std::shared_ptr<TlvScanSettingMdl> model) {
        mJList_ScanSettingMdl = std::move(model);
    }
    const std::shared_ptr<TlvScanSettingMdl>& jList_ScanSettingMdl() const { return mJList_ScanSettingMdl; }
    // An empty title marks an unused slot.
    bool isBlank() const { return !mJList_Title || mJList_Title->empty(); }

    // Image names of the assigned button's badge and of the function's own icon (used when the
    // desktop has no icon for the folder, mail program, printer or application); "" for none.
    std::string jList_ScanBtnImgName(bool small) const;
    std::string jList_FuncTypeDefaultImgName(bool small) const;

private:
    std::int32_t mJList_Num = -1;
    std::optional<std::string> mJList_Title = std::string();
    std::int32_t mJList_FunctionType = -1; // 0 save, 1 mail, 2 print, 3 application
    std::int32_t mJList_ScanBtnStatus = kNoButton;
    std::shared_ptr<TlvFuncSettingMdl> mJList_FuncSettingMdl;
    std::shared_ptr<TlvScanSettingMdl> mJList_ScanSettingMdl;
};
