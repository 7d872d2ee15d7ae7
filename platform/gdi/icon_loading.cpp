// Icons from .ico bytes at the size asked for, LoadIcon, and the icon half of LoadImage. Shared
// icons (LoadIcon's, LR_SHARED ones, the built-in ones) are made once and kept.
#include "gdi/icon_loading.h"

#include "gdi/built_in_icons.h"
#include "gdi/icons.h"
#include "kernel/machine.h"
#include "kernel/module_resources.h"
#include "kernel/whole_files.h"

#include "engine/surface.h"

#include <map>
#include <new>
#include <string>
#include <tuple>

namespace {

// What a shared icon was made from: a built-in id, or the bytes of an .ico file; and its size.
using SharedKey = std::tuple<unsigned, std::string, int, int>;

struct SharedIcons : MachinePart {
    std::map<SharedKey, HICON> icons;
};

SharedIcons &Shared() {
    return MachineState<SharedIcons>();
}

// The shared icon made from key, made now by make if there is none yet.
template <typename Make> HICON SharedIcon(const SharedKey &key, Make make) {
    SharedIcons &shared = Shared();
    const auto found = shared.icons.find(key);
    if (found != shared.icons.end()) {
        return found->second;
    }
    HICON icon = make();
    if (icon != nullptr) {
        shared.icons.emplace(key, icon);
    }
    return icon;
}

bool SizeAllowed(int width, int height) {
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if ((width != 0 || height != 0) &&
        !SurfaceSizeAllowed(width == 0 ? 1 : width, height == 0 ? 1 : height)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    return true;
}

// The size an icon is made at: the image's own for a side of 0.
HICON MakeIcon(IconImage image, int width, int height, bool shared) {
    try {
        const int finalWidth = width != 0 ? width : image.width;
        const int finalHeight = height != 0 ? height : image.height;
        return AddIcon(ScaleIconImage(image, finalWidth, finalHeight), shared);
    } catch (const std::bad_alloc &) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HICON BuiltInIcon(LPCWSTR name, int width, int height) {
    IconImage image;
    const unsigned id =
        IS_INTRESOURCE(name) ? static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)) : 0;
    if (!BuiltInIconImage(id, image)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return SharedIcon(SharedKey{id, std::string(), width, height},
                      [&] { return MakeIcon(std::move(image), width, height, true); });
}

int SideAsked(int side, UINT flags, int metric) {
    return side == 0 && (flags & LR_DEFAULTSIZE) != 0 ? GetSystemMetrics(metric) : side;
}

} // namespace

HICON IconFromFileBytes(const unsigned char *data, size_t size, int width, int height,
                        bool shared) {
    if (!SizeAllowed(width, height)) {
        return nullptr;
    }
    if (data == nullptr) {
        SetLastError(ERROR_FILE_INVALID);
        return nullptr;
    }
    const auto make = [&]() -> HICON {
        IconImage image;
        const int nearWidth = width != 0 ? width : GetSystemMetrics(SM_CXICON);
        const int nearHeight = height != 0 ? height : GetSystemMetrics(SM_CYICON);
        if (!DecodeIconFile(data, size, nearWidth, nearHeight, image)) {
            SetLastError(ERROR_FILE_INVALID);
            return nullptr;
        }
        return MakeIcon(std::move(image), width, height, shared);
    };
    if (!shared) {
        return make();
    }
    return SharedIcon(
        SharedKey{0, std::string(reinterpret_cast<const char *>(data), size), width, height}, make);
}

HICON LoadIconImage(HINSTANCE instance, LPCWSTR name, int width, int height, UINT flags) {
    width = SideAsked(width, flags, SM_CXICON);
    height = SideAsked(height, flags, SM_CYICON);
    if (!SizeAllowed(width, height)) {
        return nullptr;
    }
    if (instance == nullptr) {
        return BuiltInIcon(name, width, height);
    }
    ResourceBytes bytes;
    if (!FindModuleResource(instance, GroupIconResourceType(), name, bytes)) {
        return nullptr;
    }
    return IconFromFileBytes(bytes.data, bytes.size, width, height, (flags & LR_SHARED) != 0);
}

HICON LoadIconImageFile(HANDLE file, int width, int height, UINT flags) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, maxIconFileBytes, bytes)) {
        return nullptr;
    }
    return IconFromFileBytes(bytes.data(), bytes.size(), SideAsked(width, flags, SM_CXICON),
                             SideAsked(height, flags, SM_CYICON), false);
}

extern "C" HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadIconImage(instance, name, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
}

extern "C" HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadIconW(instance, WideResourceName(name).Get());
}
