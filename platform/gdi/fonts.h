// Fonts as GDI objects: the logical font a program asked for, realized as a scaled font the first
// time text is measured or drawn with it.
#ifndef PLATFORM_GDI_FONTS_H
#define PLATFORM_GDI_FONTS_H

#include "engine/scaled_fonts.h"
#include "gdi/gdi_objects.h"

#include <memory>

struct FontObject : GdiObject {
    explicit FontObject(const LOGFONTW &font) : logical(font) {}
    DWORD Type() const override {
        return OBJ_FONT;
    }
    int Describe(int size, void *buffer) const override;

    // The scaled font behind it, opened on first use.
    ScaledFont &Scaled();

    const LOGFONTW logical;

  private:
    std::shared_ptr<ScaledFont> scaled_;
};

// The stock SYSTEM_FONT, which every new device context starts with.
HFONT SystemFont();
// A font of the system's own (captions, the shell's programs): made once, shared by every machine
// like a stock object and never deleted.
HFONT SharedSystemFont(int height, int weight);

#endif
