// The Win32 command runner of the device listing (cmd_command_op_win32.cpp).
#pragma once

#include <memory>

#include "core/link_platform.h"

namespace usagelink::win32 {

std::unique_ptr<ICommandOp> MakeCmdCommandOp();

}  // namespace usagelink::win32
