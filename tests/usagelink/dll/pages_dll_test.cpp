// What the real UsageLink.dll hands to the shell under Wine: the feedback page, and a download
// address from the network only when it is a plain web address. A hostile address would either
// reach the browser launcher (and be recorded) or run the batch file it names (and leave its
// mark); neither may happen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "UsageLink.h"
#include "tool_server.h"

namespace usagelink::test {
namespace {

const VersionRequest kOurs{"10090", "2.1.20.928"};

std::string TempFolder() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return folder;  // ends in a backslash
}

using PagesTest = ToolServerTest;

TEST_F(PagesTest, TheFeedbackPageCarriesTheToolIdInItsFragment) {
  const VersionRequest requests[] = {{"10090", ""}, {"7", "ignored"}};
  for (const VersionRequest& request : requests) {
    EXPECT_TRUE(DataCollection_OpenFeedbackQuestion(&request));
  }
  EXPECT_TRUE(DataCollection_OpenFeedbackQuestion(nullptr));
  // Each page is launched apart from the call, so they may arrive in either order.
  std::vector<std::string> opened = opened_.WaitFor(2);
  std::sort(opened.begin(), opened.end());
  EXPECT_EQ(opened, (std::vector<std::string>{
                        ServerAddress() + "/home#/suggest?id=10090",
                        ServerAddress() + "/home#/suggest?id=7",
                    }));
}

TEST_F(PagesTest, AHostileDownloadAddressOpensNothing) {
  const std::string temp = TempFolder();
  const std::string batch = temp + "kestrel_opened.bat";
  const std::string mark = temp + "kestrel_opened_ran.txt";
  DeleteFileA(mark.c_str());
  {
    std::ofstream out(batch, std::ios::binary);
    out << "@echo ran>\"" << mark << "\"\r\n";
  }
  std::string slashed = batch;
  for (char& c : slashed) {
    c = c == '\\' ? '/' : c;
  }
  const std::string hostile[] = {
      batch,                                       // a local path
      "file:///" + slashed,                        // the same as a file address
      "\\\\127.0.0.1\\c$\\" + batch.substr(3),     // a UNC path
      "kestrel_opened.bat",                        // a bare program name
      "ftp://127.0.0.1/Lessora.exe",               // another scheme the launcher takes
      "mailto:kestrel@127.0.0.1",                  // and one it hands to the mailer
      "javascript:alert(1)",                       //
      "http:///" + slashed,                        // a web scheme without host
      "http://\\\\127.0.0.1\\c$\\x.bat",           // a web scheme before a UNC name
      ServerAddress() + "/a\" \"" + batch + "\"",  // quotes that would split a command
      ServerAddress() + "/a\r\n" + batch,          // control characters
      ServerAddress() + "/a\tb",                   //
      " " + ServerAddress() + "/",                 // a blank in front
  };
  for (const std::string& address : hostile) {
    SCOPED_TRACE(address);
    ASSERT_TRUE(SetModes(Query({{"version.current", "2.1.21.0"}, {"version.url", address}})));
    EXPECT_EQ(DataCollection_VersionGet(&kOurs), 202);  // offered and kept, but never opened
    EXPECT_TRUE(DataCollection_OpenToolDownUrl());
  }
  // A plain address opened last: the launcher has had the time to hand on any before it.
  const std::string plain = ServerAddress() + "/download?after=hostile";
  ASSERT_TRUE(SetModes(Query({{"version.url", plain}})));
  EXPECT_EQ(DataCollection_VersionGet(&kOurs), 202);
  EXPECT_TRUE(DataCollection_OpenToolDownUrl());
  EXPECT_EQ(opened_.WaitFor(1), std::vector<std::string>{plain});
  EXPECT_EQ(GetFileAttributesA(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the batch file ran";
  DeleteFileA(batch.c_str());
}

}  // namespace
}  // namespace usagelink::test
