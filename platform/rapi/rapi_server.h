// The device's end of the cable: a listener on the loopback address that runs each request of the
// desktop's Remote API in the device's context, between the device's programs. Handles opened
// through a connection belong to it and are closed when it drops.
#ifndef PLATFORM_RAPI_RAPI_SERVER_H
#define PLATFORM_RAPI_RAPI_SERVER_H

#include <string>

// The file in the device folder that holds the port, as decimal text.
extern const char rapiPortFileName[];

// Starts listening for the device the host addresses, on a port the system chooses; false with
// the reason when no socket can be had. The port goes into the device folder.
bool StartRapiServer(std::string &error);
// The port of the addressed device's listener; 0 without one.
int RapiServerPort();
// Unplugged, the device drops every connection and takes no new ones.
void SetCablePlugged(bool plugged);
bool CablePlugged();

// Requests the device answers, counted for tests and benchmarks.
unsigned long RapiRequestsServed();

#endif
