#include "app/result_cards.h"

#include "kestrel_endpoints.h"

namespace kestrelrun {

namespace {

constexpr const wchar_t* kSystemCategory = L"tab_item_op_1";
constexpr const wchar_t* kHardwareCategory = L"tab_item_op_2";
constexpr const wchar_t* kNetworkCategory = L"tab_item_op_3";
constexpr const wchar_t* kSystemResult = L"tab_item_op_4";
constexpr const wchar_t* kHardwareResult = L"tab_item_op_5";
constexpr const wchar_t* kNetworkResult = L"tab_item_op_6";

// Category card pages.
constexpr int kCategoryBusy = 0;
constexpr int kCategoryFine = 1;
constexpr int kCategoryProblems = 2;
// Result card pages.
constexpr int kResultProblems = 0;
constexpr int kResultFine = 1;
constexpr int kResultsPage = 2;

constexpr const wchar_t* kSuggestLabel = L"text_item_suggest_3";
constexpr const wchar_t* kSuggestPlan = L"优化方案";
constexpr const wchar_t* kSuggestOptimise = L"去优化";
constexpr const wchar_t* kProblemLines[3] = {L"suggest_iteminfo_1", L"suggest_iteminfo_2",
                                             L"suggest_iteminfo_3"};

// The category card and the result card of one category, once its last step has finished.
void DrawCategory(IDetectView& view, const std::wstring& category, const std::wstring& icon,
                  const std::wstring& skin, const std::wstring& result,
                  const std::vector<std::wstring>& problems) {
  view.SetCardPage(category, problems.empty() ? kCategoryFine : kCategoryProblems);
  view.SetIcon(icon, skin);
  if (problems.empty()) {
    view.SetCardPage(result, kResultFine);
  } else {
    view.SetCardPage(result, kResultProblems);
    FillProblemPage(view, result, problems);
  }
}

void LogProblems(IDetectLog& log, const std::vector<std::wstring>& problems) {
  for (const std::wstring& problem : problems) {
    log.Line(problem);
  }
}

}  // namespace

void FillProblemPage(IDetectView& view, const std::wstring& card,
                     const std::vector<std::wstring>& problems) {
  const std::size_t shown = problems.size() < 3 ? problems.size() : 3;
  for (std::size_t line = 0; line < 3; ++line) {
    view.SetCardAttribute(card, kResultProblems, kProblemLines[line], L"show",
                          line < shown ? L"1" : L"0");
  }
  // The third line keeps its "..." from the layout.
  for (std::size_t line = 0; line < shown && line < 2; ++line) {
    view.SetCardText(card, kResultProblems, kProblemLines[line], problems[line]);
  }
}

void UpdateSystemCard(const DetectState& state, IDetectView& view) {
  if (state.progressTarget != kSystemCardProgress) {
    return;
  }
  DrawCategory(view, kSystemCategory, L"img_item_os", L"_skin.item.icon.1", kSystemResult,
               state.tally.systemProblems);
}

void UpdateHardwareCard(DetectState& state, IDetectView& view) {
  if (state.stepIndex == kHardwareBusyStep && !state.hardwareBusyShown) {
    state.hardwareBusyShown = true;
    view.SetCardPage(kHardwareCategory, kCategoryBusy);
  }
  if (state.progressTarget != kHardwareCardProgress) {
    return;
  }
  DrawCategory(view, kHardwareCategory, L"img_item_device", L"_skin.item.icon.2", kHardwareResult,
               state.tally.hardwareProblems);
}

bool UpdateNetworkCard(DetectState& state, IDetectView& view, IDetectLog& log) {
  if (state.stepIndex == kNetworkBusyStep && !state.networkBusyShown) {
    state.networkBusyShown = true;
    view.SetCardPage(kNetworkCategory, kCategoryBusy);
  }
  if (state.progressTarget != kNetworkCardProgress) {
    return false;
  }
  const RunTally& tally = state.tally;
  const bool dns = !tally.dnsProblems.empty();
  std::vector<std::wstring> combined = tally.dnsProblems;
  combined.insert(combined.end(), tally.networkProblems.begin(), tally.networkProblems.end());

  if (combined.empty()) {
    view.SetCardPage(kNetworkCategory, kCategoryFine);
    view.SetCardPage(kNetworkResult, kResultFine);
  } else {
    view.SetCardPage(kNetworkCategory, kCategoryProblems);
    view.SetCardText(kNetworkCategory, kCategoryProblems, kSuggestLabel,
                     dns ? kSuggestOptimise : kSuggestPlan);
    view.SetCardPage(kNetworkResult, kResultProblems);
    FillProblemPage(view, kNetworkResult, combined);
    view.SetCardText(kNetworkResult, kResultProblems, kSuggestLabel,
                     dns ? kSuggestOptimise : kSuggestPlan);
    view.SetCardAttribute(kNetworkResult, kResultProblems, kSuggestLabel, L"pos",
                          dns ? L"27,5" : L"21,5");
  }

  view.ShowMainPage(kResultsPage);
  view.SetProblemCountLabel(std::to_wstring(tally.ProblemCount()));
  LogProblems(log, tally.systemProblems);
  LogProblems(log, tally.hardwareProblems);
  LogProblems(log, tally.dnsProblems);
  LogProblems(log, tally.networkProblems);
  return true;
}

std::wstring ReportPageAddress(const std::wstring& base, const std::wstring& reportNumber) {
  return base + reportNumber;
}

std::wstring DefaultReportPageBase() {
  // The host setting is plain ASCII (a name or an address with a port).
  const std::string host = kestrel::endpoints::kReportHost;
  return L"https://" + std::wstring(host.begin(), host.end()) + L"/reportDetail/";
}

}  // namespace kestrelrun
