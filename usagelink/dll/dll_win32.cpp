// Loading UsageLink.dll builds the one object with the Win32 services.
#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "core/curl_post.h"
#include "device/cmd_command_op_win32.h"
#include "dll/instance.h"
#include "kestrel_endpoints.h"

namespace {

class Win32Platform final : public usagelink::IPlatform {
 public:
  std::unique_ptr<usagelink::ICommandOp> MakeCommandOp() override {
    return usagelink::win32::MakeCmdCommandOp();
  }
  void OpenInBrowser(const std::wstring& address) override {
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  void SleepMilliseconds(unsigned milliseconds) override { Sleep(milliseconds); }
};

struct Builder {
  Builder() {
    static usagelink::CurlPost http;
    static Win32Platform platform;
    static const std::unique_ptr<kestrel::ICodePage> pages = kestrel::MakeSystemCodePage();
    usagelink::InstallInstance(std::make_unique<usagelink::UsageLink>(
        http, platform, *pages, kestrel::endpoints::kStatsHost));
  }
};

const Builder kBuild;

}  // namespace
