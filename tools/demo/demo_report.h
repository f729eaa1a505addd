// The driver's detection part (demo_report.cpp): one run of the program's controller with the
// console window, the report upload, and the DNS change the network card's button makes.
#pragma once

#include <string>

// Presses the start button with the presence check's result and prints each step's record, the
// score and the problems, then presses the network card's button. Returns the report number,
// empty when the run did not reach the upload.
std::wstring RunDetection(bool networkUp);

// The report page's address, as the program opens it: the report server's secure address with
// "/reportDetail/" and the number.
std::string ReportPageAddress(const std::wstring& number);
