#pragma once
// The executable image build as both faces run it: the settings a project
// holds, with the image build window's defaults, and the packer's command line.
#include <string>

struct ImageSettings {
    std::wstring title, input, output, icon;  // the paths absolute; no icon: empty
};

// The settings of section PEX of `projectFile`, whose folder is `projectDir`:
// each stored path made absolute; without a title, the project's name;
// without an input, the first source file's name with ".srf"; without an
// output, the input's name with ".pex"; without an icon, none.
ImageSettings LoadImageSettings(const std::wstring& projectFile, const std::wstring& projectDir);

// The packer's command line for the texts of the four settings. A text with a
// blank, tab or double quote is quoted so that the packer gets it back exactly;
// every other text goes in as it is.
std::wstring PackerCommandLine(const std::wstring& title, const std::wstring& input,
                               const std::wstring& output, const std::wstring& icon);
