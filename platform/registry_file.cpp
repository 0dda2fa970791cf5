#include "platform/registry_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace {

constexpr const char* kLockFileName = "lock";
constexpr size_t kMaxFileSize = 64u << 20;  // a larger file is not ours to parse
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

}  // namespace

int RegistryReadStoreText(const std::string& path, std::string* text, bool* exists) {
    text->clear();
    *exists = false;
    FileHandle file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        return errno == ENOENT ? 1 : 0;
    }
    *exists = true;
    struct stat info;
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<uint64_t>(info.st_size) > kMaxFileSize) {
        return 0;
    }
    char buffer[16384];
    for (;;) {
        ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || text->size() + static_cast<size_t>(got) > kMaxFileSize) {
            return 0;
        }
        if (got == 0) {
            break;
        }
        text->append(buffer, static_cast<size_t>(got));
    }
    return 1;
}

int RegistryReplaceFile(const std::string& directory, const std::string& path,
                        const std::string& text) {
    std::string temporary = path + ".tmp";
    FileHandle file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!file.valid()) {
        return 0;
    }
    if (!WriteAll(file.get(), text) || fsync(file.get()) != 0) {
        file.Close();
        unlink(temporary.c_str());
        return 0;
    }
    if (!file.Close() || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return 0;
    }
    FileHandle folder(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        fsync(folder.get());  // makes the rename itself durable
    }
    return 1;
}

int RegistryMakeDirectories(const std::string& path) {
    std::string partial;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start + 1);
        if (end == std::string::npos) {
            end = path.size();
        }
        partial = path.substr(0, end);
        if (!partial.empty() && mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            return 0;
        }
        start = end;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 1 : 0;
}

FileHandle RegistryLockStore(const std::string& directory) {
    std::string path = directory + "/" + kLockFileName;
    FileHandle lock(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid()) {
        return lock;
    }
    int waited = 0;
    int pause = 1;
    while (flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= kLockWaitMilliseconds) {
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
