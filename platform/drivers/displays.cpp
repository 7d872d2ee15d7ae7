// Which display this build and this host offer.
#include "drivers/display_driver.h"

#ifdef PENNAKEY_HAVE_SDL2
#include "drivers/sdl_viewer.h"
#endif

const DisplayDriver *FindViewer() {
#ifdef PENNAKEY_HAVE_SDL2
    return SdlViewerAvailable() ? &sdlViewer : nullptr;
#else
    return nullptr;
#endif
}
