// State that a system control or a dialog keeps for its window. It hangs off the window and goes
// with it, whether the window is destroyed, its program ends or its machine powers off. Each kind
// of state is told apart by its type, so asking a window for the wrong kind gives nothing.
#ifndef PLATFORM_USER_ATTACHED_STATE_H
#define PLATFORM_USER_ATTACHED_STATE_H

#include <windows.h>

#include <memory>

#include "user/window_state.h"

template <class State> const void *AttachedStateKind() {
    static const char kind = 0;
    return &kind;
}

template <class State> bool AttachState(HWND handle, std::shared_ptr<State> state) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr) {
        return false;
    }
    window->attachedKind = AttachedStateKind<State>();
    window->attachedState = std::move(state);
    return true;
}

// The window's state of that kind, or null. A handler keeps the pointer while it runs, so a
// window destroyed meanwhile leaves it something valid to look at.
template <class State> std::shared_ptr<State> AttachedState(HWND handle) {
    const Window *window = FindWindowObject(handle);
    if (window == nullptr || window->attachedKind != AttachedStateKind<State>()) {
        return nullptr;
    }
    return std::static_pointer_cast<State>(window->attachedState);
}

inline void DetachState(HWND handle) {
    if (Window *window = FindWindowObject(handle)) {
        window->attachedKind = nullptr;
        window->attachedState.reset();
    }
}

#endif
