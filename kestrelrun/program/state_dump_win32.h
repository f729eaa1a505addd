// The development state dump: with the environment variable KESTREL_UI_DUMP naming a file, the
// program rewrites that file every 100 ms with what its windows show (the main window's control
// tree, the open dialog's, the texts of open message boxes and where the box lies), so that the
// Wine tests read back what real clicks and keys did. Without the variable nothing happens; the
// product reads no other setting of its own.
#pragma once

#include <memory>

namespace kestrelrun {

class CMainWnd;

// What a started dump keeps running beside the window: a thread that reads the process's own
// figures once a second, so that their costly reads never hold up the UI thread. Ending it
// (before the window goes) joins the thread.
class StateDump {
 public:
  virtual ~StateDump() = default;
};

// Starts the dump on `window` when KESTREL_UI_DUMP is set (null otherwise); `scale` is the
// screen's.
std::unique_ptr<StateDump> StartStateDump(CMainWnd& window, float scale);

}  // namespace kestrelrun
