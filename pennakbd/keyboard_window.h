// The keyboard window: the keys of the displayed layout, painted off screen into backBuffer and
// copied to the screen as it is asked to repaint; and the operations the other windows use to
// measure, scale, paint and arrange it.
#ifndef PENNAKBD_KEYBOARD_WINDOW_H
#define PENNAKBD_KEYBOARD_WINDOW_H

#include <windows.h>

#include <layodex.h>

LRESULT CALLBACK KeyboardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The displayed layout's key list, or NULL.
Element *DisplayedLayout(void);

// Resolves the keys' geometry in place (widths and heights become right and bottom edges) and
// loads their built-in images, once per layout.
void PrepareLayout(Element *layout);
// The largest scale at which the displayed layout still fits the desktop's width; kept when
// either is unknown.
void MeasureMaxScale(void);
// layoutWidth and layoutHeight from the visible keys.
void MeasureLayout(Element *layout);
// The key's rectangle in window pixels at the current scale; sets faceHeight.
RECT ScaleKeyRect(const KeyDef *key);
void CreateLabelFont(void);
// Paints layout into backBuffer: in full without previous, otherwise only what differs from it.
void PaintLayout(Element *previous, Element *layout);
BOOL SameKeyFace(const KeyDef *a, const KeyDef *b);
void DrawKeyFace(HDC dc, const KeyDef *key, RECT face);
// The key's area will be repainted on the screen at the next differential relayout.
void MarkDirty(const KeyDef *key);
void InvalidateDirtyKeys(void);
// Drops the marks of held keys of previous, shows the held keys of layout, and releases the held
// keys layout does not have.
void ReconcileHeldKeys(Element *previous, Element *layout);
HBITMAP FindCachedImage(DWORD imageIndex);
void CacheImage(DWORD imageIndex, HBITMAP bitmap);
// Sizes and places the title bar, the option panel (shown or hidden), the keyboard window and
// the main window around the displayed layout.
void ArrangeWindows(HWND titleBar, HWND optionPanel, BOOL panelShown);

#endif
