#pragma once
// INI操作: profile entries over the platform's ANSI profile functions. Nothing
// here writes a profile file's text itself.
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The entry's value, or `def` when the file, section or key is absent.
// Values are read whole, however long.
std::wstring ReadIniValue(const std::wstring& section, const std::wstring& key,
                          const std::wstring& def, const std::wstring& file);

// Writes the entry; the empty text removes it. A refused write is shown to the
// user (the file's path, then "への書き込みに失敗しました") in a box over
// `owner` and reported as false.
bool WriteIniValue(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value, const std::wstring& file, HWND owner = nullptr);

// The file that the profile functions open for `file`: a bare file name lies
// in the Windows folder, and the platform drops trailing blanks and dots.
// Empty when the full path does not fit MAX_PATH.
std::string ProfilePath(const std::wstring& file);

// Named sections of one profile file, each read in one platform call when
// the object is made and written back in one. Every profile call reads the
// file again (at once when it changed in the last seconds) and every write
// rewrites it, so a list of many entries taken one entry at a time costs time
// in the square of its length. Reads and changes are those of ReadIniValue
// and WriteIniValue on each entry, and so are the bytes that Write leaves.
class IniSections {
public:
    // The first section of each name, as the platform lists it. `owner` is
    // the window over which a refused write is shown.
    IniSections(const std::wstring& file, std::initializer_list<const wchar_t*> sections,
                HWND owner = nullptr);

    // What ReadIniValue gives for the entry, changes made by Set included.
    std::wstring Value(const std::wstring& section, const std::wstring& key,
                       const std::wstring& def) const;

    // Leaves the entry as WriteIniValue would: replaced in place, added at the
    // end of its section, or removed by the empty text. False after the box of
    // a refused write.
    bool Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);

    // Writes the section when Set changed it. False after the box of a refused write.
    bool Write(const std::wstring& section);

private:
    struct Entry {
        std::wstring name;
        std::optional<std::wstring> value;  // none: a line without "="
        bool removed = false;
    };
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
        // The entries of each name, lower-cased, in file order: the platform takes the first.
        std::unordered_map<std::wstring, std::vector<size_t>> byName;
        bool exact = true;  // a whole write gives the bytes of writing entry by entry
        bool changed = false;
    };

    void DecideExactness();

    std::wstring file_;
    HWND owner_;
    DWORD size_ = 0;  // of the file when read: a first measure for the platform's buffers
    std::unordered_map<std::wstring, Section> sections_;  // by lower-cased name
    bool decided_ = false;  // at the first Set, before anything is written
};
