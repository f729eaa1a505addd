// The result cards: the three category cards of the detecting page and the three result cards,
// the problem count and the log lines of the results page, drawn from a copy of the run's state
// on the UI thread after each status change. Portable logic over the view's named controls.
#pragma once

#include <string>
#include <vector>

#include "app/detect_sequence.h"
#include "app/detect_view.h"

namespace kestrelrun {

// The progress values at which each card's result is drawn: after the operating-system step,
// after the disk step, after the upload.
inline constexpr int kSystemCardProgress = 32;
inline constexpr int kHardwareCardProgress = 56;
inline constexpr int kNetworkCardProgress = 100;
// The steps whose start switches a card to its busy page.
inline constexpr int kHardwareBusyStep = 5;
inline constexpr int kNetworkBusyStep = 8;

// Page 0 of a result card: up to two problem texts, a third line "..." when there are more.
void FillProblemPage(IDetectView& view, const std::wstring& card,
                     const std::vector<std::wstring>& problems);

void UpdateSystemCard(const DetectState& state, IDetectView& view);
// May set state.hardwareBusyShown.
void UpdateHardwareCard(DetectState& state, IDetectView& view);
// May set state.networkBusyShown. True when it drew the results (progressTarget 100): the caller
// then ends the run (running false, flashActive true).
bool UpdateNetworkCard(DetectState& state, IDetectView& view, IDetectLog& log);

// The report page's address for a report number.
std::wstring ReportPageAddress(const std::wstring& base, const std::wstring& reportNumber);
// The report server's "/reportDetail/" address, from the configured endpoint.
std::wstring DefaultReportPageBase();

}  // namespace kestrelrun
