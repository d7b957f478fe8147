#pragma once
// The conversion of a Vortalis project file (.vtp) into the host's project
// file (.sds) beside it, a section at a time through the profile functions.
#include <windows.h>

#include <string>

// Where the conversion writes: the VTP file's folder, its name without the
// name's own extension, then ".sds". A dot in a folder name is no extension.
std::wstring OutputPath(const std::wstring& vtpPath);

// True when writing OutputPath(vtpPath) would write into the VTP file itself:
// the two names resolve to one path (".sds" in any case, trailing blanks or
// dots the platform drops), or both are links to one file.
bool OutputIsInput(const std::wstring& vtpPath);

// What the checks before a conversion find of the path to convert, in the
// order they are made; the first that fails is the answer.
enum class VtpCheck { Ready, NoPath, NotProject, TooNew, OutputIsInput };
VtpCheck CheckVtpFile(const std::wstring& vtpPath);
// Why a file is not converted, as the user is told; empty for Ready.
std::wstring VtpCheckText(VtpCheck check);

enum class ConversionStop { None, WriteRefused, CountOutOfRange };

struct ConversionResult {
    ConversionStop stop = ConversionStop::None;
    std::wstring section;  // CountOutOfRange: the VTP section whose N does not fit
};

// Creates or updates the host project file of the VTP file at `vtpPath`,
// storing its paths relative to `vtpDir`. Entries of the output that the
// conversion does not write stay as they are. It stops at the first write the
// platform refuses (its box has been shown over `owner` by then) and
// before writing a count outside -32768 ... 32767; what was written before stays.
ConversionResult ConvertProject(const std::wstring& vtpPath, const std::wstring& vtpDir,
                                HWND owner = nullptr);

// What the user is told once a conversion has ended: that it is done, or why
// it stopped.
std::wstring ConversionEndText(const ConversionResult& result);
