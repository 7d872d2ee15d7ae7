// Font files found through fontconfig and opened once with FreeType, for the whole process: the
// host's fonts serve every machine.
#ifndef PLATFORM_ENGINE_FONT_FACES_H
#define PLATFORM_ENGINE_FONT_FACES_H

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

// The family every unknown face name, and the Windows CE system faces, resolve to.
extern const char *const fallbackFamily;

struct FaceFile {
    std::string path;
    int index = 0;
};

// The installed font file for a face name (UTF-8) and style. Names fontconfig does not know, and
// the Windows faces the programs ask for ("Tahoma", "MS Sans Serif", "System"), resolve to
// fallbackFamily, so that the same text draws the same everywhere. An empty path when fontconfig
// finds no font at all.
FaceFile ResolveFace(const std::string &family, bool bold, bool italic);

// The opened face for a file, kept for the life of the process; null when FreeType cannot open
// it.
FT_Face OpenFace(const FaceFile &file);

#endif
