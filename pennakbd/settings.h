// The settings kept in the registry between runs.
#ifndef PENNAKBD_SETTINGS_H
#define PENNAKBD_SETTINGS_H

// Reads each stored value over its default; a missing key or value keeps the default.
void ReadSettings(void);
// Stores every value, when the key exists; the program never creates it.
void WriteSettings(void);

#endif
