// Putting the product onto a booted device from its installation package, as a user would: the
// device's installer runs the package and the layouts are copied in when it asks for them. The
// result is a real installation, which \Windows\unload.exe removes.
#ifndef PLATFORM_DEVICE_PRODUCT_INSTALL_H
#define PLATFORM_DEVICE_PRODUCT_INSTALL_H

#include <string>

// The device folder of the product, as the keyboard's "InstDir" names it.
extern const char16_t productFolder[];

// Installs the package for the device's platform from distFolder (the build's desktop
// distribution) with every layout found there. False, with the reason and what the device shows,
// when the installation does not finish.
bool InstallProduct(const std::string &distFolder, std::string &error);

// The desktop distribution beside the running program (its folder's desktop/), or empty.
std::string DefaultProductFolder();

#endif
