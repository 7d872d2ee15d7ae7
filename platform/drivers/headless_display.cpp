// The display of a device nobody watches. Screenshots come from the automation interface.
#include "drivers/display_driver.h"

namespace {

bool Open(int width, int height, int scale) {
    return width > 0 && height > 0 && scale > 0;
}

void Close() {}

void Present(const Surface &, const Box &) {}

bool Poll(DisplayEvent &) {
    return false;
}

} // namespace

const DisplayDriver headlessDisplay = {Open, Close, Present, Poll};
