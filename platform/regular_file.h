#pragma once

// Reading and writing whole files without ever waiting on a special file.
//
// Every file the programs read is opened with O_NONBLOCK | O_CLOEXEC and
// checked with fstat to be a regular file before a byte is read, so a FIFO,
// a device or a socket at a path is refused at once instead of blocking or
// pouring endless bytes; every whole-file read is bounded by the largest
// file its format can have. Outputs are written to a temporary file beside
// the path and renamed into place when complete, so a failed write leaves
// what was there before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_handle.h"

enum FileOutcome {
    kFileOk = 0,
    kFileAbsent,      // no such file
    kFileNotRegular,  // a folder, FIFO, device or socket
    kFileLink,        // a symbolic link where links are refused
    kFileTooLarge,    // larger than the bound the reader gave
    kFileUnreadable,  // any other failure to open or read (errno kept)
    kFileUnwritable,  // creating, writing, flushing or renaming failed (errno kept)
};

struct FileStatus {
    FileOutcome outcome = kFileOk;
    int error = 0;  // errno of the failing call, when there was one
};

// Opens a regular file for reading. With `followLinks` false a symbolic
// link at the path is refused. The handle is open only when the outcome is
// kFileOk; `size` receives the file's size then.
FileStatus OpenRegularFile(const char* path, bool followLinks, FileHandle* file,
                           uint64_t* size = nullptr);

// Reads a whole regular file of at most `maxBytes` bytes.
FileStatus ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes,
                         bool followLinks = true);
FileStatus ReadWholeFile(const char* path, size_t maxBytes, std::string* text,
                         bool followLinks = true);

// Replaces the file at `path` with `size` bytes: written to a temporary file
// made exclusively beside it, flushed, renamed over the path. On failure the
// temporary file is removed and the path keeps what it held. A path that
// holds something other than a regular file or a link (a device, a FIFO) is
// written in place instead, never replaced or removed. A new file gets the
// mode 0666 less the umask, a replaced one keeps its mode.
FileStatus WriteFileReplacing(const char* path, const void* data, size_t size);

// One line for a person: "PATH is not a regular file", "cannot read PATH:
// Permission denied", ...
std::string FileProblem(const FileStatus& status, const std::string& path);
