#include "reader_report.h"

static ReaderReportProc ReportProc;
static void *ReportContext;

void SetReaderReport(ReaderReportProc proc, void *context) {
    ReportProc = proc;
    ReportContext = context;
}

void ReportDropped(const WCHAR *where, const char *reason) {
    if (ReportProc != NULL)
        ReportProc(ReportContext, where, reason);
}
