// Font files found through fontconfig and opened once with FreeType. Every FreeType call in the
// process runs under TextLock(), since a FreeType library and its faces are not thread-safe.
#ifndef PLATFORM_ENGINE_FONT_FACES_H
#define PLATFORM_ENGINE_FONT_FACES_H

#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
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
// finds no font at all. The caller holds TextLock().
FaceFile ResolveFace(const std::string &family, bool bold, bool italic);

// The opened face for a file, kept for the life of the process; null when FreeType cannot open
// it. The caller holds TextLock().
FT_Face OpenFace(const FaceFile &file);

std::mutex &TextLock();

#endif
