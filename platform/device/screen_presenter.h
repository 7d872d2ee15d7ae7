// Showing the device's screen through a display, only when it changed, so that an idle device
// costs no redraws.
#ifndef PLATFORM_DEVICE_SCREEN_PRESENTER_H
#define PLATFORM_DEVICE_SCREEN_PRESENTER_H

#include "drivers/display_driver.h"

#include <vector>

struct Machine;

// Where each booted machine's screen sits in what a display shows: the device first, the PC to
// its right, a gap between them.
struct ScreenPlace {
    Machine *machine;
    int left;
    int width;
    int height;
};
std::vector<ScreenPlace> ScreenPlaces();
// The size of what is shown: every screen side by side.
void ShownSize(int &width, int &height);
// The machine whose screen holds a point of what is shown, and the point on that screen; null in
// the gap or outside.
Machine *MachineAtShownPoint(int x, int y, int &screenX, int &screenY);
// A point of what is shown, on the screen of that machine wherever it lies (a stylus dragged off
// the screen it went down on); false when the machine is not shown.
bool ShownPointOnMachine(Machine *machine, int x, int y, int &screenX, int &screenY);

// The smallest box holding every pixel in which the two differ; the whole of after when their
// sizes differ. False when they are the same.
bool ChangedBox(const Surface &before, const Surface &after, Box &changed);

class ScreenPresenter {
  public:
    explicit ScreenPresenter(const DisplayDriver &display) : display(display) {}
    // Presents what a person would see (each machine's screen, with the wait cursor over it while
    // one is shown) when it differs from the frame presented last. True when it presented.
    bool Present();

  private:
    const DisplayDriver &display;
    Surface shown;
};

#endif
