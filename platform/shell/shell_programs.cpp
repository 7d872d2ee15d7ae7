// The programs a device has before anything is installed.
#include "install/installer_programs.h"
#include "kernel/scheduler.h"
#include "shell/shell.h"

void RegisterShellPrograms() {
    RegisterBuiltInProgram(u"\\Windows\\explorer.exe", ExplorerMain);
    RegisterBuiltInProgram(u"\\Windows\\notes.exe", NotesMain);
    RegisterBuiltInProgram(u"\\Windows\\peghelp.exe", HelpViewerMain);
    RegisterBuiltInProgram(u"\\Windows\\keyview.exe", KeyViewMain);
    RegisterBuiltInProgram(u"\\Windows\\okwindow.exe", OkWindowMain);
    RegisterBuiltInProgram(u"\\Windows\\owned.exe", OwnedWindowMain);
    RegisterBuiltInProgram(u"\\Windows\\silent.exe", SilentMain);
    RegisterBuiltInProgram(u"\\Windows\\wceload.exe", WceloadMain);
    RegisterBuiltInProgram(u"\\Windows\\unload.exe", UnloadMain);
}
