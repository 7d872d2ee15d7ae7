#include "work_stack.h"

#include <string.h>

void StartWorkStack(WorkStack *stack, int frameSize) {
    memset(stack, 0, sizeof *stack);
    stack->frameSize = frameSize;
}

BOOL ReserveWork(WorkStack *stack, int frames) {
    if (frames <= stack->capacity)
        return TRUE;
    int capacity = stack->capacity == 0 ? 16 : stack->capacity;
    while (capacity < frames)
        capacity *= 2;
    BYTE *grown = (BYTE *)LocalAlloc(LMEM_FIXED, (SIZE_T)capacity * stack->frameSize);
    if (grown == NULL)
        return FALSE;
    if (stack->frames != NULL) {
        memcpy(grown, stack->frames, (SIZE_T)stack->count * stack->frameSize);
        LocalFree(stack->frames);
    }
    stack->frames = grown;
    stack->capacity = capacity;
    return TRUE;
}

BOOL PushWork(WorkStack *stack, const void *frame) {
    if (!ReserveWork(stack, stack->count + 1))
        return FALSE;
    memcpy(stack->frames + (SIZE_T)stack->count * stack->frameSize, frame, stack->frameSize);
    stack->count++;
    return TRUE;
}

void *TopWork(const WorkStack *stack) {
    if (stack->count == 0)
        return NULL;
    return stack->frames + (SIZE_T)(stack->count - 1) * stack->frameSize;
}

void PopWork(WorkStack *stack) {
    if (stack->count > 0)
        stack->count--;
}

void ReleaseWorkStack(WorkStack *stack) {
    if (stack->frames != NULL)
        LocalFree(stack->frames);
    stack->frames = NULL;
    stack->count = 0;
    stack->capacity = 0;
}
