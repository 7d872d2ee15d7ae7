// Messages and message queues.
#ifndef PLATFORM_WINUSER_H
#define PLATFORM_WINUSER_H

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *PMSG, *LPMSG;

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

#define WM_NULL 0x0000
#define WM_QUIT 0x0012
#define WM_TIMER 0x0113
#define WM_USER 0x0400

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

typedef void(CALLBACK *TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

WINBASEAPI BOOL WINAPI GetMessageW(LPMSG message, HWND window, UINT first, UINT last);
WINBASEAPI BOOL WINAPI PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT remove);
WINBASEAPI BOOL WINAPI PostThreadMessageW(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI void WINAPI PostQuitMessage(int exitCode);
WINBASEAPI BOOL WINAPI WaitMessage(void);
WINBASEAPI BOOL WINAPI TranslateMessage(const MSG *message);
WINBASEAPI LRESULT WINAPI DispatchMessageW(const MSG *message);
WINBASEAPI UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
WINBASEAPI BOOL WINAPI KillTimer(HWND window, UINT_PTR id);

#ifdef UNICODE
#define GetMessage GetMessageW
#define PeekMessage PeekMessageW
#define PostThreadMessage PostThreadMessageW
#define DispatchMessage DispatchMessageW
#endif

#endif
