// The layout files of the search directory and the sections each holds. The sections of a file
// are remembered from one library call to the next while the directory lists the file with the
// same size and time. A text is read when the file is first listed or a section's keys are
// wanted. The texts a listing reads are kept through the next call, which most often wants keys
// from one of them (a program asks for the catalogue, then loads a layout), up to a limit in all;
// a small text is kept for as long as keys are read from it.
#ifndef LAYODEX_LAYOUT_SCAN_H
#define LAYODEX_LAYOUT_SCAN_H

#include "layout_file.h"
#include "name_index.h"

// What the texts one listing reads may hold in all, in listing order; a folder of many large
// layouts has the rest read again when their keys are wanted.
#define LISTED_TEXTS_LIMIT (512 * 1024)

typedef struct FileSection {
    WCHAR name[LAYOUT_NAME_SIZE];
    WCHAR label[LAYOUT_LABEL_SIZE];
    WCHAR subName[LAYOUT_NAME_SIZE];
    INT number;
    size_t keysOffset; // where the first key line starts, in characters from the text's start
    // Read once while the file's text is kept, so that each load only makes the keys.
    KeyLine *lines;
    int lineCount;
    BOOL linesRead;
} FileSection;

typedef struct ScannedFile {
    PATHCHAR path[MAX_PATH];
    DWORD sizeHigh;
    DWORD sizeLow;
    FILETIME written;
    FileSection *sections; // in file order
    int sectionCount;
    NameIndex sectionsByName; // by name and sub-name; built when first asked
    BOOL textRead;
    BOOL keysRead;   // from the text, at some call: a small text is then kept
    BOOL textListed; // read by this call's listing: a small text is kept through the next call
    LayoutFile file; // while textRead
} ScannedFile;

// The files in directory listing order; directories and files that cannot be read are left
// out. Ends with a NULL entry.
ScannedFile **ScanLayoutFiles(void);
// The text of a file of the current scan; NULL when it can no longer be read. A file found
// changed since the scan has its sections found again from the text now read.
const LayoutText *ReadScannedText(ScannedFile *file);
DWORD HashSectionName(const WCHAR *name, const WCHAR *subName);
// The file's sections of that name and sub-name, in file order, as entries of sectionsByName;
// -1 ends them. FALSE when memory for the index ran out.
int FirstSectionNamed(ScannedFile *file, DWORD hash);
int NextSectionNamed(const ScannedFile *file, int entry);
// The keys of a section of a file whose text was read in this call.
Element *ReadKeysOfSection(ScannedFile *file, FileSection *section);
// Ends the call: the sections stay, and the small texts that keys were read from or that this
// call's listing read.
void EndLayoutScan(void);
// Forgets every file, for a library that is going away.
void ForgetLayoutFiles(void);

#endif
