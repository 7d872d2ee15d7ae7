// The programs a device has before anything is installed.
#include "kernel/scheduler.h"
#include "shell/shell.h"

void RegisterShellPrograms() {
    RegisterBuiltInProgram(u"\\Windows\\explorer.exe", ExplorerMain);
    RegisterBuiltInProgram(u"\\Windows\\notes.exe", NotesMain);
    RegisterBuiltInProgram(u"\\Windows\\peghelp.exe", HelpViewerMain);
}
