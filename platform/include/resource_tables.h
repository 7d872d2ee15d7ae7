// The resources a program or DLL carries, as its resources.cpp hands them to the platform:
//
//     static const RESOURCE_ENTRY resources[] = {
//         {RT_GROUP_ICON, MAKEINTRESOURCEW(1), res_app_ico, res_app_icoSize},
//         {RT_BITMAP, u"KEYS", res_keys_bmp, res_keys_bmpSize},
//     };
//     static const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));
//
// The names are wide: build the file with UNICODE, or use MAKEINTRESOURCEW ids throughout. The
// bytes come from pennakey_embed_files (cmake/EmbedResources.cmake).
#ifndef PLATFORM_RESOURCE_TABLES_H
#define PLATFORM_RESOURCE_TABLES_H

#include "windows.h"

// One resource: its type and name, each a MAKEINTRESOURCEW id or a string, and its bytes. All of
// it must live as long as the module does, as the module's own constant data does.
typedef struct RESOURCE_ENTRY {
    LPCWSTR type;
    LPCWSTR name;
    const void *data;
    DWORD size;
} RESOURCE_ENTRY;

// Called from a global initializer of the module that holds the table: the module is found from
// the table's own address, and the table is dropped when the module is unloaded. FALSE with
// ERROR_INVALID_PARAMETER for an empty table or an entry without a type, a name or (for a size
// above 0) its bytes, and with ERROR_INVALID_ADDRESS for a table that lies in no module.
WINBASEAPI BOOL WINAPI RegisterModuleResources(const RESOURCE_ENTRY *entries, UINT count);

#endif
