// Stands in for a device library of another version: the open and close calls
// are there, the operations the device tool needs are not.
extern "C" int __stdcall ismInit() { return 0; }
extern "C" int __stdcall ismExit() { return 0; }
