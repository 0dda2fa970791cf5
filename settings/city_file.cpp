#include "settings/city_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/regular_file.h"

namespace {

int16_t ReadInt16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

void PutInt16(std::vector<uint8_t>* out, int16_t v) {
    uint16_t u = static_cast<uint16_t>(v);
    out->push_back(static_cast<uint8_t>(u & 0xFF));
    out->push_back(static_cast<uint8_t>(u >> 8));
}

float ReadFloat(const uint8_t* p) {
    uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                 (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

void PutFloat(std::vector<uint8_t>* out, float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The temporary files of rewrites: ".<name>.<random>.new" beside the file.
std::string TemporaryPrefix(const std::string& path) {
    return "." + BaseOf(path) + ".";
}

bool IsTemporaryOf(const std::string& entry, const std::string& prefix) {
    return entry.size() > prefix.size() + 4 && entry.compare(0, prefix.size(), prefix) == 0 &&
           entry.compare(entry.size() - 4, 4, ".new") == 0;
}

// Removes what killed rewrites left behind; only called under the lock, when
// no other rewrite of this file can be writing one.
void RemoveLeftovers(const std::string& folder, const std::string& prefix) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (dirent* entry = readdir(dir)) {
        if (IsTemporaryOf(entry->d_name, prefix)) {
            unlinkat(dirfd(dir), entry->d_name, 0);
        }
    }
    closedir(dir);
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Holds an exclusive lock on a folder while it lives.
struct FolderLock {
    int fd = -1;
    explicit FolderLock(const std::string& folder) {
        fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (fd >= 0) {
            flock(fd, LOCK_UN);
            close(fd);
        }
    }
};

}  // namespace

CityFileContents CityFileParse(const std::vector<uint8_t>& bytes) {
    CityFileContents file;
    if (bytes.size() < 2) {
        file.damaged = !bytes.empty();
        file.recordsEnd = bytes.size();
        return file;
    }
    file.count = ReadInt16(bytes.data());
    int wanted = file.count < 0 ? kCityCapacity : std::min<int>(file.count, kCityCapacity);
    size_t at = 2;
    while (static_cast<int>(file.records.size()) < wanted) {
        if (bytes.size() - at < kCityRecordFixedBytes + 1) {
            break;
        }
        const uint8_t* p = bytes.data() + at;
        size_t nameStart = at + kCityRecordFixedBytes;
        size_t limit = std::min(bytes.size(), nameStart + kCityNameLongest + 1);
        const void* zero = std::memchr(bytes.data() + nameStart, 0, limit - nameStart);
        if (zero == nullptr) {
            break;  // cut short, or a name too long for the name buffer
        }
        size_t nameEnd = static_cast<size_t>(static_cast<const uint8_t*>(zero) - bytes.data());
        CityRecord r;
        r.zone = ReadInt16(p);
        r.latitude = ReadFloat(p + 2);
        r.longitude = ReadFloat(p + 6);
        std::memcpy(r.reserved, p + 10, 4);
        r.name.assign(reinterpret_cast<const char*>(bytes.data() + nameStart), nameEnd - nameStart);
        file.records.push_back(r);
        at = nameEnd + 1;
    }
    file.recordsEnd = at;
    file.damaged = file.count < 0 || static_cast<int>(file.records.size()) < file.count;
    return file;
}

void CityRecordEncode(const CityRecord& record, std::vector<uint8_t>* out) {
    PutInt16(out, record.zone);
    PutFloat(out, record.latitude);
    PutFloat(out, record.longitude);
    out->insert(out->end(), record.reserved, record.reserved + 4);
    out->insert(out->end(), record.name.begin(), record.name.end());
    out->push_back(0);
}

std::vector<uint8_t> CityFileEncode(const std::vector<CityRecord>& records) {
    std::vector<uint8_t> out;
    PutInt16(&out, static_cast<int16_t>(records.size()));
    for (const CityRecord& r : records) {
        CityRecordEncode(r, &out);
    }
    return out;
}

int CityFileReadBytes(const std::string& path, std::vector<uint8_t>* bytes) {
    // A FIFO or a device at the path is refused before any read, and no file
    // larger than the format allows is taken in.
    return ReadWholeFile(path.c_str(), kCityFileMaxBytes, bytes).outcome == kFileOk ? 1 : 0;
}

CityRewriteResult CityFileRewriteWith(const std::string& path, bool mayCreate, CityChange change,
                                      void* context, CityFileContents* after) {
    if (path.empty()) {
        return kCityRewriteCannotOpen;
    }
    std::string folder = FolderOf(path);
    FolderLock lock(folder);
    if (lock.fd < 0) {
        return kCityRewriteCannotOpen;
    }
    std::string prefix = TemporaryPrefix(path);
    RemoveLeftovers(folder, prefix);

    std::vector<uint8_t> old;
    struct stat st {};
    bool exists = stat(path.c_str(), &st) == 0;
    mode_t mode = 0644;
    if (exists) {
        // The old file must be one this user may change, as opening it for
        // reading and writing requires.
        if (!S_ISREG(st.st_mode) || access(path.c_str(), R_OK | W_OK) != 0 ||
            !CityFileReadBytes(path, &old)) {
            return kCityRewriteCannotOpen;
        }
        mode = st.st_mode & 07777;
    } else if (!mayCreate) {
        return kCityRewriteCannotOpen;
    }
    CityFileContents before = CityFileParse(old);
    std::vector<CityRecord> records = before.records;
    if (!change(before, &records, context)) {
        return kCityRewriteUnchanged;
    }
    if (records.size() > static_cast<size_t>(INT16_MAX)) {
        return kCityRewriteCannotWrite;
    }
    std::vector<uint8_t> bytes = CityFileEncode(records);
    if (before.recordsEnd < old.size()) {
        bytes.insert(bytes.end(), old.begin() + static_cast<std::ptrdiff_t>(before.recordsEnd),
                     old.end());
    }

    std::string temporary = folder + "/" + prefix + "XXXXXX.new";
    int fd = mkstemps(temporary.data(), 4);
    if (fd < 0) {
        return exists ? kCityRewriteCannotWrite : kCityRewriteCannotOpen;
    }
    bool written = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return exists ? kCityRewriteCannotWrite : kCityRewriteCannotOpen;
    }
    fsync(lock.fd);  // makes the rename itself durable
    if (after) {
        *after = CityFileParse(bytes);
    }
    return kCityRewriteDone;
}
