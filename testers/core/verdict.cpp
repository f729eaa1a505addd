#include "core/verdict.h"

#include <fstream>
#include <string>
#include <system_error>

namespace testers {
namespace {

struct AnswerVerdict {
  BoxAnswer answer;
  int verdict;
};

constexpr AnswerVerdict kVerdicts[] = {
    {BoxAnswer::kYes, kWorks},
    {BoxAnswer::kNo, kHasProblem},
    {BoxAnswer::kDismissed, kNoVerdict},
};

const TesterTexts kMicrophoneTexts = {
    L"MicrophoneTextResult.txt",
    L"Lessora 麦克风测试",
    L"请对着麦克风说几句话。\n\n"
    L"您的麦克风能正常收音吗？\n\n"
    L"能正常使用请点“是”，有问题请点“否”；点“取消”或关闭窗口表示暂不判断。",
};

const TesterTexts kCameraTexts = {
    L"CameraTextResult.txt",
    L"Lessora 摄像头测试",
    L"请看一下摄像头的画面。\n\n"
    L"您的摄像头能正常显示画面吗？\n\n"
    L"能正常使用请点“是”，有问题请点“否”；点“取消”或关闭窗口表示暂不判断。",
};

}  // namespace

const TesterTexts& TextsOf(Device device) {
  return device == Device::kCamera ? kCameraTexts : kMicrophoneTexts;
}

int VerdictOf(BoxAnswer answer) {
  for (const AnswerVerdict& row : kVerdicts) {
    if (row.answer == answer) {
      return row.verdict;
    }
  }
  return kNoVerdict;
}

std::string ResultText(int verdict) {
  return std::to_string(verdict) + "\r\n";
}

int WriteVerdict(const std::filesystem::path& folder, Device device, int verdict) {
  const std::filesystem::path path = folder / TextsOf(device).result_file;
  const std::string text = ResultText(verdict);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.is_open()) {
    return kExitNotWritten;  // nothing of ours to clean up: the name may be someone's folder
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (out.fail()) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return kExitNotWritten;
  }
  return kExitWritten;
}

}  // namespace testers
