#include "Ini.h"

#include "Ansi.h"
#include "Handle.h"
#include "LazyProc.h"
#include "MsgBox.h"

#include <algorithm>
#include <cstring>

namespace {
using GetProfileFn = decltype(&GetPrivateProfileStringA);
using WriteProfileFn = decltype(&WritePrivateProfileStringA);
using GetSectionFn = decltype(&GetPrivateProfileSectionA);
using GetSectionNamesFn = decltype(&GetPrivateProfileSectionNamesA);
using WriteSectionFn = decltype(&WritePrivateProfileSectionA);

LazyProc<GetProfileFn> getPrivateProfileString("kernel32.dll", "GetPrivateProfileStringA");
LazyProc<WriteProfileFn> writePrivateProfileString("kernel32.dll", "WritePrivateProfileStringA");
LazyProc<GetSectionFn> getPrivateProfileSection("kernel32.dll", "GetPrivateProfileSectionA");
LazyProc<GetSectionNamesFn> getPrivateProfileSectionNames("kernel32.dll",
                                                          "GetPrivateProfileSectionNamesA");
LazyProc<WriteSectionFn> writePrivateProfileSection("kernel32.dll", "WritePrivateProfileSectionA");

bool Refused(const std::wstring& file, HWND owner)
{
    MsgBox(owner, file + L"\r" + L"への書き込みに失敗しました", MB_ICONEXCLAMATION | MB_OK);
    return false;
}

// A list of texts, each ending in NUL and the list in an empty one, as the
// platform fills it. The platform cuts a list to the buffer and then returns
// size - 2: a longer buffer is tried until the list fits. `first` should fit,
// since each call may read the whole file again.
template <typename Fill>
std::vector<std::wstring> ReadList(DWORD first, Fill fill)
{
    for (DWORD size = std::max<DWORD>(first, 1u << 12);; size *= 2) {
        std::vector<char> buffer(size, '\0');
        if (fill(buffer.data(), size) >= size - 2 && size < (1u << 28)) continue;
        size_t end = 0;
        while (end < size && buffer[end] != '\0') {
            const void* nul = std::memchr(&buffer[end], 0, size - end);
            end = nul ? static_cast<const char*>(nul) - buffer.data() + 1 : size;
        }
        const std::wstring all = FromAnsi(std::string(buffer.data(), end));
        std::vector<std::wstring> texts;
        for (size_t at = 0; at < all.size();) {
            const size_t nul = std::min(all.find(L'\0', at), all.size());
            texts.push_back(all.substr(at, nul - at));
            at = nul + 1;
        }
        return texts;
    }
}

// Names match without regard to case, as the platform compares them.
std::wstring Folded(std::wstring name)
{
    if (!name.empty()) CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

// True when the file may hold a comment line, which no profile call lists:
// it holds a ";", or it cannot be read.
bool MayHoldComments(const std::string& path)
{
    if (path.empty()) return true;
    const Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    char chunk[1u << 16];
    for (DWORD got; ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr);) {
        if (got == 0) return false;
        if (std::memchr(chunk, ';', got)) return true;
    }
    return true;
}
}  // namespace

std::wstring ReadIniValue(const std::wstring& section, const std::wstring& key,
                          const std::wstring& def, const std::wstring& file)
{
    const GetProfileFn get = getPrivateProfileString.get();
    if (!get) return def;
    const std::string s = ToAnsi(section), k = ToAnsi(key), d = ToAnsi(def), f = ToAnsi(file);
    // The platform cuts a value to the buffer and then returns size - 1: a
    // longer buffer is tried until the value fits, so nothing stored is lost.
    for (DWORD size = 256;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        DWORD copied = get(s.c_str(), k.c_str(), d.c_str(), buffer.data(), size, f.c_str());
        if (copied < size - 1 || size >= (1u << 24))
            return FromAnsiBuffer(buffer.data(), buffer.size());
    }
}

bool WriteIniValue(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value, const std::wstring& file, HWND owner)
{
    const WriteProfileFn write = writePrivateProfileString.get();
    const std::string s = ToAnsi(section), k = ToAnsi(key), v = ToAnsi(value), f = ToAnsi(file);
    // No string at all, not an empty one, makes the platform delete the entry.
    const char* text = value.empty() ? nullptr : v.c_str();
    if (write && write(s.c_str(), k.c_str(), text, f.c_str())) return true;
    return Refused(file, owner);
}

std::string ProfilePath(const std::wstring& file)
{
    std::string name = ToAnsi(file);
    if (file.find_first_of(L"\\/") == std::wstring::npos) {
        char windows[MAX_PATH + 1] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        name = std::string(windows) + "\\" + name;
    }
    char full[MAX_PATH + 1] = {};
    if (GetFullPathNameA(name.c_str(), sizeof full, full, nullptr) >= sizeof full) return {};
    return full;
}

IniSections::IniSections(const std::wstring& file, std::initializer_list<const wchar_t*> sections,
                         HWND owner)
    : file_(file), owner_(owner)
{
    // The text the platform lists is no longer than the file: a line loses its
    // line end and gains one NUL, and the list one more.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(ProfilePath(file).c_str(), GetFileExInfoStandard, &data) &&
        data.nFileSizeHigh == 0 && data.nFileSizeLow < (1u << 28))
        size_ = data.nFileSizeLow + 2;
    const GetSectionFn get = getPrivateProfileSection.get();
    const std::string f = ToAnsi(file);
    for (const wchar_t* name : sections) {
        Section& section = sections_[Folded(name)];
        section.name = name;
        if (!get) continue;
        const std::string s = ToAnsi(name);
        for (const std::wstring& line : ReadList(size_, [&](char* buffer, DWORD size) {
                 return get(s.c_str(), buffer, size, f.c_str());
             })) {
            const size_t equals = line.find(L'=');
            Entry entry{line.substr(0, equals), std::nullopt};
            if (equals != std::wstring::npos) entry.value = line.substr(equals + 1);
            section.byName[Folded(entry.name)].push_back(section.entries.size());
            section.entries.push_back(std::move(entry));
        }
    }
}

std::wstring IniSections::Value(const std::wstring& section, const std::wstring& key,
                                const std::wstring& def) const
{
    const Section& s = sections_.at(Folded(section));
    const auto found = s.byName.find(Folded(key));
    if (found == s.byName.end() || found->second.empty()) return def;
    const std::optional<std::wstring>& value = s.entries[found->second.front()].value;
    if (!value) return def;
    // The platform drops one pair of like quotes around a value.
    const std::wstring& v = *value;
    if (v.size() >= 2 && (v[0] == L'"' || v[0] == L'\'') && v.back() == v[0])
        return v.substr(1, v.size() - 2);
    return v;
}

bool IniSections::Set(const std::wstring& section, const std::wstring& key,
                      const std::wstring& value)
{
    if (!decided_) DecideExactness();
    Section& s = sections_.at(Folded(section));
    std::vector<size_t>& same = s.byName[Folded(key)];
    bool change;
    if (value.empty()) {
        change = !same.empty();
        if (change) {
            s.entries[same.front()].removed = true;
            same.erase(same.begin());
        }
    } else {
        // The platform stores a value without the blanks in front of it, and
        // leaves the file alone when the value stored is already that.
        const size_t start = value.find_first_not_of(L"\t\n\v\f\r\x1a ");
        const std::wstring stored = start == std::wstring::npos ? L"" : value.substr(start);
        if (same.empty()) {
            same.push_back(s.entries.size());
            s.entries.push_back({key, stored});
            change = true;
        } else {
            std::optional<std::wstring>& old = s.entries[same.front()].value;
            change = old != stored;
            old = stored;
        }
    }
    s.changed = s.changed || change;
    return s.exact || WriteIniValue(section, key, value, file_, owner_);
}

bool IniSections::Write(const std::wstring& section)
{
    Section& s = sections_.at(Folded(section));
    if (!s.changed || !s.exact) return true;
    std::wstring text;
    for (const Entry& entry : s.entries)
        if (!entry.removed) text += entry.name + L"=" + *entry.value + L'\0';
    const WriteSectionFn write = writePrivateProfileSection.get();
    const std::string n = ToAnsi(s.name), t = ToAnsi(text), f = ToAnsi(file_);
    // c_str() adds the NUL that ends the list.
    if (!write || !write(n.c_str(), t.c_str(), f.c_str())) return Refused(file_, owner_);
    s.changed = false;
    return true;
}

// The whole-section calls list no comment lines and drop lines without "=",
// and a whole-section write empties every section of the name: a section with
// such neighbours is written entry by entry instead.
void IniSections::DecideExactness()
{
    decided_ = true;
    const bool comments = MayHoldComments(ProfilePath(file_));
    std::unordered_map<std::wstring, int> count;
    if (const GetSectionNamesFn names = getPrivateProfileSectionNames.get()) {
        const std::string f = ToAnsi(file_);
        for (const std::wstring& name :
             ReadList(size_, [&](char* buffer, DWORD size) { return names(buffer, size, f.c_str()); }))
            ++count[Folded(name)];
    }
    for (auto& [folded, section] : sections_) {
        section.exact = !comments && count[folded] <= 1;
        for (const Entry& entry : section.entries) section.exact = section.exact && entry.value;
    }
}
