// The folder helpers and the side files beside the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/win32_services.h"
#include "support/windows_system.h"

namespace kestrel::test {
namespace {

namespace win32 = netprobe::win32;

std::wstring ExeFolder() {
  std::wstring folder;
  EXPECT_EQ(win32::GetExeFolder(folder), 1);
  return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good());
}

TEST(GetExeFolder, IsTheProgramsFolderWithoutTrailingBackslash) {
  const std::wstring folder = ExeFolder();
  ASSERT_GE(folder.size(), 3u);
  EXPECT_NE(folder.back(), L'\\');
  EXPECT_TRUE(std::filesystem::exists(folder + L"\\netprobe_win_tests.exe"));
}

TEST(GetLibraryFolder, FindsNetProbeOnlyOnceLoadedWithTrailingBackslash) {
  std::wstring folder = L"unchanged";
  ASSERT_EQ(GetModuleHandleW(L"NetProbe.dll"), nullptr);
  EXPECT_EQ(win32::GetLibraryFolder(folder), 0);
  EXPECT_EQ(folder, L"unchanged");
  EXPECT_EQ(win32::GetLibraryFolderAnsi(), "");

  // The build puts NetProbe.dll beside the test program.
  const std::wstring exeFolder = ExeFolder();
  HMODULE library = LoadLibraryW((exeFolder + L"\\NetProbe.dll").c_str());
  ASSERT_NE(library, nullptr) << "NetProbe.dll not found beside the test program";
  EXPECT_EQ(win32::GetLibraryFolder(folder), 1);
  EXPECT_EQ(folder, exeFolder + L"\\");
  const std::wstring expected = exeFolder + L"\\";
  EXPECT_EQ(win32::GetLibraryFolderAnsi(), std::string(expected.begin(), expected.end()))
      << "the build folder's path is plain ASCII";
  FreeLibrary(library);
}

TEST(GetCommonAppDataFolder, IsTheAllUsersDataFolder) {
  wchar_t fromEnvironment[MAX_PATH + 1] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"ProgramData", fromEnvironment, MAX_PATH), 0u);
  std::wstring folder;
  ASSERT_EQ(win32::GetCommonAppDataFolder(folder), 1);
  EXPECT_EQ(CompareStringOrdinal(folder.c_str(), -1, fromEnvironment, -1, TRUE), CSTR_EQUAL)
      << std::string(folder.begin(), folder.end());
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(WriteTextFile, ReplacesAnEarlierFileKeepingEveryByte) {
  struct Case {
    std::string earlier;
    std::string text;
  };
  const Case cases[] = {
      // GBK text with the CR CR LF line ends that wmic writes.
      {"a longer earlier file that must not survive at all\r\n", "网卡\r\r\n速度=1000\r\r\n"},
      {"earlier", std::string("a\0b\n", 4)},
      {"earlier", ""},
  };
  const wchar_t kName[] = L"kestrel_write_test.txt";
  const std::wstring path = ExeFolder() + L"\\" + kName;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.earlier);
    WriteBytes(path, c.earlier);
    EXPECT_EQ(win32::WriteTextFile(c.text, kName), 1);
    EXPECT_TRUE(ReadBytes(path) == c.text) << "file bytes differ";
  }
  DeleteFileW(path.c_str());
}

TEST(WriteTextFile, GivesZeroWhenTheFileCannotBeOpened) {
  EXPECT_EQ(win32::WriteTextFile("x", L"kestrel_no_such_folder_4711\\x.txt"), 0);
}

TEST(ReadTextLines, AppendsLinesWithoutTheirLineEnds) {
  struct Case {
    const char* name;
    std::string content;
    int result;
    std::vector<std::string> lines;  // after the "kept" line that was there before
  };
  const std::string longLine(5000, 'x');
  const Case cases[] = {
      {"empty", "", 0, {}},
      {"lf", "a\nb\n", 1, {"a", "b"}},
      {"crlf, last line open", "a\r\nb", 1, {"a", "b"}},
      // wmic's CR CR LF keeps one CR, as the parsers expect.
      {"cr cr lf", "网卡=1\r\r\n", 1, {"网卡=1\r"}},
      {"blank lines", "\n\r\n", 1, {"", ""}},
      {"long line", longLine + "\n", 1, {longLine}},
  };
  const std::wstring path = TempFilePath(L"kestrel_read_lines.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(path, c.content);
    std::vector<std::string> lines = {"kept"};
    EXPECT_EQ(win32::ReadTextLines(path, lines), c.result);
    std::vector<std::string> expected = {"kept"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(lines, expected);
  }
  DeleteFileW(path.c_str());
}

TEST(ReadTextLines, MissingFileGivesZero) {
  std::vector<std::string> lines;
  EXPECT_EQ(win32::ReadTextLines(TempFilePath(L"kestrel_no_such_file.txt"), lines), 0);
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace kestrel::test
