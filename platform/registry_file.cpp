#include "platform/registry_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/regular_file.h"

namespace {

constexpr const char* kLockFileName = "lock";
constexpr int kLockWaitMilliseconds = 10000;

int WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t put = write(fd, text.data() + done, text.size() - done);
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

int Problem(std::string* problem, const std::string& text) {
    if (problem != nullptr) {
        *problem = text;
    }
    return 0;
}

int SystemProblem(std::string* problem, const std::string& what, int error) {
    return Problem(problem, what + ": " + std::strerror(error));
}

}  // namespace

int RegistryReadStoreText(const std::string& path, std::string* text, bool* exists,
                          std::string* problem) {
    *exists = false;
    FileStatus status = ReadWholeFile(path.c_str(), kRegistryMaxFileSize, text, false);
    if (status.outcome == kFileAbsent) {
        return 1;
    }
    *exists = true;
    if (status.outcome == kFileTooLarge) {
        return Problem(problem, path + " is too large (over 64 MiB)");
    }
    if (status.outcome != kFileOk) {
        return Problem(problem, FileProblem(status, path));
    }
    return 1;
}

int RegistryReplaceFile(const std::string& directory, const std::string& path,
                        const std::string& text, std::string* problem) {
    std::string temporary = path + ".tmp";
    // Whatever a killed writer or anyone else left at the temporary name
    // goes: unlink removes a link itself, not what it points to.
    if (unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        return SystemProblem(problem, "cannot remove " + temporary, errno);
    }
    FileHandle file(
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file.valid()) {
        return SystemProblem(problem, "cannot create " + temporary, errno);
    }
    if (!WriteAll(file.get(), text) || fsync(file.get()) != 0) {
        int error = errno;
        file.Close();
        unlink(temporary.c_str());
        return SystemProblem(problem, "cannot write " + temporary, error);
    }
    if (!file.Close() || rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        unlink(temporary.c_str());
        return SystemProblem(problem, "cannot replace " + path, error);
    }
    FileHandle folder(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        fsync(folder.get());  // makes the rename itself durable
    }
    return 1;
}

int RegistryCheckDirectory(const std::string& path, bool* exists, std::string* problem) {
    *exists = false;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return 1;
        }
        return SystemProblem(problem, "cannot use the store folder " + path, errno);
    }
    *exists = true;
    if (!S_ISDIR(info.st_mode)) {
        return Problem(problem, "the store folder " + path + " is not a folder");
    }
    if (info.st_uid != geteuid()) {
        return Problem(problem, "the store folder " + path + " belongs to another user (uid " +
                                    std::to_string(info.st_uid) + ")");
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return Problem(problem, "the store folder " + path + " may be written by others (mode " +
                                    mode + "; chmod go-w it)");
    }
    return 1;
}

int RegistryMakeDirectories(const std::string& path, std::string* problem) {
    std::string partial;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start + 1);
        if (end == std::string::npos) {
            end = path.size();
        }
        partial = path.substr(0, end);
        if (!partial.empty() && mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            return SystemProblem(problem, "cannot make the store folder " + partial, errno);
        }
        start = end;
    }
    bool exists = false;
    if (!RegistryCheckDirectory(path, &exists, problem)) {
        return 0;
    }
    return exists ? 1 : Problem(problem, "cannot make the store folder " + path);
}

FileHandle RegistryLockStore(const std::string& directory, std::string* problem) {
    std::string path = directory + "/" + kLockFileName;
    // O_NOFOLLOW: a link planted at the lock's name is neither followed nor
    // created through; O_NONBLOCK: a FIFO there does not hold the open.
    FileHandle lock(
        open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    if (!lock.valid()) {
        if (errno == ELOOP) {
            Problem(problem, path + " is a symbolic link");
        } else {
            SystemProblem(problem, "cannot open the lock " + path, errno);
        }
        return lock;
    }
    struct stat info;
    if (fstat(lock.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        Problem(problem, path + " is not a regular file");
        return FileHandle();
    }
    int waited = 0;
    int pause = 1;
    while (flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            SystemProblem(problem, "cannot lock " + path, errno);
            return FileHandle();
        }
        if (waited >= kLockWaitMilliseconds) {
            Problem(problem, "another program has held the lock " + path + " for 10 s");
            return FileHandle();
        }
        struct timespec delay = {0, pause * 1000000L};
        nanosleep(&delay, nullptr);
        waited += pause;
        pause = pause < 16 ? pause * 2 : 16;
    }
    // Closing the handle releases the lock.
    return lock;
}
