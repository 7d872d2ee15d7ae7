// The path of a depth-first walk, kept on the heap: a chain of layouts of any depth is walked in
// the same small stack as a single layout.
#ifndef LAYODEX_WORK_STACK_H
#define LAYODEX_WORK_STACK_H

#include <windows.h>

typedef struct WorkStack {
    BYTE *frames;
    int frameSize;
    int count;
    int capacity;
} WorkStack;

void StartWorkStack(WorkStack *stack, int frameSize);
// Room for this many frames in all, so that pushing up to there cannot fail.
BOOL ReserveWork(WorkStack *stack, int frames);
BOOL PushWork(WorkStack *stack, const void *frame);
// The newest frame; it stays where it is until something is pushed past the reserved room.
void *TopWork(const WorkStack *stack);
void PopWork(WorkStack *stack);
void ReleaseWorkStack(WorkStack *stack);

#endif
