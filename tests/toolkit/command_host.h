// A host window of a layout that records the names of the controls whose commands it received.
#pragma once

#include <string>
#include <vector>

#include "toolkit/host.h"

namespace toolkit::testing {

class CommandHost : public SHostWnd {
 public:
  using SHostWnd::SHostWnd;
  std::vector<std::wstring> commands;

 protected:
  void _HandleEvent(EventArgs* evt) override {
    if (evt->GetID() == EVT_CMD)
      commands.push_back(evt->nameFrom);
  }
};

}  // namespace toolkit::testing
