// A program file may include <windows.h> before the toolkit: none of the toolkit's names is one
// of its macros, and the end codes and box kinds keep the values Windows gives them.
#ifdef _WIN32
#include <windows.h>
#endif

#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/host.h"
#include "toolkit/listview.h"

#ifdef _WIN32
static_assert(toolkit::kDialogOk == IDOK && toolkit::kDialogCancel == IDCANCEL);
static_assert(toolkit::kMessageBoxOk == MB_OK && toolkit::kMessageBoxOkCancel == MB_OKCANCEL);
#else
static_assert(toolkit::kDialogOk == 1 && toolkit::kDialogCancel == 2);
static_assert(toolkit::kMessageBoxOk == 0 && toolkit::kMessageBoxOkCancel == 1);
#endif
