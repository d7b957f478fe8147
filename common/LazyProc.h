#pragma once
// Platform and device library functions are bound by name at their first call,
// so a missing library shows only when one of its functions is used. A
// platform function is given the type it is declared with, decltype(&Name):
// a pointer type written out by hand that lost its WINAPI would still compile
// and leave the stack wrong after each call in a 32-bit build.
#include <windows.h>

template <typename Fn>
class LazyProc {
public:
    LazyProc(const char* library, const char* name) : library_(library), name_(name) {}

    // The function, or nullptr when the library or the name cannot be found.
    Fn get()
    {
        if (!bound_) {
            bound_ = true;
            if (HMODULE module = LoadLibraryA(library_))
                fn_ = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name_)));
        }
        return fn_;
    }

private:
    const char* library_;
    const char* name_;
    bool bound_ = false;
    Fn fn_ = nullptr;
};
