// The DNS change through the real cmd.exe, with the simulated netsh logging each command line it
// receives: names holding characters cmd reads as operators reach netsh whole inside their
// quotes and start nothing else; names and addresses that could leave their quotes are refused
// before any command runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/shared.h"
#include "core/win32_services.h"
#include "dll/dns_setting.h"
#include "profile.h"
#include "support/fake_machine.h"

namespace kestrel::test {
namespace {

const char kDescription[] = "Hostile Test Adapter";
// Every process start costs about a second under Wine: the accepted names are set with one
// address (the "set dns" command); the refused ones never start a process.
const wchar_t kAddress[] = L"223.5.5.5";

// The adapter table holds one adapter, under the name a test gives it.
class OneAdapter : public netprobe::IAdapterNames {
 public:
  bool ListAdapters(std::vector<netprobe::AdapterName>& adapters) override {
    adapters.push_back({L"Hostile Test Adapter", friendlyName});
    return true;
  }
  std::wstring friendlyName;
};

std::wstring TempPath(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH];
  wchar_t file[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, prefix, 0, file);  // creates it empty
  return file;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

class DnsHostileNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A profile of this test's own: the command each accepted name must produce.
    profile_ = TempPath(L"dnp");
    DeleteFileW(profile_.c_str());
    ASSERT_TRUE(CreateDirectoryW(profile_.c_str(), nullptr));
    WriteBytes(profile_ + L"\\empty.txt", "");
    std::string commands;
    for (const wchar_t* name : kAccepted) {
      commands += simtools::WideToUtf8(Expected(name)) + " => empty.txt\n";
    }
    WriteBytes(profile_ + L"\\commands.txt", commands);
    log_ = TempPath(L"dnl");
    SetEnvironmentVariableW(L"KESTREL_PROFILE", profile_.c_str());
    SetEnvironmentVariableW(L"KESTREL_SIMLOG", log_.c_str());

    platform_ = machine_.platform();
    platform_.commands = &runner_;
    platform_.codePage = codePage_.get();
    platform_.adapters = &adapter_;
    engine_ = std::make_unique<netprobe::ProbeEngine>(platform_);
  }

  void TearDown() override {
    SetEnvironmentVariableW(L"KESTREL_SIMLOG", nullptr);
    SetEnvironmentVariableW(L"KESTREL_PROFILE", nullptr);
    DeleteFileW(log_.c_str());
    DeleteFileW((profile_ + L"\\empty.txt").c_str());
    DeleteFileW((profile_ + L"\\commands.txt").c_str());
    RemoveDirectoryW(profile_.c_str());
  }

  static std::wstring Expected(const std::wstring& name) {
    return L"netsh interface ip set dns name=\"" + name + L"\" source=static addr=" + kAddress +
           L" validate=no";
  }

  // Sets the adapter's DNS; the simulated tools' log shows what ran.
  int Set(const std::wstring& name, const std::vector<std::string>& addresses, ProbeError& error) {
    adapter_.friendlyName = name;
    WriteBytes(log_, "");
    return netprobe::SetAdapterDns(*engine_, {kDescription, addresses}, &error);
  }

  std::string Log() const {
    std::string log;
    EXPECT_TRUE(simtools::ReadFileBytes(simtools::WideToUtf8(log_), &log));
    return log;
  }

  // Characters cmd treats as operators, alone and in the combinations that start commands,
  // redirect or escape; a command that escaped its quotes would run the simulated ping or
  // leave a file behind.
  static constexpr const wchar_t* kAccepted[] = {
      L"LAN & ping evil.invalid",
      L"LAN && ping evil.invalid",
      L"LAN | ping evil.invalid",
      L"LAN || ping evil.invalid",
      L"LAN ^& ping evil.invalid",
      L"LAN^ ping evil.invalid",
      L"LAN ^",
      L"LAN > evil.txt",
      L"LAN >> evil.txt",
      L"LAN < evil.txt",
      L"LAN 2>&1 | ping evil.invalid",
      L"(LAN) & (ping evil.invalid)",
      L"LAN & echo ^> evil.txt",
      L"\u4EE5\u592A\u7F51 & ping evil.invalid",  // 以太网
      L"LAN !PATH! ping",
      L"&",
      L"<>|^&",
  };

  FakeMachine machine_{"connected-zh", 936};
  netprobe::win32::CommandRunner runner_;
  std::unique_ptr<netprobe::ICodePage> codePage_ = netprobe::MakeSystemCodePage();
  OneAdapter adapter_;
  netprobe::Platform platform_;
  std::unique_ptr<netprobe::ProbeEngine> engine_;
  std::wstring profile_;
  std::wstring log_;
};

TEST_F(DnsHostileNamesTest, OperatorsReachNetshInsideTheirQuotesAndNothingElseRuns) {
  for (const wchar_t* name : kAccepted) {
    ProbeError error;
    EXPECT_EQ(Set(name, {"223.5.5.5"}, error), 1)
        << simtools::WideToUtf8(name) << ": " << error.code << " " << Log();
    EXPECT_EQ(Log(), simtools::WideToUtf8(Expected(name)) + "\n") << simtools::WideToUtf8(name);
  }
  EXPECT_EQ(GetFileAttributesW(L"evil.txt"), INVALID_FILE_ATTRIBUTES) << "a redirection ran";
  EXPECT_EQ(engine_->records().dnsTestInfo.optimize, 1);
}

TEST_F(DnsHostileNamesTest, NamesAndAddressesThatCouldLeaveTheirQuotesAreRefused) {
  struct Case {
    std::wstring name;
    std::string address;
  };
  const std::vector<Case> cases = {
      {L"LAN\" & ping evil.invalid & \"", "114.114.114.114"},
      {L"LAN\"", "114.114.114.114"},
      {L"\"", "114.114.114.114"},
      {L"LAN%PATH%", "114.114.114.114"},
      {L"100%", "114.114.114.114"},
      {L"%", "114.114.114.114"},
      {L"LAN\r\nping evil.invalid", "114.114.114.114"},
      {L"LAN\nping evil.invalid", "114.114.114.114"},
      {L"LAN\r", "114.114.114.114"},
      {L"LAN\tTab", "114.114.114.114"},
      {L"LAN\x1B[0m", "114.114.114.114"},
      {L"LAN\x7F", "114.114.114.114"},
      {L"LAN", "114.114.114.114 & ping evil.invalid"},
      {L"LAN", "114.114.114.114|ping"},
      {L"LAN", "114.114.114.114\""},
      {L"LAN", "%COMSPEC%"},
      {L"LAN", "114.114.114.114\r\nping evil.invalid"},
      {L"LAN", "::1"},
      {L"LAN", "1.2.3"},
      {L"LAN", ""},
      {L"LAN", " 114.114.114.114"},
      {L"LAN", "evil.invalid"},
  };
  for (const Case& c : cases) {
    ProbeError error;
    EXPECT_EQ(Set(c.name, {"223.5.5.5", c.address}, error), 0)
        << simtools::WideToUtf8(c.name) << " " << c.address;
    EXPECT_EQ(error.code, netprobe::kDnsRefused);
    EXPECT_EQ(error.message, netprobe::kDnsFailedMessage);
    EXPECT_EQ(Log(), "") << simtools::WideToUtf8(c.name) << " " << c.address;
  }
  EXPECT_EQ(engine_->records().dnsTestInfo.optimize, 0);
}

}  // namespace
}  // namespace kestrel::test
