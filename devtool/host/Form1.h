#pragma once
// The link window: it owns the conversation with the host for the life of the
// program and is never shown, so it needs no window of its own.
#include "Host.h"
#include "HostLink.h"

class Form1 {
public:
    static Form1& Instance();

    // Opens the conversation, asks for the project file and sets the two values.
    void Form_Load();
    // Ends the conversation.
    void Unload();

private:
    friend void HostMessage(const std::wstring& text);

    HostLink Text3;
};
