// Putting the product onto a booted device as its installation would: the device files under
// \Program Files\Pennakey with the layouts beside them, the help file in \Windows, and the
// registry key with "InstDir".
#ifndef PLATFORM_DEVICE_PRODUCT_INSTALL_H
#define PLATFORM_DEVICE_PRODUCT_INSTALL_H

#include <string>

// The device folder of the product, as the keyboard's "InstDir" names it.
extern const char16_t productFolder[];

// Copies every file of the host folder distFolder (the build's device distribution) but the
// platform's own library. False, with the reason, when a file cannot be copied or the registry
// cannot be written.
bool InstallProduct(const std::string &distFolder, std::string &error);

// The device distribution beside the running program (its folder's device/), or empty.
std::string DefaultProductFolder();

#endif
