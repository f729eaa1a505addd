// Which running programs the shutdown ends, and the exit statistic's record.
#include <gtest/gtest.h>

#include "ui/shutdown_rules.h"

namespace kestrelrun {
namespace {

TEST(ShutdownRulesTest, OnlyTestersInTheProgramsOwnTestFolderAreOurs) {
  const std::wstring folder = L"C:\\Program Files (x86)\\Lessora\\";
  const struct {
    const wchar_t* image;
    bool ours;
  } cases[] = {
      {L"C:\\Program Files (x86)\\Lessora\\Test\\MicProbe.exe", true},
      {L"C:\\Program Files (x86)\\Lessora\\Test\\CamProbe.exe", true},
      {L"c:\\program files (x86)\\lessora\\TEST\\micprobe.EXE", true},
      {L"\\\\?\\C:\\Program Files (x86)\\Lessora\\Test\\CamProbe.exe", true},
      {L"C:/Program Files (x86)/Lessora/Test/MicProbe.exe", true},
      // The same name elsewhere is someone else's program.
      {L"C:\\Tools\\Test\\MicProbe.exe", false},
      {L"C:\\Program Files (x86)\\Lessora\\MicProbe.exe", false},
      {L"C:\\Program Files (x86)\\Lessora\\Test\\Old\\MicProbe.exe", false},
      {L"C:\\Program Files (x86)\\Lessora\\Tests\\MicProbe.exe", false},
      {L"C:\\Program Files (x86)\\Lessora2\\Test\\MicProbe.exe", false},
      {L"C:\\Program Files (x86)\\Lessora\\Test\\MicProbe.exe.bak", false},
      {L"C:\\Program Files (x86)\\Lessora\\Test\\KestrelRun.exe", false},
      {L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.image, c.image + wcslen(c.image)));
    EXPECT_EQ(IsOwnTester(c.image, folder), c.ours);
  }
  // A folder given without its backslash means the same; no folder matches nothing.
  EXPECT_TRUE(IsOwnTester(cases[0].image, L"C:\\Program Files (x86)\\Lessora"));
  EXPECT_FALSE(IsOwnTester(cases[0].image, L""));
}

TEST(ShutdownRulesTest, TheExitStatisticCarriesTheDeviceAndTheTime) {
  DeviceInfo device{"ThinkPad E14", "LENOVO", "PF2K3X9"};
  StatisticsRecord r = MakeExitStatistic(device, 1796812200);
  EXPECT_EQ(r.id, "10090");
  EXPECT_EQ(r.datetime, "1796812200");
  EXPECT_EQ(r.versions, "2.1.20.928");
  EXPECT_EQ(r.status, "3");
  EXPECT_EQ(r.pcModel, "ThinkPad E14");
  EXPECT_EQ(r.manufacture, "LENOVO");
  EXPECT_EQ(r.serialNumber, "PF2K3X9");
  EXPECT_EQ(ProductRecord().id, "10090");
  EXPECT_EQ(ProductRecord().versions, "2.1.20.928");
}

}  // namespace
}  // namespace kestrelrun
