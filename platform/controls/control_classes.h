// The standard controls every program can create by class name; each registers its class with
// the window system once, before any program runs.
#ifndef PLATFORM_CONTROLS_CONTROL_CLASSES_H
#define PLATFORM_CONTROLS_CONTROL_CLASSES_H

void RegisterButtonClass();
void RegisterStaticClass();
void RegisterComboBoxClass();
void RegisterEditClass();
void RegisterListBoxClass();

#endif
