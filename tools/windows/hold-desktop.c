// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Holds a Wine prefix's desktop: creates a hidden window, which makes Wine
// start its desktop process (and its services, as for any first program),
// then waits until it is killed. Started with nothing open, before any test,
// it keeps those processes from inheriting, and holding open, a test's pipes.
#include <windows.h>

//   hold-desktop.exe READY_FILE   (READY_FILE is made once the desktop runs)
int wmain(int argc, wchar_t* argv[])
{
    // Message-only: it needs no display, but it needs the desktop.
    HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    if (window == NULL || argc < 2)
        return 1;
    HANDLE ready = CreateFileW(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (ready == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(ready);
    for (;;)
        Sleep(INFINITE);
}
