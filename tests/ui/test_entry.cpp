// The process entry's refusals, in their order, with fake tokens and system.

#include "app/uEntry.h"
#include "fakes/FakePlatform.h"
#include "platform/Windows.h"
#include "toolkit/Application.h"

#include <gtest/gtest.h>

namespace {

std::vector<QString> RunEntry()
{
    std::vector<QString> texts;
    SetMessageBoxHook([&](const MessageBoxRequest& r) {
        texts.push_back(r.text);
        return IDOK;
    });
    char name[] = "vantorel";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(ProgramMain(1, argv), 0);
    SetMessageBoxHook(nullptr);
    return texts;
}

const QString kAdmin = "This program must be run with administrator privileges";
const QString kArch = "This program is not compatible with 64-bit operating systems";
const uint16_t kForeign = platform::BuildArchitecture() == platform::kArchitectureIa64
                              ? platform::kArchitectureAmd64
                              : platform::kArchitectureIa64;

} // namespace

TEST(Entry, RefusalsComeInOrder)
{
    struct Case {
        const char* what;
        bool admin, appBuilder;
        uint16_t native;
        std::vector<QString> messages;
    } cases[] = {
        {"no rights on a foreign machine: the rights message only", false, false, kForeign, {kAdmin}},
        {"rights on a foreign machine", true, false, kForeign, {kArch}},
        {"no rights, but the development window exists", false, true, kForeign, {kArch}},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        system.native = c.native;
        FakeSecurity security;
        if (c.admin)
            security.groups = {FakeSecurity::Admins(platform::kSeGroupEnabled)};
        FakeWindows windows;
        windows.appBuilder = c.appBuilder;
        EXPECT_EQ(RunEntry(), c.messages) << c.what;
    }
}

TEST(Entry, GroupListErrorIsShownAndTheProgramEnds)
{
    FakeSystem system;
    FakeSecurity security;
    security.sizeQueryError = platform::kErrorAccessDenied;
    FakeWindows windows;
    auto texts = RunEntry();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].startsWith("System Error.  Code: 5.")) << texts[0].toStdString();
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
