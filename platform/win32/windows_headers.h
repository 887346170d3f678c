// The Windows headers as this layer uses them. The A/W name macros for
// MessageBox and LoadString would rename the platform interface's operations
// of the same names in every file that sees them, so they are dropped; this
// layer always calls the A-functions by their full names.
#pragma once

#include <winsock2.h>
#include <windows.h>

#ifdef MessageBox
#undef MessageBox
#endif
#ifdef LoadString
#undef LoadString
#endif
