#include "installer/setup_manifest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "installer/setup_places.h"

namespace {

long WriteBytes(int fd, const void* data, size_t size) {
    return write(fd, data, size);
}

// Paths and entries may hold any byte but a zero: newlines and backslashes
// are escaped so that each record stays on one line.
std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            out += text[i] == 'n' ? '\n' : text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out.empty() ? "-" : out;
}

bool FromHex(const std::string& text, std::vector<uint8_t>* bytes) {
    bytes->clear();
    if (text == "-") {
        return true;
    }
    if (text.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < text.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = text.substr(i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) {
            return false;
        }
        bytes->push_back(static_cast<uint8_t>(value));
    }
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

}  // namespace

long (*setupWriteBytes)(int fd, const void* data, size_t size) = WriteBytes;

std::string SetupManifestPath() {
    return SetupDataHome() + "/nocturo/setup.manifest";
}

void SetupManifestAddFile(SetupManifest* manifest, const std::string& path) {
    if (std::find(manifest->files.begin(), manifest->files.end(), path) == manifest->files.end()) {
        manifest->files.push_back(path);
    }
}

void SetupManifestAddFolder(SetupManifest* manifest, const std::string& path) {
    if (std::find(manifest->folders.begin(), manifest->folders.end(), path) ==
        manifest->folders.end()) {
        manifest->folders.push_back(path);
    }
}

uint64_t SetupTextHash(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

int SetupManifestLoad(const std::string& path, SetupManifest* manifest) {
    *manifest = SetupManifest{};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return 0;
    }
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        const std::string kind = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (kind == "file" && !rest.empty()) {
            SetupManifestAddFile(manifest, Unescape(rest));
        } else if (kind == "folder" && !rest.empty()) {
            SetupManifestAddFolder(manifest, Unescape(rest));
        } else if (kind == "value") {
            // value NAME BEFORE-TYPE BEFORE-HEX TYPE HEX; BEFORE-TYPE "absent"
            std::istringstream fields(rest);
            SetupValueRecord record;
            std::string typeBefore, before, written;
            if (!(fields >> record.name >> typeBefore >> before >> record.type >> written)) {
                continue;
            }
            record.existedBefore = typeBefore != "absent";
            record.typeBefore =
                record.existedBefore ? std::strtoul(typeBefore.c_str(), nullptr, 10) : 0;
            if (!FromHex(before, &record.before) || !FromHex(written, &record.written)) {
                continue;
            }
            manifest->values.push_back(record);
        } else if (kind == "xscreensaver-entry") {
            manifest->xscreensaverEntry = Unescape(rest);
        } else if (kind == "xscreensaver-replaced") {
            manifest->xscreensaverReplaced = Unescape(rest);
        } else if (kind == "xscreensaver-created") {
            manifest->xscreensaverCreated = true;
            manifest->xscreensaverCreatedHash = std::strtoull(rest.c_str(), nullptr, 16);
        }
    }
    return 1;
}

int SetupManifestSave(const std::string& path, SetupManifest* manifest) {
    // Make the record's own folder (and note it, so removal takes it away).
    if (!SetupCreateFolder(FolderOf(path), manifest)) {
        return 0;
    }
    std::ostringstream out;
    out << "# What setup_nocturo added; setup_nocturo --uninstall takes it away again.\n";
    for (const std::string& made : manifest->folders) {
        out << "folder " << Escape(made) << "\n";
    }
    for (const std::string& file : manifest->files) {
        out << "file " << Escape(file) << "\n";
    }
    for (const SetupValueRecord& value : manifest->values) {
        out << "value " << value.name << " "
            << (value.existedBefore ? std::to_string(value.typeBefore) : "absent") << " "
            << Hex(value.before) << " " << value.type << " " << Hex(value.written) << "\n";
    }
    if (!manifest->xscreensaverEntry.empty()) {
        out << "xscreensaver-entry " << Escape(manifest->xscreensaverEntry) << "\n";
    }
    if (!manifest->xscreensaverReplaced.empty()) {
        out << "xscreensaver-replaced " << Escape(manifest->xscreensaverReplaced) << "\n";
    }
    if (manifest->xscreensaverCreated) {
        char hash[32];
        std::snprintf(hash, sizeof hash, "%016llx",
                      static_cast<unsigned long long>(manifest->xscreensaverCreatedHash));
        out << "xscreensaver-created " << hash << "\n";
    }
    const std::string text = out.str();
    return SetupWriteFileAtomically(path, text.data(), text.size(), 0644);
}

int SetupCreateFolder(const std::string& folder, SetupManifest* manifest) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    if (mkdir(path.c_str(), 0755) == 0) {
        SetupManifestAddFolder(manifest, path);
        return 1;
    }
    if (!IsFolder(path)) {
        // Every '/' after the first character ends a path to make, from the
        // shortest to the whole one.
        for (size_t i = 1; i <= path.size(); ++i) {
            if (i == path.size() || path[i] == '/') {
                const std::string prefix = path.substr(0, i);
                if (mkdir(prefix.c_str(), 0755) == 0) {
                    SetupManifestAddFolder(manifest, prefix);
                }
            }
        }
    }
    return IsFolder(path) ? 1 : 0;
}

int SetupWriteFileAtomically(const std::string& path, const void* data, size_t size,
                             unsigned mode) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return 0;
    }
    bool ok = fchmod(fd, mode) == 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (ok && done < size) {
        const long wrote = setupWriteBytes(fd, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            ok = false;  // an error, or a disk that takes nothing more
            break;
        }
        done += static_cast<size_t>(wrote);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
    }
    return ok ? 1 : 0;
}
