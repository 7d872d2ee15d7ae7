// Surfaces as PNG files: screenshots, and the golden pictures tests compare against.
#ifndef PLATFORM_ENGINE_PNG_FILES_H
#define PLATFORM_ENGINE_PNG_FILES_H

#include "engine/surface.h"

#include <string>

// Writes surface as an 8-bit RGB PNG file. False when the surface is empty or the file cannot be
// written.
bool WriteSurfacePng(const Surface &surface, const std::string &path);

// Reads a PNG file of any format into out, composed onto black where it has alpha. False when the
// file is missing, malformed or larger than a surface may be.
bool ReadSurfacePng(const std::string &path, Surface &out);

#endif
