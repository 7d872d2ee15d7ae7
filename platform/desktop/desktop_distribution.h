// The product's desktop distribution put onto the PC as if from its CD: every file and folder of
// the distribution folder into C:\Pennakey.
#ifndef PLATFORM_DESKTOP_DESKTOP_DISTRIBUTION_H
#define PLATFORM_DESKTOP_DESKTOP_DISTRIBUTION_H

#include <string>

// Where the distribution goes on the PC.
extern const char distributionFolderOnPc[];

// Copies distFolder (the build's desktop distribution) onto the booted PC, over what an earlier
// copy left. Only files and folders are copied; links to them count as what they link to, but a
// link to a folder is not followed, so that no loop holds the copy. False, with the reason, when
// there is no PC, no such folder, or a file cannot be copied.
bool InstallDistribution(const std::string &distFolder, std::string &error);

#endif
