#include "layodex_internal.h"

// Drawing faces needs a face context made from a host's device context, which comes with the
// drawing engine. Until then no key gets a drawn face, and hosts show such keys without one.
HBITMAP RenderKeyFace(const WCHAR *text, int style, int width, int height) {
    (void)text;
    (void)style;
    (void)width;
    (void)height;
    return NULL;
}
