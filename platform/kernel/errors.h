// Turning host failures into Win32 error codes.
#ifndef PLATFORM_KERNEL_ERRORS_H
#define PLATFORM_KERNEL_ERRORS_H

#include <windows.h>

// The Win32 error closest to a host errno value.
DWORD Win32ErrorFromErrno(int error);

// Sets the last error from errno; for the usual "fail and report" path.
void SetLastErrorFromErrno();

#endif
