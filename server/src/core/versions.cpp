#include "core/versions.h"

#include <algorithm>
#include <vector>

namespace kestrel::server {
namespace {

constexpr std::size_t kMaxVersionParts = 8;
constexpr std::size_t kMaxPartDigits = 9;

bool SplitVersion(const std::string& text, std::vector<long>& parts) {
  parts.clear();
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = text.find('.', start);
    const std::string part = text.substr(start, dot == std::string::npos ? dot : dot - start);
    if (part.empty() || part.size() > kMaxPartDigits ||
        part.find_first_not_of("0123456789") != std::string::npos ||
        parts.size() == kMaxVersionParts) {
      return false;
    }
    parts.push_back(std::stol(part));
    if (dot == std::string::npos) {
      return true;
    }
    start = dot + 1;
  }
}

}  // namespace

std::optional<int> CompareVersions(const std::string& a, const std::string& b) {
  std::vector<long> left;
  std::vector<long> right;
  if (!SplitVersion(a, left) || !SplitVersion(b, right)) {
    return std::nullopt;
  }
  const std::size_t n = std::max(left.size(), right.size());
  left.resize(n, 0);
  right.resize(n, 0);
  return left < right ? -1 : (left == right ? 0 : 1);
}

}  // namespace kestrel::server
