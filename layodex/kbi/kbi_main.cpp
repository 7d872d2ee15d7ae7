#include <stdio.h>
#include <string.h>

#include "kbi.h"

static int Usage(void) {
    fprintf(stderr, "usage: kbi list [DIR]\n"
                    "       kbi show NAME [DIR]\n"
                    "       kbi check FILE\n");
    return 2;
}

int main(int argc, char **argv) {
    if (argc < 2)
        return Usage();
    const char *command = argv[1];
    if (strcmp(command, "list") == 0 && argc <= 3)
        return ListCommand(argc == 3 ? argv[2] : ".");
    if (strcmp(command, "show") == 0 && (argc == 3 || argc == 4))
        return ShowCommand(argv[2], argc == 4 ? argv[3] : ".");
    if (strcmp(command, "check") == 0 && argc == 3)
        return CheckCommand(argv[2]);
    return Usage();
}
