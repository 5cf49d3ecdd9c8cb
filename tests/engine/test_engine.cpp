// The engine on real file systems: loop-mounted ext4 and vfat images made
// by the tests. Every defragmenting test compares the SHA-256 of every file
// before and after.

#include "engine/LoopImage.h"
#include "enginelib/EngineMessages.h"
#include "enginelib/EngineText.h"
#include "enginelib/JkDefrag.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using vtengine::Utf8FromUtf16;

namespace {

struct ItemSeen {
    int fragments;
    int64_t lcn, clusters, bytes;
    bool dir, pinned, ignored;
};

// One pass, with everything the callbacks reported.
struct Pass {
    std::vector<int> phases;
    std::vector<std::string> messages;
    std::vector<std::string> moves;
    std::map<std::string, ItemSeen> items; // by raw path, from the finished tree
    std::vector<int64_t> treeOrder;        // first clusters in tree order
    EngineStatus finished{};
    int64_t firstWorkTotal = -1;
    int analyzed = 0;
    bool gotFinished = false;
    std::function<void(EngineItem*)> onAnalyze;
    std::function<void(EngineItem*)> onMove;
    std::function<void()> onProgress;
};

Pass* gPass = nullptr;
int32_t gRunState = kRunStateIdle;

void OnStatus(EngineStatus* s)
{
    gPass->phases.push_back(s->PhaseCode);
    if (s->PhaseCode != kPhaseFinished)
        return;
    gPass->gotFinished = true;
    gPass->finished = *s;
    for (EngineItem* i = TreeSmallest(s->ItemRoot); i; i = TreeNext(i)) {
        gPass->items[i->RawPath] = {FragmentCount(i), GetItemLcn(i), i->ClusterCount, i->ByteSize,
                                    i->IsDirectory != 0, i->PinnedFlag != 0, i->IgnoreFlag != 0};
        gPass->treeOrder.push_back(GetItemLcn(i));
    }
}
void OnMove(EngineItem* item, int64_t, int64_t, int64_t)
{
    gPass->moves.push_back(item->RawPath);
    if (gPass->onMove)
        gPass->onMove(item);
}
void OnAnalyze(EngineStatus*, EngineItem* item)
{
    ++gPass->analyzed;
    if (gPass->onAnalyze)
        gPass->onAnalyze(item);
}
void OnDebug(int32_t level, EngineItem*, const EngineChar* text)
{
    if (level <= 1 && text)
        gPass->messages.push_back(Utf8FromUtf16(text));
}
void OnProgress(EngineStatus* s)
{
    if (gPass->firstWorkTotal < 0)
        gPass->firstWorkTotal = s->WorkTotal;
    if (gPass->onProgress)
        gPass->onProgress();
}

int RunEngine(Pass& pass, const std::string& root, int mode)
{
    gPass = &pass;
    const std::u16string root16 = vtengine::Utf16FromBytes(root);
    int32_t aux = 0;
    const int rc = RunJkDefrag2(root16.c_str(), mode, 100, 1.0, nullptr, nullptr, &gRunState, &aux, OnStatus,
                                OnMove, OnAnalyze, OnDebug, OnProgress, nullptr,
                                const_cast<const EngineChar**>(kEngineMessagePatterns));
    gPass = nullptr;
    return rc;
}

bool HasMessage(const Pass& p, const std::string& text)
{
    return std::find(p.messages.begin(), p.messages.end(), text) != p.messages.end();
}

#define REQUIRE_IMAGE(img)                                                                                   \
    if (!(img).Skip().empty())                                                                               \
    GTEST_SKIP() << (img).Skip()

const std::string kOddName = "odd-\xff\xfe-name"; // not UTF-8

// The fixture's tree: fragmented files, a contiguous one, an empty one,
// directories, a link out of the file system and a file with an odd name.
void Populate(const LoopImage& img)
{
    mkdir(img.Path("docs").c_str(), 0755);
    mkdir(img.Path("docs/deep").c_str(), 0755);
    img.WriteInterleaved({"frag-a", "frag-b", "docs/frag-c", kOddName}, 24);
    img.WriteFile("docs/deep/contiguous.bin", 3 << 20);
    img.WriteFile("empty", 0);
    symlink("/", img.Path("link-to-root").c_str());
    Shell("sync");
}

} // namespace

TEST(EngineText, BytesAndUtf16)
{
    EXPECT_EQ(vtengine::Utf16FromBytes("d\xc3\xa9j\xe0 vu"), u"d\u00e9j\uFFFD vu");
    EXPECT_EQ(vtengine::Utf16FromBytes("\xf0\x9f\x92\xbe"), u"\U0001F4BE");
    // Raw bytes travel as U+DC80..U+DCFF and come back unchanged.
    const char16_t escaped[] = {u'/', u'm', 0xDCFF, 0xDCFE, u'x', 0};
    EXPECT_EQ(vtengine::BytesFromUtf16(escaped), "/m\xff\xfex");
    EXPECT_EQ(vtengine::Utf8FromUtf16(u"\u00e9"), "\xc3\xa9");
}

TEST(EngineText, MessagePatterns)
{
    using vtengine::FormatMessage;
    using A = vtengine::MessageArg;
    struct Case {
        const char16_t* pattern;
        std::vector<A> args;
        std::u16string text;
    };
    const Case cases[] = {
        {u"Opening volume %s at mountpoint %s", {A(u"/dev/loop0"), A(u"/mnt")}, u"Opening volume /dev/loop0 at mountpoint /mnt"},
        {u"Gap found: LCN=%I64d, Size=%I64d", {A(int64_t(-5)), A(int64_t(1) << 40)}, u"Gap found: LCN=-5, Size=1099511627776"},
        {u"MftExcludes[%u].Start=%I64d", {A(uint64_t(2)), A(int64_t(7))}, u"MftExcludes[2].Start=7"},
        {u"100%% done, %d", {}, u"100% done, %d"},
        {u"%x stays", {A(int64_t(1))}, u"%x stays"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMessage(c.pattern, c.args), c.text);
}

TEST(EngineInterface, TreeWalkAndStopWord)
{
    // A hand-made tree: 20 at the root, 10 and 30 below, 25 below 30.
    EngineItem n[4]{};
    n[0].Lcn = 20;
    n[1].Lcn = 10;
    n[2].Lcn = 30;
    n[3].Lcn = 25;
    n[0].Smaller = &n[1];
    n[0].Bigger = &n[2];
    n[1].Parent = n[2].Parent = &n[0];
    n[2].Smaller = &n[3];
    n[3].Parent = &n[2];
    n[3].Fragments = 4;
    std::vector<int64_t> order;
    for (EngineItem* i = TreeSmallest(&n[0]); i; i = TreeNext(i))
        order.push_back(GetItemLcn(i));
    EXPECT_EQ(order, (std::vector<int64_t>{10, 20, 25, 30}));
    EXPECT_EQ(FragmentCount(&n[3]), 4);
    EXPECT_EQ(TreeSmallest(nullptr), nullptr);
    EXPECT_EQ(FragmentCount(nullptr), 0);

    int32_t state = kRunStateIdle;
    StopJkDefrag(&state, 1000);
    EXPECT_EQ(state, kRunStateIdle) << "no pass runs: nothing to stop";
    state = kRunStateRunning;
    StopJkDefrag(&state, 1000);
    EXPECT_EQ(state, kRunStateStopRequested);
    StopJkDefrag(nullptr, 1000);
}

TEST(Engine, AnalysisMatchesTheFileSystemsOwnExtents)
{
    LoopImage img("ext4", 64);
    REQUIRE_IMAGE(img);
    Populate(img);
    mkdir(img.Path("other-fs").c_str(), 0755);
    ASSERT_EQ(Shell("mount -t tmpfs none " + img.Path("other-fs") + " && touch " + img.Path("other-fs/hidden")), 0);

    Pass p;
    ASSERT_EQ(RunEngine(p, img.Mount(), kModeAnalyze), 0);
    Shell("umount " + img.Path("other-fs"));
    EXPECT_EQ(p.phases, (std::vector<int>{kPhaseAnalyze, kPhaseFinished}));
    ASSERT_TRUE(p.gotFinished);
    EXPECT_GT(p.firstWorkTotal, 0) << "a work total from the start";

    for (const std::string f : {"frag-a", "frag-b", "docs/frag-c", kOddName.c_str(), "docs/deep/contiguous.bin"}) {
        SCOPED_TRACE(f);
        ASSERT_TRUE(p.items.count(img.Path(f)));
        const ItemSeen& it = p.items[img.Path(f)];
        EXPECT_EQ(it.fragments, img.DebugfsRuns(f));
        EXPECT_FALSE(it.dir);
    }
    EXPECT_GT(p.items[img.Path("frag-a")].fragments, 1) << "the interleaved writes fragmented it";
    EXPECT_EQ(p.items[img.Path("frag-a")].clusters, 24);
    EXPECT_EQ(p.items[img.Path("docs/deep/contiguous.bin")].fragments, 1);
    EXPECT_EQ(p.items[img.Path("empty")].fragments, 0);
    EXPECT_EQ(p.items[img.Path("empty")].clusters, 0);
    EXPECT_TRUE(p.items[img.Path("docs/deep")].dir);
    EXPECT_FALSE(p.items.count(img.Path("link-to-root"))) << "links are not followed";
    EXPECT_FALSE(p.items.count(img.Path("other-fs/hidden"))) << "other mounts are not entered";

    std::string out;
    Shell("find " + img.Mount() + " -xdev -type f | wc -l", &out);
    EXPECT_EQ(p.finished.FileCount, std::stoll(out));
    Shell("find " + img.Mount() + " -xdev -type d | wc -l", &out);
    // The mount point and lost+found count; other-fs was another file system's
    // mount point during the pass, so it was not entered.
    EXPECT_EQ(p.finished.FolderCount, std::stoll(out) - 1);
    int fragmented = 0;
    for (const auto& [path, it] : p.items)
        fragmented += it.fragments > 1;
    EXPECT_EQ(p.finished.FragmentedItemCount, fragmented);
    EXPECT_GE(fragmented, 4);
    EXPECT_EQ(p.finished.ClusterBytes, 4096);
    EXPECT_GT(p.finished.VolumeClusters, p.finished.FreeClusters);
    EXPECT_GT(p.finished.GapCount, 0) << "free space from GETFSMAP";
    EXPECT_LE(p.finished.LargestGap, p.finished.FreeClusters);
    EXPECT_GT(p.finished.MeanEndBeginDistance, 0.0);
    EXPECT_TRUE(std::is_sorted(p.treeOrder.begin(), p.treeOrder.end())) << "the tree is ordered by first cluster";
    EXPECT_EQ(int64_t(p.treeOrder.size()), p.finished.FileCount + p.finished.FolderCount);
    std::string device;
    Shell("findmnt -n -o SOURCE " + img.Mount(), &device);
    device.erase(device.find_last_not_of('\n') + 1);
    EXPECT_TRUE(HasMessage(p, "Opening volume " + device + " at mountpoint " + img.Mount()));
    EXPECT_TRUE(HasMessage(p, "Finished."));
}

TEST(Engine, FilesVanishingDuringTheWalkAreSkipped)
{
    LoopImage img("ext4", 32);
    REQUIRE_IMAGE(img);
    mkdir(img.Path("vanish").c_str(), 0755);
    for (int i = 0; i < 10; ++i)
        img.WriteFile("vanish/f" + std::to_string(i), 5000);
    Pass p;
    p.onAnalyze = [&](EngineItem* item) {
        if (std::string(item->RawPath) == img.Path("vanish/f0"))
            for (int i = 1; i < 10; ++i)
                unlink(img.Path("vanish/f" + std::to_string(i)).c_str());
    };
    ASSERT_EQ(RunEngine(p, img.Mount(), kModeAnalyze), 0);
    ASSERT_TRUE(p.gotFinished);
    EXPECT_TRUE(p.items.count(img.Path("vanish/f0")));
    EXPECT_FALSE(p.items.count(img.Path("vanish/f5")));
    for (const std::string& m : p.messages)
        EXPECT_EQ(m.find("Could not open"), std::string::npos) << m;
}

TEST(Engine, AnUnreadableFileIsIgnoredAndTheRestAnalysed)
{
    LoopImage img("ext4", 32);
    REQUIRE_IMAGE(img);
    img.WriteFile("secret", 9000);
    img.WriteFile("public", 9000);
    chmod(img.Path("secret").c_str(), 0);
    chmod(img.Mount().c_str(), 0755);
    chmod(img.Mount().substr(0, img.Mount().rfind('/')).c_str(), 0755);
    // The pass runs as an ordinary user, for whom "secret" cannot be opened.
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(10);
        Pass p;
        RunEngine(p, img.Mount(), kModeAnalyze);
        if (!p.gotFinished)
            _exit(11);
        if (!p.items[img.Path("secret")].ignored || p.items[img.Path("public")].ignored)
            _exit(12);
        if (p.items[img.Path("public")].fragments != 1)
            _exit(13);
        if (!HasMessage(p, "Could not open " + img.Path("secret") + ": Permission denied"))
            _exit(14);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 setuid, 11 unfinished, 12 flags, 13 counts, 14 message";
}

TEST(Engine, StopEndsAnAnalysisPromptly)
{
    LoopImage img("ext4", 32);
    REQUIRE_IMAGE(img);
    for (int i = 0; i < 200; ++i)
        img.WriteFile("f" + std::to_string(i), 100);
    struct Case {
        const char* how;
        bool fromOtherThread;
    };
    for (const Case c : {Case{"from a callback", false}, Case{"from another thread while a callback waits", true}}) {
        SCOPED_TRACE(c.how);
        Pass p;
        p.onAnalyze = [&](EngineItem*) {
            if (p.analyzed != 5)
                return;
            if (c.fromOtherThread)
                std::thread([] { StopJkDefrag(&gRunState, 1000); }).join();
            else
                StopJkDefrag(&gRunState, 1000);
        };
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(RunEngine(p, img.Mount(), kModeAnalyze), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_LE(p.analyzed, 6) << "the request is seen before the next item";
        EXPECT_FALSE(p.gotFinished) << "a stopped pass does not report Finished";
        EXPECT_EQ(gRunState, kRunStateIdle);
    }
}

TEST(Engine, DefragmentationJoinsFragmentsAndKeepsEveryByte)
{
    LoopImage img("ext4", 64);
    REQUIRE_IMAGE(img);
    Populate(img);
    const auto before = img.Checksums();
    Pass first;
    RunEngine(first, img.Mount(), kModeAnalyze);

    Pass p;
    ASSERT_EQ(RunEngine(p, img.Mount(), kModeDefragment), 0);
    EXPECT_EQ(p.phases, (std::vector<int>{kPhaseAnalyze, kPhaseDefragment, kPhaseAnalyze, kPhaseFinished}));
    EXPECT_EQ(p.moves.size(), 4u);
    for (const std::string f : {"frag-a", "frag-b", "docs/frag-c", kOddName.c_str()}) {
        SCOPED_TRACE(f);
        EXPECT_LT(p.items[img.Path(f)].fragments, first.items[img.Path(f)].fragments);
        EXPECT_EQ(p.items[img.Path(f)].fragments, img.DebugfsRuns(f));
    }
    EXPECT_EQ(p.finished.FragmentedItemCount, 0);
    EXPECT_EQ(img.Checksums(), before);
    ASSERT_TRUE(img.Unmount());
    std::string fsck;
    EXPECT_TRUE(img.FsckClean(&fsck)) << fsck;
}

TEST(Engine, StopDuringDefragmentationLeavesFilesIntact)
{
    LoopImage img("ext4", 64);
    REQUIRE_IMAGE(img);
    std::vector<std::string> names;
    for (int i = 0; i < 8; ++i)
        names.push_back("f" + std::to_string(i));
    img.WriteInterleaved(names, 16);
    const auto before = img.Checksums();
    Pass p;
    p.onMove = [](EngineItem*) { StopJkDefrag(&gRunState, 1000); };
    ASSERT_EQ(RunEngine(p, img.Mount(), kModeDefragment), 0);
    EXPECT_EQ(p.moves.size(), 1u);
    EXPECT_FALSE(p.gotFinished);
    EXPECT_EQ(img.Checksums(), before);
    ASSERT_TRUE(img.Unmount());
    EXPECT_TRUE(img.FsckClean());
}

TEST(Engine, KilledInTheMiddleOfADefragmentationLosesNothing)
{
    LoopImage img("ext4", 128);
    REQUIRE_IMAGE(img);
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back("k" + std::to_string(i));
    img.WriteInterleaved(names, 64);
    const auto before = img.Checksums();
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 2);
        close(pipeFds[0]);
        execl(VANTOREL_ENGINE_CLI, VANTOREL_ENGINE_CLI, "defrag", img.Mount().c_str(), (char*)nullptr);
        _exit(127);
    }
    close(pipeFds[1]);
    // Kill it as soon as it has moved a few files.
    std::string seen;
    char buf[512];
    int moves = 0;
    ssize_t n;
    while (moves < 3 && (n = read(pipeFds[0], buf, sizeof buf)) > 0) {
        seen.append(buf, size_t(n));
        moves = 0;
        for (size_t at = seen.find("Moving"); at != std::string::npos; at = seen.find("Moving", at + 1))
            ++moves;
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeFds[0]);
    EXPECT_GE(moves, 3) << seen;
    EXPECT_EQ(img.Checksums(), before);
    ASSERT_TRUE(img.Unmount());
    std::string fsck;
    EXPECT_TRUE(img.FsckClean(&fsck)) << fsck;
}

TEST(Engine, OtherFileSystemsAreAnalysedButNeverWritten)
{
    struct Case {
        const char* type;
        int sizeMiB;
    };
    int ran = 0;
    std::string skipped;
    for (const Case c : {Case{"vfat", 32}, Case{"ext2", 32}, Case{"xfs", 320}, Case{"btrfs", 160}}) {
        SCOPED_TRACE(c.type);
        LoopImage img(c.type, c.sizeMiB);
        if (!img.Skip().empty()) {
            skipped += img.Skip() + "\n";
            continue;
        }
        ++ran;
        img.WriteInterleaved({"a.bin", "b.bin"}, 12);
        const auto before = img.Checksums();
        std::string stamps, stampsAfter;
        Shell("find " + img.Mount() + " -printf '%p %T@ %s\\n' | sort", &stamps);
        Pass p;
        ASSERT_EQ(RunEngine(p, img.Mount(), kModeDefragment), 0);
        EXPECT_EQ(p.phases, (std::vector<int>{kPhaseAnalyze, kPhaseFinished}));
        EXPECT_TRUE(p.moves.empty());
        std::string device;
        Shell("findmnt -n -o SOURCE " + img.Mount(), &device);
        device.erase(device.find_last_not_of('\n') + 1);
        EXPECT_TRUE(HasMessage(p, "Cannot defragment volume " + device + " at mountpoint " + img.Mount()));
        EXPECT_GE(p.finished.FileCount, 2);
        EXPECT_GT(p.items[img.Path("a.bin")].fragments, 0);
        EXPECT_EQ(p.items[img.Path("a.bin")].clusters * p.finished.ClusterBytes, 12 * 4096);
        EXPECT_EQ(img.Checksums(), before);
        Shell("find " + img.Mount() + " -printf '%p %T@ %s\\n' | sort", &stampsAfter);
        EXPECT_EQ(stampsAfter, stamps);
    }
    if (ran == 0)
        GTEST_SKIP() << skipped;
}

TEST(Engine, AReadOnlyMountIsNotDefragmented)
{
    LoopImage img("ext4", 32);
    REQUIRE_IMAGE(img);
    img.WriteInterleaved({"x", "y"}, 10);
    ASSERT_TRUE(img.Remount("ro"));
    Pass p;
    ASSERT_EQ(RunEngine(p, img.Mount(), kModeDefragment), 0);
    EXPECT_TRUE(HasMessage(p, "Ignoring volume " + img.Mount() + " because it is read-only."));
    EXPECT_EQ(p.phases, (std::vector<int>{kPhaseAnalyze, kPhaseFinished}));
    EXPECT_TRUE(p.moves.empty());
    EXPECT_GT(p.items[img.Path("x")].fragments, 1) << "still analysed";
}

TEST(Engine, APathThatIsNoMountPointIsRefused)
{
    Pass p;
    EXPECT_NE(RunEngine(p, "/proc/self", kModeAnalyze), 0);
    EXPECT_TRUE(HasMessage(p, "Volume /proc/self at mountpoint /proc/self is not mounted."));
    Pass q;
    EXPECT_NE(RunEngine(q, "/proc", kModeAnalyze), 0);
    EXPECT_TRUE(HasMessage(q, "Ignoring volume /proc because it is not a harddisk."));
}
