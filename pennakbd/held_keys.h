// Held keys: sticky modifiers, dead keys and locks that stay in effect across taps, and the
// replay of them on a layout to find the layout to show while they are held.
#ifndef PENNAKBD_HELD_KEYS_H
#define PENNAKBD_HELD_KEYS_H

#include <windows.h>

#include <layodex.h>

// Which way ApplyHeldKeys walks HeldKeys.
#define HELD_NEWEST_FIRST 0
#define HELD_OLDEST_FIRST 1

// 1 when a copy of the key was added (or no key was given), 0 when a matching one was removed.
int ToggleHeldKey(const KeyDef *key);
// Removes the held keys whose kind is in mask. With STICK in mask, answers the codes of the
// released STICK keys, newest first, as a zero-terminated string the caller frees with
// LocalFree; otherwise, or when none was held, NULL.
WCHAR *ReleaseHeldKeys(DWORD mask);
// The key list of the layout the key leads to, loading a requested layout on first use; NULL
// when it leads nowhere.
Element *ResolveKeyTarget(KeyDef *key);
// The layout reached from start by replaying the held keys of mask on it.
Element *ApplyHeldKeys(Element *start, DWORD mask, int direction);

#endif
