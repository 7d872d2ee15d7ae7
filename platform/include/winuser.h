// Windows, messages and message queues.
#ifndef PLATFORM_WINUSER_H
#define PLATFORM_WINUSER_H

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

#define LOWORD(l) ((WORD)((DWORD_PTR)(l)&0xFFFF))
#define HIWORD(l) ((WORD)((DWORD_PTR)(l) >> 16))
#define MAKELONG(low, high) ((LONG)(((WORD)(low)) | ((DWORD)((WORD)(high))) << 16))
#define MAKELPARAM(low, high) ((LPARAM)(DWORD)MAKELONG(low, high))
#define MAKEWPARAM(low, high) ((WPARAM)(DWORD)MAKELONG(low, high))

typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HANDLE hIcon;
    HANDLE hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
} WNDCLASSW, *LPWNDCLASSW;
typedef WORD ATOM;

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HANDLE hIcon;
    HANDLE hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA, *LPWNDCLASSA;

typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HANDLE hIcon;
    HANDLE hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HANDLE hIconSm;
} WNDCLASSEXA, *LPWNDCLASSEXA;

typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HANDLE hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct tagCREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HANDLE hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTW, *LPCREATESTRUCTW;

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
#define SW_MINIMIZE 6

// Window styles (Windows CE has no maximize or minimize boxes of its own).
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_NOACTIVATE 0x08000000L
#define WS_EX_CAPTIONOKBTN 0x80000000L

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_GLOBALCLASS 0x4000

#define CW_USEDEFAULT ((int)0x80000000)

#define GWL_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GWLP_WNDPROC GWL_WNDPROC

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOOWNERZORDER 0x0200

#define SW_SHOWNOACTIVATE 4
#define SW_SHOWNA 8

#define SIZE_RESTORED 0

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_ERASEBKGND 0x0014
#define WM_QUIT 0x0012
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_SHOWWINDOW 0x0018
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
// Keys pressed with Alt held (and Alt itself) without Control, and the characters they make: a
// program's shortcuts, never typed text.
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_CAPTURECHANGED 0x0215
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_VSCROLL 0x0115

// Where a point of a window lies, for the messages of its frame.
#define HTVSCROLL 7

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
#define MK_LBUTTON 0x0001

#define VK_LBUTTON 0x01
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define KEYEVENTF_EXTENDEDKEY 0x0001
#define KEYEVENTF_KEYUP 0x0002
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_TIMER 0x0113
#define WM_USER 0x0400

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

typedef void(CALLBACK *TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

// Control and dialog messages
#define WM_ENABLE 0x000A
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_GETDLGCODE 0x0087
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORSTATIC 0x0138
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_NEXTDLGCTL 0x0028

#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// Buttons
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_OWNERDRAW 0x0000000BL
#define BS_TYPEMASK 0x0000000FL
#define BS_BITMAP 0x00000080L
#define BS_CENTER 0x00000300L
#define BS_NOTIFY 0x00004000L
#define BN_CLICKED 0
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008

// Statics
#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_ICON 0x00000003L
#define SS_BITMAP 0x0000000EL
#define SS_TYPEMASK 0x0000001FL
#define SS_NOPREFIX 0x00000080L
#define SS_NOTIFY 0x00000100L
#define SS_CENTERIMAGE 0x00000200L
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define STN_CLICKED 0

// Combo boxes
#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_AUTOHSCROLL 0x0040L
#define CBS_SORT 0x0100L
#define CBS_HASSTRINGS 0x0200L
#define CBS_NOINTEGRALHEIGHT 0x0400L
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)
#define CB_OKAY 0
#define CB_GETEDITSEL 0x0140
#define CB_LIMITTEXT 0x0141
#define CB_SETEDITSEL 0x0142
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_DIR 0x0145
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_GETDROPPEDCONTROLRECT 0x0152
#define CB_SETITEMHEIGHT 0x0153
#define CB_GETITEMHEIGHT 0x0154
#define CB_GETDROPPEDSTATE 0x0157
#define CB_FINDSTRINGEXACT 0x0158
#define CBN_ERRSPACE (-1)
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5
#define CBN_EDITUPDATE 6
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10

// List boxes
#define LBS_NOTIFY 0x0001L
#define LBS_SORT 0x0002L
#define LBS_MULTIPLESEL 0x0008L
#define LBS_HASSTRINGS 0x0040L
#define LBS_NOINTEGRALHEIGHT 0x0100L
#define LBS_EXTENDEDSEL 0x0800L
#define LBS_DISABLENOSCROLL 0x1000L
#define LB_OKAY 0
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_SELITEMRANGEEX 0x0183
#define LB_RESETCONTENT 0x0184
#define LB_SETSEL 0x0185
#define LB_SETCURSEL 0x0186
#define LB_GETSEL 0x0187
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_SELECTSTRING 0x018C
#define LB_DIR 0x018D
#define LB_GETTOPINDEX 0x018E
#define LB_FINDSTRING 0x018F
#define LB_GETSELCOUNT 0x0190
#define LB_GETSELITEMS 0x0191
#define LB_SETTABSTOPS 0x0192
#define LB_GETHORIZONTALEXTENT 0x0193
#define LB_SETHORIZONTALEXTENT 0x0194
#define LB_SETCOLUMNWIDTH 0x0195
#define LB_ADDFILE 0x0196
#define LB_SETTOPINDEX 0x0197
#define LB_GETITEMRECT 0x0198
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_SELITEMRANGE 0x019B
#define LB_SETANCHORINDEX 0x019C
#define LB_GETANCHORINDEX 0x019D
#define LB_SETCARETINDEX 0x019E
#define LB_GETCARETINDEX 0x019F
#define LB_SETITEMHEIGHT 0x01A0
#define LB_GETITEMHEIGHT 0x01A1
#define LB_FINDSTRINGEXACT 0x01A2
#define LBN_ERRSPACE (-2)
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define LBN_SELCANCEL 3
#define LBN_SETFOCUS 4
#define LBN_KILLFOCUS 5

// Scroll bars
#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2
#define SB_BOTH 3
#define SB_LINEUP 0
#define SB_LINEDOWN 1
#define SB_PAGEUP 2
#define SB_PAGEDOWN 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_BOTTOM 7
#define SB_ENDSCROLL 8
#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)

typedef struct tagSCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
} SCROLLINFO, *LPSCROLLINFO;
typedef const SCROLLINFO *LPCSCROLLINFO;

WINBASEAPI int WINAPI SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
WINBASEAPI BOOL WINAPI GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
WINBASEAPI int WINAPI SetScrollPos(HWND window, int bar, int position, BOOL redraw);
WINBASEAPI int WINAPI GetScrollPos(HWND window, int bar);
WINBASEAPI BOOL WINAPI SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw);
WINBASEAPI BOOL WINAPI GetScrollRange(HWND window, int bar, LPINT minimum, LPINT maximum);
WINBASEAPI BOOL WINAPI ShowScrollBar(HWND window, int bar, BOOL show);

// Edit controls
#define ES_LEFT 0x0000L
#define ES_CENTER 0x0001L
#define ES_RIGHT 0x0002L
#define ES_MULTILINE 0x0004L
#define ES_UPPERCASE 0x0008L
#define ES_LOWERCASE 0x0010L
#define ES_PASSWORD 0x0020L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NOHIDESEL 0x0100L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L
#define ES_NUMBER 0x2000L
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_SCROLL 0x00B5
#define EM_LINESCROLL 0x00B6
#define EM_SCROLLCARET 0x00B7
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_GETLINECOUNT 0x00BA
#define EM_LINEINDEX 0x00BB
#define EM_LINELENGTH 0x00C1
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_LINEFROMCHAR 0x00C9
#define EM_GETFIRSTVISIBLELINE 0x00CE
#define EM_SETREADONLY 0x00CF
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_GETLIMITTEXT 0x00D5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_ERRSPACE 0x0500
#define EN_MAXTEXT 0x0501

// Dialogs
#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x04L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x400L
#define DS_CENTER 0x800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L
#define DWL_MSGRESULT 0
#define DWL_DLGPROC ((int)sizeof(LONG_PTR))
#define DWL_USER ((int)(2 * sizeof(LONG_PTR)))
#define DLGWINDOWEXTRA ((int)(3 * sizeof(LONG_PTR)))
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

WINBASEAPI INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner,
                                          DLGPROC procedure, LPARAM parameter);
WINBASEAPI INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner,
                                          DLGPROC procedure, LPARAM parameter);
WINBASEAPI HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND parent,
                                          DLGPROC procedure, LPARAM parameter);
WINBASEAPI HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent,
                                          DLGPROC procedure, LPARAM parameter);
WINBASEAPI BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
WINBASEAPI LRESULT WINAPI DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG message);
WINBASEAPI HWND WINAPI GetDlgItem(HWND dialog, int id);
WINBASEAPI BOOL WINAPI IsChild(HWND parent, HWND window);
WINBASEAPI int WINAPI GetDlgCtrlID(HWND control);
WINBASEAPI BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
WINBASEAPI UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size);
WINBASEAPI LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam,
                                              LPARAM lParam);
WINBASEAPI LONG WINAPI GetDialogBaseUnits(void);
WINBASEAPI BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect);
WINBASEAPI int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Cursors: a device shows only the wait cursor, while a program is busy.
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_WAIT MAKEINTRESOURCEW(32514)

WINBASEAPI HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name);
WINBASEAPI HCURSOR WINAPI SetCursor(HCURSOR cursor);
WINBASEAPI HCURSOR WINAPI GetCursor(void);

// Painting
typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

WINBASEAPI HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint);
WINBASEAPI BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT *paint);
WINBASEAPI BOOL WINAPI InvalidateRect(HWND window, const RECT *rect, BOOL erase);
WINBASEAPI BOOL WINAPI ValidateRect(HWND window, const RECT *rect);
WINBASEAPI BOOL WINAPI GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
WINBASEAPI BOOL WINAPI UpdateWindow(HWND window);
WINBASEAPI HDC WINAPI GetDC(HWND window);
WINBASEAPI HDC WINAPI GetWindowDC(HWND window);
WINBASEAPI int WINAPI ReleaseDC(HWND window, HDC dc);

WINBASEAPI BOOL WINAPI GetMessageW(LPMSG message, HWND window, UINT first, UINT last);
WINBASEAPI BOOL WINAPI PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT remove);
WINBASEAPI BOOL WINAPI PostThreadMessageW(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI void WINAPI PostQuitMessage(int exitCode);
WINBASEAPI BOOL WINAPI WaitMessage(void);
WINBASEAPI BOOL WINAPI TranslateMessage(const MSG *message);
WINBASEAPI LRESULT WINAPI DispatchMessageW(const MSG *message);
WINBASEAPI ATOM WINAPI RegisterClassW(const WNDCLASSW *windowClass);
WINBASEAPI BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE instance);
WINBASEAPI HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HANDLE menu, HINSTANCE instance,
                                       LPVOID parameter);
WINBASEAPI BOOL WINAPI DestroyWindow(HWND window);
WINBASEAPI BOOL WINAPI IsWindow(HWND window);
WINBASEAPI HWND WINAPI GetParent(HWND window);
WINBASEAPI HWND WINAPI GetWindow(HWND window, UINT relation);
WINBASEAPI HWND WINAPI GetDesktopWindow(void);
WINBASEAPI HWND WINAPI FindWindowW(LPCWSTR className, LPCWSTR windowName);
WINBASEAPI int WINAPI GetClassNameW(HWND window, LPWSTR name, int size);
WINBASEAPI int WINAPI GetWindowTextW(HWND window, LPWSTR text, int size);
WINBASEAPI int WINAPI GetWindowTextLengthW(HWND window);
WINBASEAPI BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text);
WINBASEAPI LONG WINAPI GetWindowLongW(HWND window, int index);
WINBASEAPI LONG WINAPI SetWindowLongW(HWND window, int index, LONG value);
WINBASEAPI LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index);
WINBASEAPI LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
WINBASEAPI DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId);
WINBASEAPI BOOL WINAPI ShowWindow(HWND window, int command);
WINBASEAPI BOOL WINAPI IsWindowVisible(HWND window);
WINBASEAPI BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width,
                                    int height, UINT flags);
WINBASEAPI BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
WINBASEAPI BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
WINBASEAPI BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
WINBASEAPI BOOL WINAPI ClientToScreen(HWND window, LPPOINT point);
WINBASEAPI BOOL WINAPI ScreenToClient(HWND window, LPPOINT point);
WINBASEAPI LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
WINBASEAPI LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI HWND WINAPI SetFocus(HWND window);
WINBASEAPI HWND WINAPI GetFocus(void);
WINBASEAPI HWND WINAPI SetActiveWindow(HWND window);
WINBASEAPI HWND WINAPI GetActiveWindow(void);
WINBASEAPI BOOL WINAPI SetForegroundWindow(HWND window);
WINBASEAPI HWND WINAPI GetForegroundWindow(void);
WINBASEAPI HWND WINAPI SetCapture(HWND window);
WINBASEAPI BOOL WINAPI ReleaseCapture(void);
WINBASEAPI HWND WINAPI GetCapture(void);
WINBASEAPI BOOL WINAPI EnableWindow(HWND window, BOOL enable);
WINBASEAPI BOOL WINAPI IsWindowEnabled(HWND window);
WINBASEAPI HWND WINAPI WindowFromPoint(POINT point);
WINBASEAPI void WINAPI keybd_event(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extra);
// The key that types the character on the device's keyboard in the low byte, 1 in the high byte
// when Shift is needed; -1 for a character no key types.
WINBASEAPI SHORT WINAPI VkKeyScanW(WCHAR character);
WINBASEAPI SHORT WINAPI GetKeyState(int key);
WINBASEAPI SHORT WINAPI GetAsyncKeyState(int key);
WINBASEAPI UINT WINAPI GetDoubleClickTime(void);
WINBASEAPI UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
WINBASEAPI BOOL WINAPI KillTimer(HWND window, UINT_PTR id);

// The ANSI entry points of the desktop's programs. A window whose procedure was given through an
// A call receives its text messages in ANSI; text crossing between the two kinds is converted.
#define WM_SYSCHAR 0x0106
#define WM_DEADCHAR 0x0103
#define WM_SYSDEADCHAR 0x0107
#define WM_NCCREATE 0x0081
#define LBS_OWNERDRAWFIXED 0x0010L
#define LBS_OWNERDRAWVARIABLE 0x0020L
#define CBS_OWNERDRAWFIXED 0x0010L
#define CBS_OWNERDRAWVARIABLE 0x0020L
#define EM_REPLACESEL 0x00C2
#define EM_GETLINE 0x00C4

WINBASEAPI ATOM WINAPI RegisterClassA(const WNDCLASSA *windowClass);
WINBASEAPI ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *windowClass);
WINBASEAPI HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HANDLE menu, HINSTANCE instance,
                                       LPVOID parameter);
WINBASEAPI LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
WINBASEAPI LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT first, UINT last);
WINBASEAPI BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove);
WINBASEAPI LRESULT WINAPI DispatchMessageA(const MSG *message);
WINBASEAPI BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message);
WINBASEAPI BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
WINBASEAPI int WINAPI GetWindowTextA(HWND window, LPSTR text, int size);
WINBASEAPI int WINAPI GetClassNameA(HWND window, LPSTR name, int size);
WINBASEAPI LONG WINAPI GetWindowLongA(HWND window, int index);
WINBASEAPI LONG WINAPI SetWindowLongA(HWND window, int index, LONG value);
WINBASEAPI LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index);
WINBASEAPI LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
WINBASEAPI LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
WINBASEAPI UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size);
WINBASEAPI LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                              LPARAM lParam);
WINBASEAPI HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);
WINBASEAPI HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName);

// The device's platform: "PocketPC" or "HPC", in a buffer of the size given in bytes.
#define SPI_GETPLATFORMTYPE 257
WINBASEAPI BOOL WINAPI SystemParametersInfoW(UINT action, UINT size, PVOID value, UINT winIni);

#ifdef UNICODE
#define VkKeyScan VkKeyScanW
#define WNDCLASS WNDCLASSW
#define CREATESTRUCT CREATESTRUCTW
#define RegisterClass RegisterClassW
#define UnregisterClass UnregisterClassW
#define CreateWindowEx CreateWindowExW
#define FindWindow FindWindowW
#define GetClassName GetClassNameW
#define GetWindowText GetWindowTextW
#define GetWindowTextLength GetWindowTextLengthW
#define SetWindowText SetWindowTextW
#define GetWindowLong GetWindowLongW
#define SetWindowLong SetWindowLongW
#define GetWindowLongPtr GetWindowLongPtrW
#define SetWindowLongPtr SetWindowLongPtrW
#define SendMessage SendMessageW
#define LoadCursor LoadCursorW
#define DialogBoxParam DialogBoxParamW
#define CreateDialogParam CreateDialogParamW
#define DefDlgProc DefDlgProcW
#define IsDialogMessage IsDialogMessageW
#define SetDlgItemText SetDlgItemTextW
#define GetDlgItemText GetDlgItemTextW
#define SendDlgItemMessage SendDlgItemMessageW
#define MessageBox MessageBoxW
#define PostMessage PostMessageW
#define CallWindowProc CallWindowProcW
#define DefWindowProc DefWindowProcW
#define GetMessage GetMessageW
#define PeekMessage PeekMessageW
#define PostThreadMessage PostThreadMessageW
#define DispatchMessage DispatchMessageW
#else
#define WNDCLASS WNDCLASSA
#define WNDCLASSEX WNDCLASSEXA
#define CREATESTRUCT CREATESTRUCTA
#define RegisterClass RegisterClassA
#define RegisterClassEx RegisterClassExA
#define CreateWindowEx CreateWindowExA
#define FindWindow FindWindowA
#define GetClassName GetClassNameA
#define GetWindowText GetWindowTextA
#define SetWindowText SetWindowTextA
#define GetWindowLong GetWindowLongA
#define SetWindowLong SetWindowLongA
#define GetWindowLongPtr GetWindowLongPtrA
#define SetWindowLongPtr SetWindowLongPtrA
#define SendMessage SendMessageA
#define LoadCursor LoadCursorA
#define DialogBoxParam DialogBoxParamA
#define CreateDialogParam CreateDialogParamA
#define DefDlgProc DefDlgProcA
#define IsDialogMessage IsDialogMessageA
#define SetDlgItemText SetDlgItemTextA
#define GetDlgItemText GetDlgItemTextA
#define SendDlgItemMessage SendDlgItemMessageA
#define MessageBox MessageBoxA
#define PostMessage PostMessageA
#define CallWindowProc CallWindowProcA
#define DefWindowProc DefWindowProcA
#define GetMessage GetMessageA
#define PeekMessage PeekMessageA
#define DispatchMessage DispatchMessageA
#endif

#endif
