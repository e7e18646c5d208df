// Session logs on Windows: made new in a folder that is made when missing,
// listed, read from their end and removed, never through a link or a folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/SystemInfo.h"
#include "platform/win32/Win32LogFolder.h"
#include "platform/win32/WinApi.h"
#include "tests/support/TempFolder.h"

namespace vorenta {
namespace {

// A company folder, not made yet, in a folder of the test's own; the logs go
// into its "logs" folder, which the first log makes.
class ScratchCompany {
  public:
    const std::string& Logs() const { return logs_; }
    const std::string& Company() const { return company_; }

  private:
    TempFolder folder_;
    std::string company_ = (folder_.path() / "company").string();
    std::string logs_ = company_ + "\\logs";
};

TEST(Win32LogFolderTest, LogsAreMadeNewListedReadFromTheEndAndRemoved) {
    ScratchCompany scratch;
    Win32LogFolder folder(scratch.Logs());
    EXPECT_TRUE(folder.List().empty());  // no folder yet
    EXPECT_EQ(folder.PathOf("a.log"), scratch.Logs() + "\\a.log");

    std::string error;
    auto log = folder.Create("a.log", error);
    ASSERT_NE(log, nullptr) << error;
    EXPECT_TRUE(log->Write("header\n"));
    EXPECT_TRUE(log->Write("outcome: success\n"));
    // Readable while it is still being written.
    EXPECT_EQ(folder.ReadTail("a.log", 8), "success\n");
    EXPECT_EQ(folder.ReadTail("a.log", 1000), "header\noutcome: success\n");
    EXPECT_EQ(folder.ReadTail("a.log", 0), "");

    // Never an existing file.
    EXPECT_EQ(folder.Create("a.log", error), nullptr);
    EXPECT_NE(error.find("a.log"), std::string::npos) << error;
    log.reset();

    ASSERT_NE(folder.Create("b.log", error), nullptr) << error;
    ASSERT_TRUE(::CreateDirectoryA((scratch.Logs() + "\\sub").c_str(), nullptr));
    std::vector<std::string> names = folder.List();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.log", "b.log"}));  // not the folder

    EXPECT_TRUE(folder.Remove("a.log"));
    EXPECT_FALSE(folder.Remove("a.log"));
    EXPECT_FALSE(folder.Remove("sub"));
    EXPECT_EQ(folder.List(), std::vector<std::string>{"b.log"});
    EXPECT_EQ(folder.ReadTail("a.log", 100), "");
}

TEST(Win32LogFolderTest, NamesThatLeaveTheFolderAndFoldersThatAreNoneAreRefused) {
    ScratchCompany scratch;
    Win32LogFolder folder(scratch.Logs());
    std::string error;
    for (const char* name : {"", "..", "..\\c.log", "sub/c.log", "c:log", "c.log."}) {
        error.clear();
        EXPECT_EQ(folder.Create(name, error), nullptr) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_FALSE(folder.Remove(name)) << name;
        EXPECT_EQ(folder.ReadTail(name, 10), "") << name;
    }
    EXPECT_EQ(::GetFileAttributesA((scratch.Company() + "\\c.log").c_str()),
              INVALID_FILE_ATTRIBUTES);

    // The logs' folder is a file: nothing is made, and the reason names it.
    ASSERT_TRUE(::CreateDirectoryA(scratch.Company().c_str(), nullptr));
    const HANDLE file = ::CreateFileA(scratch.Logs().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    error.clear();
    EXPECT_EQ(folder.Create("c.log", error), nullptr);
    EXPECT_NE(error.find(scratch.Logs()), std::string::npos) << error;
    EXPECT_TRUE(folder.List().empty());

    Win32LogFolder nowhere("");
    EXPECT_EQ(nowhere.Create("c.log", error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(Win32SystemInfoTest, TheLogsLiveInTheUsersApplicationDataAndNameTheSystem) {
    const std::string logs = SessionLogFolderPath("Harwen Systems");
    EXPECT_NE(logs.find("\\Harwen Systems\\logs"), std::string::npos) << logs;
    EXPECT_EQ(logs.size() - logs.rfind("\\logs"), 5U);

    const std::string platform = PlatformDescription();
    EXPECT_EQ(platform.rfind("Windows ", 0), 0U) << platform;
    EXPECT_NE(platform.find("x86_64"), std::string::npos) << platform;

    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const LocalTime local = LocalTimeNow();
    EXPECT_EQ(local.year, now.wYear);
    EXPECT_GE(local.month, 1);
    EXPECT_LE(local.month, 12);
}

}  // namespace
}  // namespace vorenta
