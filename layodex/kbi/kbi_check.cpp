#include <stdio.h>

#include "kbi.h"
#include "layodex_internal.h"
#include "layout_file.h"
#include "reader_report.h"

// Turns the reader's positions into lines and columns; reports come in text order.
typedef struct CheckReport {
    const char *fileName;
    const WCHAR *scanned;
    const WCHAR *end;
    int line;
    int column;
    int problems;
} CheckReport;

static void PrintProblem(void *context, const WCHAR *where, const char *reason) {
    CheckReport *report = (CheckReport *)context;
    for (; report->scanned < where; report->scanned++) {
        WCHAR c = *report->scanned;
        BOOL crAlone =
            c == '\r' && (report->scanned + 1 == report->end || report->scanned[1] != '\n');
        BOOL lineEnd = c == '\n' || crAlone;
        if (lineEnd) {
            report->line++;
            report->column = 1;
        } else if (c != '\r') {
            report->column++;
        }
    }
    printf("%s:%d:%d: %s\n", report->fileName, report->line, report->column, reason);
    report->problems++;
}

int CheckCommand(const char *fileName) {
    MappedLayoutFile file;
    if (!OpenLayoutFile(fileName, &file)) {
        fprintf(stderr, "kbi: cannot read %s\n", fileName);
        return 2;
    }
    CheckReport report = {fileName, file.text.start, file.text.end, 1, 1, 0};
    SetReaderReport(PrintProblem, &report);

    int sections = 0;
    SectionHeader header;
    const WCHAR *cursor = file.text.start;
    while (FindNextHeader(&file.text, cursor, &header)) {
        sections++;
        Element *keys = ReadSectionKeys(&file.text, header.keysStart, &cursor);
        ReleaseUnresolvedKeyList(&keys);
    }
    SetReaderReport(NULL, NULL);
    CloseLayoutFile(&file);

    if (sections == 0) {
        printf("%s: no section header\n", fileName);
        return 1;
    }
    return report.problems == 0 ? 0 : 1;
}
