#pragma once
// The link window: it owns the conversation with the host for the life of the
// program and is never shown, so it needs no window of its own.
#include "HostLink.h"

#include <string>

// The project file path exactly as the host answered, and its folder. Set once
// by Form1's load step, read by the jobs.
extern std::wstring ProjectFilePath;
extern std::wstring ProjectDir;

class Form1 {
public:
    static Form1& Instance();

    // Opens the conversation, asks for the project file and sets the two values.
    void Form_Load();
    // Ends the conversation.
    void Unload();
    const HostLink& Text3() const { return text3_; }

private:
    HostLink text3_;
};
