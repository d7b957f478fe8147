#pragma once
// What a job gets from the host: the project it works on and the one way to
// report back. The link window (Form1) keeps them; jobs need nothing else of it.
#include <string>

// The project file path exactly as the host answered, and its folder. Set once
// at start-up, read by the jobs.
extern std::wstring ProjectFilePath;
extern std::wstring ProjectDir;

// Sends `text`, unchanged, to the host as one execute; callers put the "\r\n"
// in themselves. Nothing is sent when there is no conversation.
void HostMessage(const std::wstring& text);
