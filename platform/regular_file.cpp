#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

FileStatus Failed(FileOutcome outcome, int error = 0) {
    return FileStatus{outcome, error};
}

int WriteAll(int fd, const uint8_t* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t put = write(fd, data + done, size - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return 0;
        }
        done += static_cast<size_t>(put);
    }
    return 1;
}

template <typename Container>
FileStatus ReadInto(const char* path, size_t maxBytes, Container* bytes, bool followLinks) {
    bytes->clear();
    FileHandle file;
    uint64_t size = 0;
    FileStatus status = OpenRegularFile(path, followLinks, &file, &size);
    if (status.outcome != kFileOk) {
        return status;
    }
    if (size > maxBytes) {
        return Failed(kFileTooLarge);
    }
    // The file may grow while it is read: the bound holds for what is read.
    bytes->reserve(static_cast<size_t>(size));
    char buffer[65536];
    for (;;) {
        ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return Failed(kFileUnreadable, errno);
        }
        if (got == 0) {
            return FileStatus{};
        }
        if (bytes->size() + static_cast<size_t>(got) > maxBytes) {
            bytes->clear();
            return Failed(kFileTooLarge);
        }
        bytes->insert(bytes->end(), buffer, buffer + got);
    }
}

mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

FileStatus OpenRegularFile(const char* path, bool followLinks, FileHandle* file, uint64_t* size) {
    file->Reset();
    if (path == nullptr || path[0] == '\0') {
        return Failed(kFileAbsent, ENOENT);
    }
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
    FileHandle opened(open(path, flags));
    if (!opened.valid()) {
        int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return Failed(kFileAbsent, error);
        }
        return Failed(error == ELOOP && !followLinks ? kFileLink : kFileUnreadable, error);
    }
    struct stat info;
    if (fstat(opened.get(), &info) != 0) {
        return Failed(kFileUnreadable, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return Failed(kFileNotRegular);
    }
    // Reads of a regular file never wait; the flag is cleared anyway so
    // that nothing later mistakes a short read for the end.
    fcntl(opened.get(), F_SETFL, fcntl(opened.get(), F_GETFL) & ~O_NONBLOCK);
    if (size != nullptr) {
        *size = static_cast<uint64_t>(info.st_size);
    }
    *file = std::move(opened);
    return FileStatus{};
}

FileStatus ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes,
                         bool followLinks) {
    return ReadInto(path, maxBytes, bytes, followLinks);
}

FileStatus ReadWholeFile(const char* path, size_t maxBytes, std::string* text, bool followLinks) {
    return ReadInto(path, maxBytes, text, followLinks);
}

FileStatus WriteFileReplacing(const char* path, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    struct stat info;
    bool exists = lstat(path, &info) == 0;
    if (exists && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        // A device or a pipe named as the output: write into it, as a shell
        // redirection would; it is never replaced or removed.
        if (S_ISDIR(info.st_mode)) {
            return Failed(kFileNotRegular);
        }
        FileHandle out(open(path, O_WRONLY | O_CLOEXEC | O_NOCTTY));
        if (!out.valid()) {
            return Failed(kFileUnwritable, errno);
        }
        if (!WriteAll(out.get(), bytes, size)) {
            return Failed(kFileUnwritable, errno);
        }
        return out.Close() ? FileStatus{} : Failed(kFileUnwritable, errno);
    }
    mode_t mode = NewFileMode();
    if (exists && stat(path, &info) == 0 && S_ISREG(info.st_mode)) {
        mode = info.st_mode & 07777;
    }
    std::string temporary = std::string(path) + ".XXXXXX";
    FileHandle out(mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.valid()) {
        return Failed(kFileUnwritable, errno);
    }
    int error = 0;
    if (fchmod(out.get(), mode) != 0 || !WriteAll(out.get(), bytes, size) ||
        fsync(out.get()) != 0) {
        error = errno;
    } else if (!out.Close()) {
        error = errno;
    } else if (rename(temporary.c_str(), path) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.c_str());  // only the file made here
        return Failed(kFileUnwritable, error);
    }
    return FileStatus{};
}

std::string FileProblem(const FileStatus& status, const std::string& path) {
    const std::string reason = status.error != 0 ? std::strerror(status.error) : "";
    switch (status.outcome) {
        case kFileOk:
            return "";
        case kFileAbsent:
            return path + " does not exist";
        case kFileNotRegular:
            return path + " is not a regular file";
        case kFileLink:
            return path + " is a symbolic link";
        case kFileTooLarge:
            return path + " is too large";
        case kFileUnreadable:
            return "cannot read " + path + (reason.empty() ? "" : ": " + reason);
        case kFileUnwritable:
            return "cannot write " + path + (reason.empty() ? "" : ": " + reason);
    }
    return "cannot use " + path;
}
