// Showing the device's screen through a display, only when it changed, so that an idle device
// costs no redraws.
#ifndef PLATFORM_DEVICE_SCREEN_PRESENTER_H
#define PLATFORM_DEVICE_SCREEN_PRESENTER_H

#include "drivers/display_driver.h"

// The smallest box holding every pixel in which the two differ; the whole of after when their
// sizes differ. False when they are the same.
bool ChangedBox(const Surface &before, const Surface &after, Box &changed);

class ScreenPresenter {
  public:
    explicit ScreenPresenter(const DisplayDriver &display) : display(display) {}
    // Presents what a person would see (the screen, with the wait cursor over it while one is
    // shown) when it differs from the frame presented last. True when it presented.
    bool Present();

  private:
    const DisplayDriver &display;
    Surface shown;
};

#endif
