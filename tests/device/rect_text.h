// A rectangle as "left,top,right,bottom", for comparing places in one expectation.
#ifndef TESTS_DEVICE_RECT_TEXT_H
#define TESTS_DEVICE_RECT_TEXT_H

#include <string>

#include <windows.h>

inline std::string Describe(const RECT &rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

#endif
