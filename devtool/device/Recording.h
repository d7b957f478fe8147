#pragma once
// A recording of what the capture window shows: an animated GIF written as the
// frames come into a temporary file of its own, which goes with the recording
// (even when the program ends without a word), so a long recording takes
// disk, not memory, and leaves nothing behind.
#include "Gif.h"
#include "Handle.h"

#include <cstdint>
#include <string>
#include <type_traits>

class Recording {
public:
    // Frames of `width` x `height`. False (see below) when the temporary
    // folder takes no new file.
    Recording(int width, int height);
    // The GIF writer writes through this object: neither copied nor moved.
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
    explicit operator bool() const { return static_cast<bool>(file_); }

    // False once the temporary file refuses a write (a full disk): the frames
    // written whole before stay in the recording.
    bool Add(const GreyFrame& frame, long long ms);
    // No frame to save: none came, or none was written whole.
    bool Empty() const { return gif_.Empty(); }
    // The last frame lasts until `ms`; after a refused write the recording
    // ends with the last frame written whole. False when no frame is there or
    // the end could not be written.
    bool Finish(long long ms);
    // Puts the finished recording in the place of the file at `path`; the old
    // file stays as it was on any failure.
    bool SaveAs(const std::wstring& path) const;

private:
    bool Write(const std::string& bytes);
    bool Cut(std::uint64_t length);
    // A recording cut by a full disk may have passed 4 GiB.
    static_assert(std::is_same_v<decltype(&Recording::Cut), bool (Recording::*)(std::uint64_t)>,
                  "the file's length needs 64 bits");

    Handle file_;
    GifAnimation gif_;
};
