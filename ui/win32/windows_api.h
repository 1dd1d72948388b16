#pragma once
// The Windows API for the window front end. windows.h defines LoadString as a macro (LoadStringW),
// which would rename the string table's LoadString: the macro goes, the API keeps LoadStringW.

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#undef LoadString
