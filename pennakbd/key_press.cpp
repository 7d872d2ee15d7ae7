// Key presses. Typing is not built yet: a tapped key and a window command do nothing so far.
#include "key_press.h"

void HandleKeyPress(KeyDef *key, DWORD releasePoint) {
    (void)key;
    (void)releasePoint;
}

void ExecuteWindowCommand(LPCWSTR command) {
    (void)command;
}
