// The progress bar ("msctls_progress32"), a common control: a program has its class only once
// it has called InitCommonControls or InitCommonControlsEx.
#ifndef PLATFORM_CONTROLS_PROGRESS_BAR_H
#define PLATFORM_CONTROLS_PROGRESS_BAR_H

// Registers the class for the calling program, if it has not got it yet.
void RegisterProgressBarClass();

#endif
