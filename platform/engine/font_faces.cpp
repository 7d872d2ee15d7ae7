// Finding font files through fontconfig and keeping their FreeType faces.
#include "engine/font_faces.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <tuple>

const char *const fallbackFamily = "DejaVu Sans";

namespace {

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Windows faces that no free font carries under their own name.
bool IsSystemFace(const std::string &lowercase) {
    return lowercase.empty() || lowercase == "tahoma" || lowercase == "ms sans serif" ||
           lowercase == "system" || lowercase == "ms shell dlg";
}

// Whether the matched pattern carries family among its family names: fontconfig answers every
// request with some font, and an unknown name must not become whatever it likes best.
bool HasFamily(FcPattern *pattern, const std::string &lowercase) {
    FcChar8 *name = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (Lowercase(reinterpret_cast<const char *>(name)) == lowercase) {
            return true;
        }
    }
    return false;
}

// The best match for family, or null; the caller destroys it.
FcPattern *Match(FcConfig *config, const std::string &family, bool bold, bool italic) {
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *found = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    return found;
}

FaceFile FileOf(FcPattern *pattern) {
    FaceFile file;
    FcChar8 *path = nullptr;
    if (pattern != nullptr && FcPatternGetString(pattern, FC_FILE, 0, &path) == FcResultMatch) {
        file.path = reinterpret_cast<const char *>(path);
        int index = 0;
        if (FcPatternGetInteger(pattern, FC_INDEX, 0, &index) == FcResultMatch) {
            file.index = index;
        }
    }
    return file;
}

FaceFile Resolve(FcConfig *config, const std::string &family, bool bold, bool italic) {
    if (config == nullptr) {
        return FaceFile{};
    }
    const std::string lowercase = Lowercase(family);
    if (!IsSystemFace(lowercase)) {
        FcPattern *found = Match(config, family, bold, italic);
        if (found != nullptr && HasFamily(found, lowercase)) {
            FaceFile file = FileOf(found);
            FcPatternDestroy(found);
            return file;
        }
        if (found != nullptr) {
            FcPatternDestroy(found);
        }
    }
    FcPattern *fallback = Match(config, fallbackFamily, bold, italic);
    FaceFile file = FileOf(fallback);
    if (fallback != nullptr) {
        FcPatternDestroy(fallback);
    }
    return file;
}

struct FaceCache {
    FcConfig *config = nullptr;
    bool configFailed = false;
    FT_Library library = nullptr;
    bool failed = false;
    std::map<std::tuple<std::string, bool, bool>, FaceFile> resolved;
    std::map<std::pair<std::string, int>, FT_Face> faces;
};

FaceCache &Cache() {
    // Never destroyed: fonts may still be released while the process exits.
    static FaceCache *cache = new FaceCache;
    return *cache;
}

// Fontconfig's configuration, loaded on first use and let go at exit: fontconfig keeps some of
// what it loads out of reach of leak checkers until FcFini.
FcConfig *Config() {
    FaceCache &cache = Cache();
    if (cache.config == nullptr && !cache.configFailed) {
        cache.config = FcInitLoadConfigAndFonts();
        cache.configFailed = cache.config == nullptr;
        std::atexit([] {
            if (Cache().config != nullptr) {
                FcConfigDestroy(Cache().config);
                Cache().config = nullptr;
                FcFini();
            }
            Cache().configFailed = true;
        });
    }
    return cache.config;
}

} // namespace

FaceFile ResolveFace(const std::string &family, bool bold, bool italic) {
    FaceCache &cache = Cache();
    const auto key = std::make_tuple(Lowercase(family), bold, italic);
    const auto found = cache.resolved.find(key);
    if (found != cache.resolved.end()) {
        return found->second;
    }
    FaceFile file = Resolve(Config(), family, bold, italic);
    cache.resolved.emplace(key, file);
    return file;
}

FT_Face OpenFace(const FaceFile &file) {
    FaceCache &cache = Cache();
    if (file.path.empty() || cache.failed) {
        return nullptr;
    }
    if (cache.library == nullptr && FT_Init_FreeType(&cache.library) != 0) {
        cache.failed = true;
        return nullptr;
    }
    const auto key = std::make_pair(file.path, file.index);
    const auto found = cache.faces.find(key);
    if (found != cache.faces.end()) {
        return found->second;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(cache.library, file.path.c_str(), file.index, &face) != 0) {
        face = nullptr;
    }
    cache.faces.emplace(key, face);
    return face;
}
