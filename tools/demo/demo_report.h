// The driver's detection part (demo_report.cpp): the thirteen steps of one run in the program's
// order with its rules, the report upload, and the DNS change the network card's button makes.
#pragma once

#include <string>

// Runs the detection and prints each step's record, the score and the problems. Returns the
// report number, empty when the run stopped at a failed step.
std::wstring RunDetection();

// The report page's address, as the program opens it: the report server's secure address with
// "/reportDetail/" and the number.
std::string ReportPageAddress(const std::wstring& number);
