// The development state dump: with the environment variable KESTREL_UI_DUMP naming a file, the
// program rewrites that file every 100 ms with what its windows show (the main window's control
// tree, the open dialog's, the texts of open message boxes and where the box lies), so that the
// Wine tests read back what real clicks and keys did. Without the variable nothing happens; the
// product reads no other setting of its own.
#pragma once

namespace kestrelrun {

class CMainWnd;

// Starts the dump on `window` when KESTREL_UI_DUMP is set; `scale` is the screen's.
void StartStateDump(CMainWnd& window, float scale);

}  // namespace kestrelrun
