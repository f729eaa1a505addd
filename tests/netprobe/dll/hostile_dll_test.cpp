// Values in the adapter configuration listing that would change a "cmd /C" command line, fed
// to the real NetProbe.dll with the real cmd.exe: none reaches a command line, so the simulated
// tools, which log every run, see only the commands the profile knows. Most values would start
// one of those tools if cmd ever read them, and that run would show in the log.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/simulated_machine.h"
#include "support/testdata.h"

namespace kestrel::test {
namespace {

const std::vector<std::string> kHostile = {
    "1.1.1.1&arp -d", "1.1.1.1&&sc x", "1.1.1.1|arp",  "1.1.1.1||sc x", "1.1.1.1^&arp",
    "%PATH%.1.1",     "1.1.1.1%OS%",   "1.1.1.1'&arp", "1.1.1.1>x",     "1.1.1.1<x",
    "1.1.1.1 >nul",   "1.1.1.1\rarp",  "1.1.1.1\narp", "1 .1.1.1",      "1.1.1.1 -t",
    "(1.1.1.1)",      "1.1.1.1;arp",   "1.1.1.1,arp",  "!OS!.1.1.1",    "256.1.1.1",
    "1.1.1.1.",       "1.1.1.1`arp",   "1.1.1.1&ping", "1.1.1.1\t&arp",
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) {
    text.replace(at, from.size(), to);
  }
  return text;
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary);
  out << bytes;
}

// A profile in a folder of its own: desktop-zh's adapters and tools, with the listing that
// NICCONFIG prints replaced before each run.
class HostileProfile {
 public:
  HostileProfile() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "kestrel_hostile";
    CreateDirectoryA(folder_.c_str(), nullptr);
    const std::vector<std::pair<std::string, std::string>> commands = {
        {"ping www.baidu.com", "ping/zh-reply-www.baidu.com.txt"},
        {"sc start dot3svc", "sc/zh-start-dot3svc-running.txt"},
        {"netsh lan show interface", "netsh/zh-lan-interface-desktop.txt"},
        {"netsh wlan show interface", "netsh/zh-wlan-service-not-running.txt"},
        {"wmic nic list full", "nic/zh-desktop-nic-list-full.txt"},
        {"netsh interface ip show dnsserver", "netsh/zh-dnsserver-desktop-dhcp.txt"},
        {"ping -S 192.168.1.5 -n 10", "ping/zh-no-target.txt"},
        {"arp -a", "arp/zh-desktop-arp.txt"},
    };
    std::string list;
    int n = 0;
    for (const auto& [command, file] : commands) {
      const std::string name = "r" + std::to_string(n++) + ".txt";
      Write(folder_ + "\\" + name, ReadFixture("outputs/" + file));
      list += command + " => " + name + "\n";
      known.insert(command);
    }
    list += "WMIC NICCONFIG list full => nicconfig.txt\n";
    known.insert("wmic NICCONFIG list full");
    Write(folder_ + "\\commands.txt", list);
    Write(folder_ + "\\adapters.txt", "Realtek PCIe GbE Family Controller => x\n");
  }

  void SetListing(const std::string& bytes) { Write(folder_ + "\\nicconfig.txt", bytes); }
  std::string Folder() const { return folder_; }

  std::set<std::string> known;

 private:
  std::string folder_;
};

TEST(HostileDllTest, NoHostileValueReachesACommandLine) {
  if (!ChineseSystem()) {
    GTEST_SKIP() << "the Chinese desktop's listing is read on a Chinese system";
  }
  HostileProfile profile;
  const std::string listing = ReadFixture("outputs/nicconfig/zh-desktop-nicconfig-list-full.txt");
  std::vector<std::string> calls;
  {
    const std::vector<NetworkCardSummary>* cards = nullptr;
    ProbeError error;
    SimulatedMachine machine("desktop-zh");  // the call log; the profile is ours
    SetEnvironmentVariableA("KESTREL_PROFILE", profile.Folder().c_str());
    ASSERT_EQ(GetLanAndWlanNetworkCardInfo(&cards, &error), 1) << machine.Transcript();

    // As the adapter's address: no adapter is tested, nothing runs for it.
    for (const std::string& value : kHostile) {
      profile.SetListing(
          Replace(listing, "IPAddress={\"192.168.1.5\"", "IPAddress={\"" + value + "\""));
      const DnsTestInfo* dns = nullptr;
      EXPECT_EQ(GetDNSTestnfo(&dns, &error), 1);
      EXPECT_TRUE(dns->wiredEntries.empty()) << value;
      const std::vector<RouterDelayEntry>* router = nullptr;
      EXPECT_EQ(GetHostToRouterDelayInfo(&router, &error), 0) << value;
    }
    // As the gateway, with all of them as the DNS servers: the address is good, so the DNS
    // test and the router ping run, with no value in them.
    std::string servers;
    for (const std::string& value : kHostile) {
      servers += (servers.empty() ? "\"" : ",\"") + value + "\"";
    }
    const std::string dnsListing =
        Replace(listing, "DNSServerSearchOrder={\"192.168.1.1\",\"202.96.134.133\"}",
                "DNSServerSearchOrder={" + servers + "}");
    for (const std::string& value : kHostile) {
      profile.SetListing(Replace(dnsListing, "DefaultIPGateway={\"192.168.1.1\"}",
                                 "DefaultIPGateway={\"" + value + "\"}"));
      const DnsTestInfo* dns = nullptr;
      EXPECT_EQ(GetDNSTestnfo(&dns, &error), 1);
      EXPECT_TRUE(dns->wiredEntries.empty()) << value;  // no DNS server left to ping
      const std::vector<RouterDelayEntry>* router = nullptr;
      GetHostToRouterDelayInfo(&router, &error);
    }
    calls = machine.Calls();
  }
  EXPECT_GE(calls.size(), 5u + kHostile.size() * 4);
  for (const std::string& call : calls) {
    EXPECT_EQ(profile.known.count(call), 1u) << "[" << call << "]";
  }
}

}  // namespace
}  // namespace kestrel::test
