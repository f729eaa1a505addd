// Named resources held in memory ("LAYOUT:NAME" -> text), for layouts written by a test.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "toolkit/resources.h"

namespace toolkit::testing {

class MemoryProvider : public IResProvider {
 public:
  explicit MemoryProvider(std::map<std::wstring, std::string> files) : files_(std::move(files)) {}
  bool HasResource(const ResName& res) const override { return files_.count(res.ToString()) > 0; }
  std::optional<std::string> GetRawBuffer(const ResName& res) const override {
    auto it = files_.find(res.ToString());
    if (it == files_.end())
      return std::nullopt;
    return it->second;
  }

 private:
  std::map<std::wstring, std::string> files_;
};

}  // namespace toolkit::testing
