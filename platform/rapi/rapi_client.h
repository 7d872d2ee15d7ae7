// The desktop's end of the cable: where it finds the device.
#ifndef PLATFORM_RAPI_RAPI_CLIENT_H
#define PLATFORM_RAPI_RAPI_CLIENT_H

#include <string>

// The device's port on the loopback address; 0 takes the port of the device in this run.
void SetRapiPort(int port);
// The port a device running from that folder wrote there; 0 when there is none.
int RapiPortOfDeviceFolder(const std::string &folder);
// The device's windows as its scripts list them; false when the cable failed.
bool DescribeDeviceWindows(std::string &list);

#endif
