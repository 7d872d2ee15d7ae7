// What the reader drops, told to whoever asked (the layout authors' checking tool); the library
// itself stays silent.
#ifndef LAYODEX_READER_REPORT_H
#define LAYODEX_READER_REPORT_H

#include "layodex.h"

typedef void (*ReaderReportProc)(void *context, const WCHAR *where, const char *reason);

void SetReaderReport(ReaderReportProc proc, void *context);
void ReportDropped(const WCHAR *where, const char *reason);

#endif
