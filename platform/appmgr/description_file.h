// The application manager's description file (".ini"): [CEAppManager] names, with Component, the
// section that describes the package, whose CabFiles lists its cabinets.
//
//   [CEAppManager]
//   Version      = 1.0
//   Component    = Pennakey
//
//   [Pennakey]
//   Description  = On-screen keyboard
//   CabFiles     = Pennakey_ppc.cab,Pennakey_hpc.cab
//
// Lines end in CRLF or LF; blanks around '=', ',' and a section's name do not count, and neither
// does the case of section names and keys. A line starting with ';' is a comment. Where a key is
// given twice in a section, or a section twice, the first value counts, as Windows' profile
// functions read it. A value in quotes loses them. A line holding another control character than a
// tab is no part of the file, and a section header without its ']' ends the section before it.
#ifndef PLATFORM_APPMGR_DESCRIPTION_FILE_H
#define PLATFORM_APPMGR_DESCRIPTION_FILE_H

#include <cstddef>
#include <string>
#include <vector>

// Description files are a few lines long; a larger file is not one.
const size_t maxDescriptionFileBytes = 64 * 1024;

struct InstallDescription {
    std::string version;
    std::string component;
    std::string description; // empty when the section gives none
    // Paths relative to the description file's folder, in the file's order, none empty.
    std::vector<std::string> cabFiles;
};

enum class DescriptionFault {
    none,
    noComponent,        // [CEAppManager] or its Component is missing or empty
    noComponentSection, // the section Component names is missing
    noCabFiles,         // the component's CabFiles is missing or lists nothing
};

// Reads the file's bytes (ANSI text); what it finds goes into description even when it answers a
// fault.
DescriptionFault ReadDescriptionFile(const char *text, size_t size,
                                     InstallDescription &description);

#endif
