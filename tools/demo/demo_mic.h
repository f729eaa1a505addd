// The driver's microphone and speaker part (demo_mic.cpp).
#pragma once

// Lists the endpoints, reads the volumes and runs the loop-back for three seconds, printing each
// recorded block's level. Returns the program's exit code.
int RunMicDemo();
