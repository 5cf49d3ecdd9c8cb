#pragma once
// Records shared by the drive list, the scan worker and the pages.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// A 64-bit counter written by the scan worker and read by the main thread:
// always stored and loaded whole, never torn.
class TAtomicInt64 {
public:
    TAtomicInt64(int64_t v = 0) : v_(v) {}
    TAtomicInt64(const TAtomicInt64& o) : v_(o.Load()) {}
    TAtomicInt64& operator=(const TAtomicInt64& o)
    {
        Store(o.Load());
        return *this;
    }
    TAtomicInt64& operator=(int64_t v)
    {
        Store(v);
        return *this;
    }
    operator int64_t() const { return Load(); }
    int64_t Load() const { return v_.load(std::memory_order_relaxed); }
    void Store(int64_t v) { v_.store(v, std::memory_order_relaxed); }

private:
    std::atomic<int64_t> v_;
};

// One listed drive. The display fields never change after the list is built.
struct TDriveListItem {
    std::string RootPath;
    std::string DisplayName;
    std::string FileSystem;
    std::string TotalSizeText;
    std::string FreeSizeText;
    uint8_t FreePercent = 0;
    int32_t IconIndex = 0;
    TAtomicInt64 AnalysisTotal;
    TAtomicInt64 FragmentedFiles;
    TAtomicInt64 DefragFragmentedFiles;
    TAtomicInt64 Fragments;
    bool Selected = false;
    uint8_t CheckState = 0;
};

using TDriveList = std::vector<TDriveListItem>;

constexpr uint8_t kCheckStateNormal = 4;
constexpr uint8_t kCheckStatePressed = 2;
