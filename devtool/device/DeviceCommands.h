#pragma once
// Module1: the device verbs. They report only through lines to the host.

// FILETRANS: copies a file the user picks into the device's flash file system.
void TransferFile();
// INFO: the device's versions, BIOS date and free flash space.
void ShowDeviceInfo();
// RUN: loads the program named after the project's first source file into the
// device, which starts it.
void RunOnDevice();
