// pennakey-package ppc|hpc DEVICE_DIST OUTPUT.cab: the product's installation package for a
// Pocket PC or a Handheld PC, from the device distribution folder.
#include "product_package.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    if (argc != 4 || (strcmp(argv[1], "ppc") != 0 && strcmp(argv[1], "hpc") != 0)) {
        fprintf(stderr, "usage: pennakey-package ppc|hpc DEVICE_DIST OUTPUT.cab\n");
        return 2;
    }
    const DeviceKind kind =
        strcmp(argv[1], "ppc") == 0 ? DeviceKind::PocketPc : DeviceKind::HandheldPc;
    std::vector<CabMember> members;
    std::string error;
    if (!ProductMembers(kind, argv[2], members, error) || !WriteCabinet(argv[3], members, error)) {
        fprintf(stderr, "pennakey-package: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
