// A progress bar's range, position and step, and the rules Windows applies to them. Sums are
// taken wide so that no range or step overflows.
#ifndef PLATFORM_CONTROLS_PROGRESS_POSITION_H
#define PLATFORM_CONTROLS_PROGRESS_POSITION_H

struct ProgressPosition {
    int low = 0;
    int high = 100;
    int position = 0;
    int step = 10;
};

// Each answers the position before the change.
int SetProgressRange(ProgressPosition &progress, int low, int high);
int SetProgressPosition(ProgressPosition &progress, long long position);
int MoveProgressPosition(ProgressPosition &progress, int delta);
// A step that passes one end of the range comes round from the other, as on Windows.
int StepProgress(ProgressPosition &progress);

// How much of a bar of that length the position fills, rounded to the nearest pixel.
int FilledLength(const ProgressPosition &progress, int length);

#endif
