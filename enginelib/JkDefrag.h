/* The defragmentation engine's interface, shared by the engine libraries
 * (libdefrag: RunJkDefrag2; libJkDefragLib: the rest) and the program.
 * C calling convention; texts are null-terminated UTF-16 (char16_t).
 *
 * Record layout. On a 32-bit build the offsets of the named fields are the
 * fixed ones below (checked with static_assert). On a 64-bit build pointers
 * are 8 bytes wide; the reserved areas absorb the difference where they can:
 *
 *   EngineStatus   32-bit  64-bit      EngineItem     32-bit  64-bit
 *   PhaseCode           0       0      NameText           12      16
 *   ZoneIndex           4       4      PathText           16      24
 *   HoldCount          20      20      ByteSize           32      32
 *   ItemRoot          272     272      ClusterCount       40      40
 *   VolumeClusters    376     376      Lcn                48      48
 *   ...                                Fragments          56      56
 *                                      RawPath           104     104
 *   WorkTotal         496     496      HoldFlag           92      92
 *   WorkDone          504     504      PinnedFlag         96      96
 *                                      IgnoreFlag        100     100
 *
 * Every int64 field sits at a multiple of 8 on both builds, so the i386
 * ABI's 4-byte alignment of 64-bit integers changes nothing. */

#ifndef VANTOREL_JKDEFRAG_H
#define VANTOREL_JKDEFRAG_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
typedef char16_t EngineChar;
#else
#include <uchar.h>
typedef char16_t EngineChar;
#endif

#if defined(_WIN32) && !defined(__GNUC__)
#define ENGINE_API __cdecl
#else
#define ENGINE_API
#endif

#if defined(__GNUC__)
#define ENGINE_EXPORT __attribute__((visibility("default")))
#else
#define ENGINE_EXPORT
#endif

/* Phase codes of EngineStatus.PhaseCode. */
enum {
    kPhaseAnalyze = 1,
    kPhaseDefragment = 2,
    kPhaseForcedFill = 3,
    kPhaseZoneSort = 4,
    kPhaseZoneFastOptimize = 5,
    kPhaseMoveUp = 6,
    kPhaseFinished = 7,
    kPhaseFixup = 8
};

/* Modes of RunJkDefrag2. */
enum { kModeAnalyze = 0, kModeDefragment = 2 };

/* Values of the run-state word: idle before and after a pass, running
 * while one runs, stop requested once StopJkDefrag has been called. */
enum { kRunStateStopRequested = 0, kRunStateRunning = 1, kRunStateIdle = 2 };

struct EngineItem;

/* One file or directory. The engine owns the items; they stay valid until
 * RunJkDefrag2 returns. The tree is ordered by first cluster (Lcn). */
typedef struct EngineItem {
#if UINTPTR_MAX <= 0xFFFFFFFFu
    uint8_t Reserved0[12];
#else
    uint8_t Reserved0[16];
#endif
    const EngineChar* NameText; /* the last path component; may be null */
    const EngineChar* PathText; /* the full path; may be null */
#if UINTPTR_MAX <= 0xFFFFFFFFu
    uint8_t Reserved1[12];
#endif
    int64_t ByteSize;
    int64_t ClusterCount; /* clusters the item occupies */
    int64_t Lcn;          /* first cluster of its first extent, 0 when it has none */
    int32_t Fragments;    /* runs of physically contiguous clusters */
    int32_t IsDirectory;
    int64_t Inode;
    int32_t Reserved2[5];
    /* Not used by this engine: always 0. */
    int32_t HoldFlag;
    /* The engine cannot move the item: immutable or append-only files,
     * active swap files, and fragmented directories (only regular files
     * are relocated). */
    int32_t PinnedFlag;
    /* Left out on purpose: the item could not be opened or read, or it is
     * one of the engine's own temporary files. */
    int32_t IgnoreFlag;
    /* The path's own bytes, for opening the item; null-terminated. */
    const char* RawPath;
    /* Tree links. */
    struct EngineItem* Parent;
    struct EngineItem* Smaller;
    struct EngineItem* Bigger;
} EngineItem;

/* The state of a pass, handed to every callback. */
typedef struct EngineStatus {
    int32_t PhaseCode;
    int32_t ZoneIndex; /* zero-based; always 0 here */
    int32_t Reserved0[3];
    int32_t HoldCount; /* always 0 here */
    uint8_t Reserved1[272 - 24];
    EngineItem* ItemRoot; /* root of the item tree; null until the walk is done */
    uint8_t Reserved2[104 - sizeof(void*)];
    int64_t VolumeClusters;      /* clusters of the file system's data area */
    int64_t ClusterBytes;        /* bytes per cluster (the file-system block) */
    int64_t FreeClusters;        /* free clusters */
    int64_t GapCount;            /* free-space extents (0 when the file system cannot list them) */
    int64_t LargestGap;          /* clusters of the largest free extent */
    int64_t SmallGapCount;       /* free extents of fewer than kSmallGapClusters clusters */
    int64_t SmallGapClusters;    /* clusters in those */
    int64_t FolderCount;         /* directories analysed */
    int64_t FileCount;           /* regular files analysed */
    int64_t FragmentedItemCount; /* items of more than one fragment */
    int64_t Reserved3[2];
    int64_t ItemClusters;          /* clusters of all items */
    int64_t FragmentedClusters;    /* clusters of the fragmented items */
    double MeanEndBeginDistance;   /* mean gap, in clusters, between the end of a
                                      fragment and the start of the next one */
    int64_t WorkTotal;             /* work units of the current phase */
    int64_t WorkDone;
} EngineStatus;

/* A free extent shorter than this many clusters counts as a small gap: it
 * can hold only small files (under 64 KiB with 4 KiB clusters). */
enum { kSmallGapClusters = 16 };

typedef void(ENGINE_API* StatusCallbackFn)(EngineStatus* Status);
typedef void(ENGINE_API* MoveCallbackFn)(EngineItem* Item, int64_t Clusters, int64_t Source, int64_t Target);
typedef void(ENGINE_API* AnalyzeCallbackFn)(EngineStatus* Status, EngineItem* Item);
typedef void(ENGINE_API* DebugCallbackFn)(int32_t Level, EngineItem* Item, const EngineChar* Text);
typedef void(ENGINE_API* ProgressCallbackFn)(EngineStatus* Status);
typedef void(ENGINE_API* TextCallbackFn)(const EngineChar* Text);

/* Runs one pass over the mounted file system at RootPath and returns when it
 * has ended or was stopped. Speed (100), FreeSpace (1.0), Excludes and
 * SpaceHogs (null) are accepted and not used. Messages is the table of 58
 * message patterns the engine formats its debug messages with. Returns 0
 * when the pass ran, non-zero when it could not start. */
ENGINE_EXPORT int32_t ENGINE_API RunJkDefrag2(const EngineChar* RootPath, int32_t Mode, int32_t Speed,
                                              double FreeSpace, const void* Excludes, const void* SpaceHogs,
                                              int32_t* RunState, int32_t* AuxWord, StatusCallbackFn Status,
                                              MoveCallbackFn Move, AnalyzeCallbackFn Analyze,
                                              DebugCallbackFn Debug, ProgressCallbackFn Progress,
                                              TextCallbackFn Text, const EngineChar** Messages);

/* Asks the pass that runs with RunState to end; returns at once, never
 * waiting for the engine's thread (TimeOut is not used). */
ENGINE_EXPORT void ENGINE_API StopJkDefrag(int32_t* RunState, int32_t TimeOut);
ENGINE_EXPORT EngineItem* ENGINE_API TreeSmallest(EngineItem* Root);
ENGINE_EXPORT EngineItem* ENGINE_API TreeNext(EngineItem* Item);
ENGINE_EXPORT int32_t ENGINE_API FragmentCount(EngineItem* Item);
ENGINE_EXPORT int64_t ENGINE_API GetItemLcn(EngineItem* Item);

#ifdef __cplusplus
}
#endif

/* The fixed offsets. */
#ifdef __cplusplus
#define ENGINE_STATIC_ASSERT static_assert
#else
#define ENGINE_STATIC_ASSERT _Static_assert
#endif
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, PhaseCode) == 0, "PhaseCode");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, ZoneIndex) == 4, "ZoneIndex");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, HoldCount) == 20, "HoldCount");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, ItemRoot) == 272, "ItemRoot");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, VolumeClusters) == 376, "VolumeClusters");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, ClusterBytes) == 384, "ClusterBytes");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, FreeClusters) == 392, "FreeClusters");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, GapCount) == 400, "GapCount");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, LargestGap) == 408, "LargestGap");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, SmallGapCount) == 416, "SmallGapCount");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, SmallGapClusters) == 424, "SmallGapClusters");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, FolderCount) == 432, "FolderCount");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, FileCount) == 440, "FileCount");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, FragmentedItemCount) == 448, "FragmentedItemCount");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, ItemClusters) == 472, "ItemClusters");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, FragmentedClusters) == 480, "FragmentedClusters");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, MeanEndBeginDistance) == 488, "MeanEndBeginDistance");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, WorkTotal) == 496, "WorkTotal");
ENGINE_STATIC_ASSERT(offsetof(EngineStatus, WorkDone) == 504, "WorkDone");
#if UINTPTR_MAX <= 0xFFFFFFFFu
ENGINE_STATIC_ASSERT(offsetof(EngineItem, NameText) == 12, "NameText");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, PathText) == 16, "PathText");
#else
ENGINE_STATIC_ASSERT(offsetof(EngineItem, NameText) == 16, "NameText");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, PathText) == 24, "PathText");
#endif
ENGINE_STATIC_ASSERT(offsetof(EngineItem, ByteSize) == 32, "ByteSize");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, ClusterCount) == 40, "ClusterCount");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, Lcn) == 48, "Lcn");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, Fragments) == 56, "Fragments");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, HoldFlag) == 92, "HoldFlag");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, PinnedFlag) == 96, "PinnedFlag");
ENGINE_STATIC_ASSERT(offsetof(EngineItem, IgnoreFlag) == 100, "IgnoreFlag");

#endif
