// The driver's microphone and speaker part (demo_mic.cpp), and the text helper both parts use.
#pragma once

#include <string>

// Lists the endpoints, reads the volumes and runs the loop-back for three seconds, printing each
// recorded block's level. Returns the program's exit code.
int RunMicDemo();

// A text in the ANSI code page as UTF-8, for the terminal.
std::string AnsiToUtf8(const std::string& text);
