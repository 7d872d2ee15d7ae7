#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kbi.h"
#include "layodex_internal.h"
#include "layout_file.h"
#include "reader_report.h"

// Sections are looked for as the library looks for them, from each header on, so a key line
// can be read more than once: problems are gathered, sorted and told once each.
typedef struct CheckProblem {
    const WCHAR *where;
    const char *reason;
} CheckProblem;

typedef struct CheckReport {
    const LayoutText *text;
    CheckProblem *problems;
    int count;
    int capacity;
} CheckReport;

#define BYTE_ORDER_MARK 0xFEFF

// A byte-order mark opening the file is no text before a header: the library ignores it too.
static BOOL StartsLine(const LayoutText *text, const WCHAR *where) {
    const WCHAR *lineStart = text->start;
    if (lineStart < text->end && *lineStart == BYTE_ORDER_MARK)
        lineStart++;
    while (where > lineStart && IsLayoutSpace(where[-1]) && !IsLineEnd(where[-1]))
        where--;
    return where <= lineStart || IsLineEnd(where[-1]);
}

static void AddProblem(CheckReport *report, const WCHAR *where, const char *reason) {
    if (report->count == report->capacity) {
        int grown = report->capacity == 0 ? 16 : report->capacity * 2;
        CheckProblem *problems = (CheckProblem *)LocalAlloc(LPTR, grown * sizeof(CheckProblem));
        if (problems == NULL)
            return;
        if (report->problems != NULL) {
            memcpy(problems, report->problems, report->count * sizeof(CheckProblem));
            LocalFree(report->problems);
        }
        report->problems = problems;
        report->capacity = grown;
    }
    report->problems[report->count].where = where;
    report->problems[report->count].reason = reason;
    report->count++;
}

static void CollectProblem(void *context, const WCHAR *where, const char *reason) {
    CheckReport *report = (CheckReport *)context;
    // Any "[" is tried as a header; only one that begins a line was meant as one.
    if (*where == '[' && !StartsLine(report->text, where))
        return;
    AddProblem(report, where, reason);
}

static int CompareProblems(const void *a, const void *b) {
    const WCHAR *left = ((const CheckProblem *)a)->where;
    const WCHAR *right = ((const CheckProblem *)b)->where;
    return left < right ? -1 : left > right ? 1 : 0;
}

static void PrintProblems(const char *fileName, const LayoutText *text, CheckReport *report) {
    if (report->count == 0)
        return;
    qsort(report->problems, report->count, sizeof(CheckProblem), CompareProblems);
    int line = 1, column = 1;
    const WCHAR *scanned = text->start;
    for (int i = 0; i < report->count; i++) {
        const CheckProblem *problem = &report->problems[i];
        if (i > 0 && problem->where == problem[-1].where)
            continue;
        for (; scanned < problem->where; scanned++) {
            BOOL crAlone = *scanned == '\r' && (scanned + 1 == text->end || scanned[1] != '\n');
            if (*scanned == '\n' || crAlone) {
                line++;
                column = 1;
            } else if (*scanned != '\r') {
                column++;
            }
        }
        printf("%s:%d:%d: %s\n", fileName, line, column, problem->reason);
    }
}

int CheckCommand(const char *fileName) {
    LayoutFile file;
    if (!OpenLayoutFile(fileName, &file)) {
        fprintf(stderr, "kbi: cannot read %s\n", fileName);
        return 2;
    }
    CheckReport report = {&file.text, NULL, 0, 0};
    SetReaderReport(CollectProblem, &report);
    int sections = 0;
    SectionHeader header;
    const WCHAR *cursor = file.text.start;
    while (FindNextHeader(&file.text, cursor, &header)) {
        sections++;
        if (!StartsLine(&file.text, header.bracket))
            AddProblem(&report, header.bracket, "section header inside a line");
        Element *keys = ReadSectionKeys(&file.text, header.keysStart, NULL);
        ReleaseUnresolvedKeyList(&keys);
        cursor = header.keysStart;
    }
    SetReaderReport(NULL, NULL);
    PrintProblems(fileName, &file.text, &report);
    int problems = report.count;
    if (report.problems != NULL)
        LocalFree(report.problems);
    CloseLayoutFile(&file);

    if (sections == 0) {
        printf("%s: no section header\n", fileName);
        return 1;
    }
    return problems == 0 ? 0 : 1;
}
