// A child for the child-start tests: sleeps for the milliseconds its argument gives.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  Sleep(argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 0);
  return 0;
}
