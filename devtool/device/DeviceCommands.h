#pragma once
// Module1: the device verbs. They report only through lines to the host, and
// return what their device operation came to (answered when none was made:
// a cancelled dialog, a program not found), for a window that runs them.
#include "pieceif.h"

// FILETRANS: copies a file the user picks into the device's flash file system.
DeviceResult TransferFile();
// INFO: the device's versions, BIOS date and free flash space.
DeviceResult ShowDeviceInfo();
// RUN: loads the program named after the project's first source file into the
// device, which starts it.
DeviceResult RunOnDevice();
