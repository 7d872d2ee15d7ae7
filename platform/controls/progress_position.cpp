#include "controls/progress_position.h"

#include <algorithm>

namespace {

// Windows checks the two ends one after the other, so an upside-down range ends on its top.
int Coerced(const ProgressPosition &progress, long long position) {
    if (position < progress.low) {
        position = progress.low;
    }
    if (position > progress.high) {
        position = progress.high;
    }
    return static_cast<int>(position);
}

} // namespace

int SetProgressRange(ProgressPosition &progress, int low, int high) {
    const int previous = progress.position;
    progress.low = low;
    progress.high = high;
    progress.position = Coerced(progress, progress.position);
    return previous;
}

int SetProgressPosition(ProgressPosition &progress, long long position) {
    const int previous = progress.position;
    progress.position = Coerced(progress, position);
    return previous;
}

int MoveProgressPosition(ProgressPosition &progress, int delta) {
    return SetProgressPosition(progress, static_cast<long long>(progress.position) + delta);
}

int StepProgress(ProgressPosition &progress) {
    const int previous = progress.position;
    const long long low = progress.low;
    const long long high = progress.high;
    if (low == high) {
        return previous;
    }
    long long position = static_cast<long long>(progress.position) + progress.step;
    if (position > high) {
        position = (position - low) % (high - low) + low;
    }
    if (position < low) {
        position = (position - low) % (high - low) + high;
    }
    progress.position = static_cast<int>(position);
    return previous;
}

int FilledLength(const ProgressPosition &progress, int length) {
    const long long span = static_cast<long long>(progress.high) - progress.low;
    if (span <= 0 || length <= 0) {
        return 0;
    }
    // Both factors stay below 2^32 and 2^31, so the product fits.
    const long long done =
        std::clamp<long long>(static_cast<long long>(progress.position) - progress.low, 0, span);
    return static_cast<int>((done * length + span / 2) / span);
}
