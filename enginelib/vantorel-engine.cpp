// vantorel-engine: runs the engine from the command line.
//   vantorel-engine analyze|defrag PATH [--list]
// PATH may be any path on the file system; the pass runs over the mounted
// file system that holds it. Progress and messages go to stderr; with
// --list, one line "FRAGMENTS<TAB>PATH" per item goes to stdout; the last
// stdout line is "files=N directories=N fragmented=N fragments=N".

#include "enginelib/EngineMessages.h"
#include "enginelib/EngineText.h"
#include "enginelib/JkDefrag.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool gList = false;
bool gFinished = false;
int32_t gRunState = kRunStateIdle;
int64_t gLastPercent = -1;
std::string gSummary;

void OnStatus(EngineStatus* s)
{
    static const char* const kNames[] = {"", "Analyze", "Defragmentation", "ForcedFill", "Sort", "Fast Optimize",
                                         "Move Up", "Finished", "Fixup"};
    if (!s)
        return;
    std::fprintf(stderr, "phase: %s\n", s->PhaseCode >= 1 && s->PhaseCode <= 8 ? kNames[s->PhaseCode] : "");
    gLastPercent = -1;
    if (s->PhaseCode != kPhaseFinished)
        return;
    gFinished = true;
    int64_t fragments = 0;
    for (EngineItem* i = TreeSmallest(s->ItemRoot); i; i = TreeNext(i)) {
        fragments += FragmentCount(i);
        if (gList)
            std::printf("%d\t%s\n", FragmentCount(i), i->RawPath ? i->RawPath : "");
    }
    gSummary = "files=" + std::to_string(s->FileCount) + " directories=" + std::to_string(s->FolderCount) +
               " fragmented=" + std::to_string(s->FragmentedItemCount) + " fragments=" + std::to_string(fragments);
    std::fprintf(stderr,
                 "clusters=%lld cluster-bytes=%lld free=%lld gaps=%lld largest-gap=%lld small-gaps=%lld\n",
                 (long long)s->VolumeClusters, (long long)s->ClusterBytes, (long long)s->FreeClusters,
                 (long long)s->GapCount, (long long)s->LargestGap, (long long)s->SmallGapCount);
}

void OnProgress(EngineStatus* s)
{
    if (!s || s->WorkTotal <= 0)
        return;
    const int64_t percent = s->WorkDone * 100 / s->WorkTotal;
    if (percent != gLastPercent && isatty(2))
        std::fprintf(stderr, "\r%3lld%%", (long long)percent);
    gLastPercent = percent;
}

void OnMove(EngineItem* item, int64_t clusters, int64_t from, int64_t to)
{
    std::fprintf(stderr, "Moving %lld clusters from %lld to %lld: %s\n", (long long)clusters, (long long)from,
                 (long long)to, item && item->RawPath ? item->RawPath : "");
}

void OnDebug(int32_t level, EngineItem*, const EngineChar* text)
{
    if (level <= 1 && text)
        std::fprintf(stderr, "%s\n", vtengine::Utf8FromUtf16(text).c_str());
}

void OnSignal(int) { StopJkDefrag(&gRunState, 1000); }

// The mount point holding path: the topmost directory on the same device.
std::string MountPointOf(const std::string& path)
{
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return std::string();
    std::string dir = real;
    std::free(real);
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0)
        return std::string();
    if (!S_ISDIR(st.st_mode))
        dir = dir.substr(0, dir.rfind('/') > 0 ? dir.rfind('/') : 1);
    stat(dir.c_str(), &st);
    while (dir != "/") {
        const std::string parent = dir.rfind('/') > 0 ? dir.substr(0, dir.rfind('/')) : "/";
        struct stat ps {};
        if (stat(parent.c_str(), &ps) != 0 || ps.st_dev != st.st_dev)
            break;
        dir = parent;
    }
    return dir;
}

} // namespace

int main(int argc, char** argv)
{
    std::string command, path;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--list")
            gList = true;
        else if (command.empty())
            command = a;
        else if (path.empty())
            path = a;
    }
    if ((command != "analyze" && command != "defrag") || path.empty()) {
        std::fprintf(stderr, "usage: vantorel-engine analyze|defrag PATH [--list]\n");
        return 2;
    }
    const std::string root = MountPointOf(path);
    if (root.empty()) {
        std::fprintf(stderr, "vantorel-engine: %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    const std::u16string root16 = [&] {
        // Raw bytes travel as U+DC80..U+DCFF, so any mount point can be named.
        std::u16string out;
        const std::u16string decoded = vtengine::Utf16FromBytes(root);
        if (vtengine::Utf8FromUtf16(decoded) == root)
            return decoded;
        for (unsigned char c : root)
            out.push_back(c < 0x80 ? char16_t(c) : char16_t(0xDC00 + c));
        return out;
    }();
    int32_t aux = 0;
    const int32_t rc = RunJkDefrag2(root16.c_str(), command == "defrag" ? kModeDefragment : kModeAnalyze, 100, 1.0,
                                    nullptr, nullptr, &gRunState, &aux, OnStatus, OnMove, nullptr, OnDebug,
                                    OnProgress, nullptr, const_cast<const EngineChar**>(kEngineMessagePatterns));
    if (isatty(2))
        std::fprintf(stderr, "\n");
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    std::fprintf(stderr, "peak-rss-kib=%ld\n", ru.ru_maxrss);
    if (rc != 0 || !gFinished) {
        std::fprintf(stderr, "vantorel-engine: the pass over %s did not finish\n", root.c_str());
        return 1;
    }
    std::printf("%s\n", gSummary.c_str());
    return 0;
}
