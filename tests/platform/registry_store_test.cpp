// The per-user store: typed values, keys, where it lives, damaged files,
// several writers at once and writers killed at any moment.

#include "platform/registry_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/support/saved_environment.h"
#include "tests/support/temporary_store.h"

namespace {

using Bytes = std::vector<uint8_t>;

RegistryKey CreatePath(const char* path) {
    RegistryKey root;
    RegistryKey key;
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "", kRegistryWrite, &root), 1);
    EXPECT_EQ(RegistryCreateKey(&root, path, kRegistryRead | kRegistryWrite, &key), 1) << path;
    return key;
}

int Set(const RegistryKey& key, const std::string& name, uint32_t type, const Bytes& data) {
    return RegistrySetValue(&key, name.c_str(), type, data.data(),
                            static_cast<uint32_t>(data.size()));
}

Bytes Text(const std::string& text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// Everything readable in the store: "key|value" -> (type, bytes).
using Snapshot = std::map<std::string, std::pair<uint32_t, Bytes>>;

Snapshot TakeSnapshot(const std::vector<std::string>& keys) {
    Snapshot snapshot;
    for (const std::string& path : keys) {
        RegistryKey key;
        if (!RegistryOpenKey(kRegistryCurrentUser, path.c_str(), kRegistryRead, &key)) {
            continue;
        }
        std::vector<RegistryValue> values;
        EXPECT_EQ(RegistryListValues(&key, &values), 1);
        for (const RegistryValue& value : values) {
            snapshot[path + "|" + value.name] = {value.type, value.data};
        }
    }
    return snapshot;
}

class RegistryStoreTest : public TemporaryStore {};

TEST_F(RegistryStoreTest, ValuesKeepTheirTypeAndExactBytes) {
    RegistryKey key = CreatePath("SOFTWARE\\Quillfen\\Nocturo\\Setting");
    Bytes everyByte;
    for (int i = 0; i < 256; ++i) {
        everyByte.push_back(static_cast<uint8_t>(i));
    }
    std::string awkward = "quote \" backslash \\ tab \t newline \n bell \a \xc3\xa9 \xe0 end";
    std::vector<RegistryValue> written = {
        {"Empty", kRegistryTypeBinary, {}},
        {"One", kRegistryTypeBinary, {0x7f}},
        {"Latitude", kRegistryTypeBinary, {0, 0, 0, 0, 0, 0xc0, 0x49, 0x40}},
        {"EveryByte", kRegistryTypeBinary, everyByte},
        {"Awkward text", kRegistryTypeString, Text(awkward)},
        {"EmptyText", kRegistryTypeString, Text("")},
        {"Unended", kRegistryTypeString, {'a', 'b'}},
        {"Inner\0zero", kRegistryTypeString, {'a', 0, 'b', 0}},
        {"Dword", kRegistryTypeDword, {1, 0, 0, 0}},
        {"name = \"with\" [odd] ; signs", 7, {9, 8}},
        {"", kRegistryTypeString, Text("the key's default value")},
    };
    for (const RegistryValue& value : written) {
        ASSERT_EQ(Set(key, value.name, value.type, value.data), 1) << value.name;
    }
    EXPECT_EQ(RegistryStoreIsSound(nullptr), 1);

    std::vector<RegistryValue> read;
    ASSERT_EQ(RegistryListValues(&key, &read), 1);
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(read[i].name, written[i].name);
        EXPECT_EQ(read[i].type, written[i].type) << written[i].name;
        EXPECT_EQ(read[i].data, written[i].data) << written[i].name;
    }
    // Names are matched without regard to case, as the registry does.
    RegistryValue value;
    ASSERT_EQ(RegistryReadValue(&key, "LATITUDE", &value), 1);
    EXPECT_EQ(value.data.size(), 8u);
    RegistryKey again;
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "software\\QUILLFEN\\nocturo\\setting",
                              kRegistryRead, &again),
              1);
}

TEST_F(RegistryStoreTest, QueryNeverTouchesTheBufferOfAValueThatDoesNotFit) {
    RegistryKey key = CreatePath("K");
    ASSERT_EQ(Set(key, "Four", kRegistryTypeBinary, {1, 2, 3, 4}), 1);

    uint8_t buffer[8];
    std::memset(buffer, 0xee, sizeof buffer);
    uint32_t type = 0;
    uint32_t size = 3;
    EXPECT_EQ(RegistryQueryValue(&key, "Four", &type, buffer, &size), 0);
    EXPECT_EQ(size, 4u);  // the length it needs
    EXPECT_EQ(type, kRegistryTypeBinary);
    for (uint8_t byte : buffer) {
        EXPECT_EQ(byte, 0xee);
    }

    size = sizeof buffer;
    EXPECT_EQ(RegistryQueryValue(&key, "Four", &type, buffer, &size), 1);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(buffer[3], 4);
    EXPECT_EQ(buffer[4], 0xee);  // only its own length is filled

    size = 0;
    EXPECT_EQ(RegistryQueryValue(&key, "Four", &type, nullptr, &size), 1);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegistryQueryValue(&key, "Missing", &type, buffer, &size), 0);
}

TEST_F(RegistryStoreTest, KeysMustExistAndHonourTheirAccess) {
    RegistryKey key;
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "A\\B", kRegistryWrite, &key), 0);

    RegistryKey b = CreatePath("A\\B");
    // Creating a child makes its ancestors; an existing key is opened.
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "A", kRegistryRead, &key), 1);
    RegistryKey same = CreatePath("A\\B");
    EXPECT_EQ(Set(same, "V", kRegistryTypeBinary, {1}), 1);

    RegistryKey readOnly;
    ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "A\\B", kRegistryRead, &readOnly), 1);
    EXPECT_EQ(Set(readOnly, "W", kRegistryTypeBinary, {1}), 0);
    RegistryKey child;
    EXPECT_EQ(RegistryCreateKey(&readOnly, "C", kRegistryWrite, &child), 0);

    // A handle to a key removed behind its back does not bring it back.
    std::filesystem::remove(StoreFile());
    EXPECT_EQ(Set(b, "V", kRegistryTypeBinary, {1}), 0);
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "A\\B", kRegistryRead, &key), 0);

    // Names the store cannot hold are refused, not cut.
    RegistryKey root;
    ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "", kRegistryWrite, &root), 1);
    EXPECT_EQ(RegistryCreateKey(&root, "bad\nname", kRegistryWrite, &child), 0);
    EXPECT_EQ(RegistryCreateKey(&root, std::string(300, 'k').c_str(), kRegistryWrite, &child), 0);
    EXPECT_EQ(RegistrySetValue(&same, std::string(300, 'v').c_str(), kRegistryTypeBinary, "", 0),
              0);
}

TEST_F(RegistryStoreTest, MachineKeysAnswerTheProgramsFolderAndRefuseWrites) {
    const SavedEnvironment saved{"XDG_DATA_HOME", "HOME"};
    setenv("XDG_DATA_HOME", "/data/home", 1);
    RegistryKey key;
    ASSERT_EQ(RegistryOpenKey(kRegistryLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                              kRegistryRead, &key),
              1);
    RegistryValue value;
    ASSERT_EQ(RegistryReadValue(&key, "ProgramFilesDir", &value), 1);
    EXPECT_EQ(value.type, kRegistryTypeString);
    EXPECT_EQ(value.data, Text("/data/home"));
    EXPECT_EQ(RegistrySetValue(&key, "ProgramFilesDir", kRegistryTypeString, "x", 2), 0);
    EXPECT_EQ(RegistryOpenKey(kRegistryLocalMachine, "SOFTWARE", kRegistryWrite, &key), 0);
    EXPECT_EQ(RegistryOpenKey(kRegistryLocalMachine, "SYSTEM", kRegistryRead, &key), 0);

    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/someone", 1);
    ASSERT_EQ(RegistryOpenKey(kRegistryLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                              kRegistryRead, &key),
              1);
    ASSERT_EQ(RegistryReadValue(&key, "ProgramFilesDir", &value), 1);
    EXPECT_EQ(value.data, Text("/home/someone/.local/share"));
}

TEST_F(RegistryStoreTest, LocationFollowsTheEnvironment) {
    struct Case {
        const char* store;   // the store's own variable, null when unset
        const char* config;  // XDG_CONFIG_HOME, null when unset
        const char* expected;
    };
    const Case cases[] = {
        {"/elsewhere/store", "/config", "/elsewhere/store"},
        {nullptr, "/config", "/config/nocturo/registry"},
        {nullptr, nullptr, "/home/someone/.config/nocturo/registry"},
        {nullptr, "", "/home/someone/.config/nocturo/registry"},
        {nullptr, "relative/config", "/home/someone/.config/nocturo/registry"},
        {"", nullptr, "/home/someone/.config/nocturo/registry"},
    };
    const SavedEnvironment saved{"HOME", "XDG_CONFIG_HOME", kRegistryStoreEnvironment};
    setenv("HOME", "/home/someone", 1);
    for (const Case& c : cases) {
        c.store ? setenv(kRegistryStoreEnvironment, c.store, 1)
                : unsetenv(kRegistryStoreEnvironment);
        c.config ? setenv("XDG_CONFIG_HOME", c.config, 1) : unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(RegistryStoreDirectory(), c.expected);
        EXPECT_EQ(RegistryStoreFile(), std::string(c.expected) + "/user.reg");
    }
}

// A store with a few keys and values of each kind, for damaging.
class DamagedStoreTest : public TemporaryStore {
  protected:
    void SetUp() override {
        TemporaryStore::SetUp();
        RegistryKey setting = CreatePath("SOFTWARE\\Quillfen\\Nocturo\\Setting");
        ASSERT_EQ(Set(setting, "Language", kRegistryTypeBinary, {1, 0, 0, 0}), 1);
        ASSERT_EQ(Set(setting, "ShowStar", kRegistryTypeBinary, {1}), 1);
        ASSERT_EQ(Set(setting, "Latitude", kRegistryTypeBinary, {0, 0, 0, 0, 0, 0xc0, 0x49, 0x40}),
                  1);
        ASSERT_EQ(Set(setting, "textures00", kRegistryTypeString, Text("/a/moon \"big\".bmp")), 1);
        RegistryKey desktop = CreatePath("Control Panel\\Desktop");
        ASSERT_EQ(Set(desktop, "ScreenSaveUsePassword", kRegistryTypeString, Text("0")), 1);
        RegistryKey colors = CreatePath("Control Panel\\Colors");
        ASSERT_EQ(Set(colors, "Window", kRegistryTypeString, Text("255 255 255")), 1);
        intact_ = ReadStoreFile();
        original_ = TakeSnapshot(keys_);
        ASSERT_EQ(original_.size(), 6u);
    }

    // Reads the damaged store, then writes one value: the result must be a
    // sound store holding every value that was still readable, unchanged.
    // With `exact`, every value still read must be the one first written
    // (random garbage may change a digit and still read as a value).
    void CheckRecovery(const std::string& damaged, const std::string& label, bool exact = true) {
        WriteStoreFile(damaged);
        Snapshot readable = TakeSnapshot(keys_);
        for (const auto& [name, value] : readable) {
            auto original = original_.find(name);
            if (exact && original != original_.end()) {
                EXPECT_EQ(value, original->second) << label << ": " << name;
            }
        }
        RegistryKey root;
        RegistryKey marker;
        ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "", kRegistryWrite, &root), 1);
        ASSERT_EQ(RegistryCreateKey(&root, "SOFTWARE\\Quillfen\\Nocturo\\Setting", kRegistryWrite,
                                    &marker),
                  1)
            << label;
        ASSERT_EQ(Set(marker, "Marker", kRegistryTypeBinary, {42}), 1) << label;
        std::string problem;
        EXPECT_EQ(RegistryStoreIsSound(&problem), 1) << label << ": " << problem;
        Snapshot after = TakeSnapshot(keys_);
        for (const auto& [name, value] : readable) {
            auto kept = after.find(name);
            ASSERT_NE(kept, after.end()) << label << ": lost " << name;
            EXPECT_EQ(kept->second, value) << label << ": " << name;
        }
        EXPECT_EQ(after.size(), readable.size() + (readable.count(kMarker) ? 0 : 1)) << label;
    }

    const std::vector<std::string> keys_ = {"SOFTWARE\\Quillfen\\Nocturo\\Setting",
                                            "Control Panel\\Desktop", "Control Panel\\Colors"};
    static constexpr const char* kMarker = "SOFTWARE\\Quillfen\\Nocturo\\Setting|Marker";
    std::string intact_;
    Snapshot original_;
};

TEST_F(DamagedStoreTest, TruncationAtEveryByteLosesOnlyTheCutValue) {
    for (size_t length = 0; length < intact_.size(); ++length) {
        std::string cut = intact_.substr(0, length);
        WriteStoreFile(cut);
        Snapshot readable = TakeSnapshot(keys_);
        // A cut at the end of a line keeps every line before it whole; the
        // line being cut is lost, never read as a shorter value.
        size_t wholeLines = 0;
        for (char c : cut) {
            wholeLines += c == '\n';
        }
        for (const auto& [name, value] : readable) {
            ASSERT_EQ(value, original_.at(name)) << "cut at " << length << ": " << name;
        }
        if (length + 1 == intact_.size()) {
            EXPECT_EQ(readable.size(), original_.size() - 1);  // only the last line cut off
        }
        EXPECT_EQ(RegistryStoreIsSound(nullptr), cut.empty() || cut.back() == '\n' ? 1 : 0)
            << "cut at " << length << " (" << wholeLines << " whole lines)";
    }
    for (size_t length : {size_t{0}, intact_.size() / 3, intact_.size() / 2, intact_.size() - 2}) {
        CheckRecovery(intact_.substr(0, length), "cut at " + std::to_string(length));
    }
    // What could not be read is kept aside for a person to look at.
    EXPECT_TRUE(std::filesystem::exists(StoreFile() + ".damaged"));
}

TEST_F(DamagedStoreTest, GarbageReadsAsAbsentValuesAndTheNextWriteRepairs) {
    auto replace = [&](const std::string& from, const std::string& to) {
        std::string text = intact_;
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    // What else of the store reads back.
    enum class Rest {
        Everything,  // the damage is no damage: every value reads back
        AllButLost,  // every value but those lost
        Nothing,     // no line is readable: nothing reads back
    };
    struct Case {
        std::string label;
        std::string text;
        std::vector<std::string> lost;  // values that must read as absent
        Rest rest = Rest::AllButLost;
    };
    const std::string setting = "SOFTWARE\\Quillfen\\Nocturo\\Setting|";
    const std::vector<Case> cases = {
        {"empty file", "", {}, Rest::Nothing},
        {"binary noise", std::string("\x00\xff\x13\x80garbage\n\x01\x02", 14), {}, Rest::Nothing},
        {"byte count too large", replace("binary[8]", "binary[9]"), {setting + "Latitude"}},
        {"byte count too small", replace("binary[8]", "binary[7]"), {setting + "Latitude"}},
        {"odd hex digit", replace("c0 49 40", "c0 4 40"), {setting + "Latitude"}},
        {"not hex", replace("c0 49 40", "c0 4g 40"), {setting + "Latitude"}},
        {"open quote", replace("big\\\".bmp\"", "big\\\".bmp"), {setting + "textures00"}},
        {"bad escape", replace("\\\"big", "\\qbig"), {setting + "textures00"}},
        {"zero byte in a line",
         replace("ShowStar", std::string("Show\0tar", 8)),
         {setting + "ShowStar"}},
        {"unknown type", replace("binary[1] 01", "blob[1] 01"), {setting + "ShowStar"}},
        {"no equals sign", replace("Language =", "Language"), {setting + "Language"}},
        {"garbled key header",
         replace("[Control Panel\\Desktop]", "[Control Panel\\Desk\x01top"),
         {"Control Panel\\Desktop|ScreenSaveUsePassword"}},
        {"values before any key", "Stray = binary[1] 01\n" + intact_, {}, Rest::Everything},
        {"overlong line",
         replace("ShowStar = binary[1] 01", std::string(100000, 'x')),
         {setting + "ShowStar"}},
        {"windows line ends",
         [&] {
             std::string text;
             for (char c : intact_) {
                 text += c == '\n' ? std::string("\r\n") : std::string(1, c);
             }
             return text;
         }(),
         {},
         Rest::Everything},
    };
    for (const Case& c : cases) {
        WriteStoreFile(c.text);
        Snapshot readable = TakeSnapshot(keys_);
        for (const std::string& name : c.lost) {
            EXPECT_EQ(readable.count(name), 0u) << c.label << ": " << name;
        }
        switch (c.rest) {
            case Rest::Everything:
                EXPECT_EQ(readable, original_) << c.label;
                break;
            case Rest::AllButLost:
                EXPECT_EQ(readable.size(), original_.size() - c.lost.size()) << c.label;
                break;
            case Rest::Nothing:
                EXPECT_TRUE(readable.empty()) << c.label;
                break;
        }
        CheckRecovery(c.text, c.label);
    }
}

TEST_F(DamagedStoreTest, RandomlyGarbledBytesNeverBreakTheStore) {
    std::mt19937 random(20261211);
    for (int trial = 0; trial < 150; ++trial) {
        std::string text = intact_;
        int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips; ++i) {
            text[random() % text.size()] = static_cast<char>(random() % 256);
        }
        CheckRecovery(text, "trial " + std::to_string(trial), false);
    }
}

TEST_F(RegistryStoreTest, AStoreThatCannotBeReadIsNeverReplaced) {
    std::filesystem::create_directories(StoreFile());  // a folder where the file should be
    RegistryKey root;
    RegistryKey key;
    ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "", kRegistryWrite, &root), 1);
    EXPECT_EQ(RegistryCreateKey(&root, "A", kRegistryWrite, &key), 0);
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "A", kRegistryRead, &key), 0);
    EXPECT_TRUE(std::filesystem::is_directory(StoreFile()));
}

// Runs `body` in a child process and returns its pid.
template <typename Body>
pid_t Spawn(Body body) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST_F(RegistryStoreTest, TwoWritersAtOnceLoseNothing) {
    CreatePath("Shared");
    constexpr int kCount = 60;
    auto writer = [](char prefix) {
        return [prefix] {
            RegistryKey key;
            if (!RegistryOpenKey(kRegistryCurrentUser, "Shared", kRegistryWrite, &key)) {
                return 1;
            }
            for (int i = 0; i < kCount; ++i) {
                std::string name = prefix + std::to_string(i);
                int32_t number = prefix * 1000 + i;
                if (!RegistrySetValue(&key, name.c_str(), kRegistryTypeBinary, &number, 4)) {
                    return 2;
                }
            }
            return 0;
        };
    };
    pid_t first = Spawn(writer('A'));
    pid_t second = Spawn(writer('B'));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    // Meanwhile a reader only ever finds whole stores.
    int unsound = 0;
    for (int i = 0; i < 200; ++i) {
        unsound += RegistryStoreIsSound(nullptr) == 0;
    }
    EXPECT_EQ(ExitStatus(first), 0);
    EXPECT_EQ(ExitStatus(second), 0);
    EXPECT_EQ(unsound, 0);

    RegistryKey key;
    ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "Shared", kRegistryRead, &key), 1);
    for (char prefix : {'A', 'B'}) {
        for (int i = 0; i < kCount; ++i) {
            std::string name = prefix + std::to_string(i);
            int32_t number = -1;
            uint32_t size = 4;
            ASSERT_EQ(RegistryQueryValue(&key, name.c_str(), nullptr, &number, &size), 1) << name;
            EXPECT_EQ(number, prefix * 1000 + i);
        }
    }
}

TEST_F(RegistryStoreTest, AWriterKilledAtAnyMomentLeavesOldOrNewContent) {
    RegistryKey key = CreatePath("Crash");
    // A large value makes each replacement take long enough to be hit.
    ASSERT_EQ(Set(key, "Padding", kRegistryTypeBinary, Bytes(200000, 0x5a)), 1);
    std::mt19937 random(42);
    int32_t lastSeen = -1;
    for (int round = 0; round < 20; ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        int32_t start = lastSeen + 1;
        pid_t pid = Spawn([&] {
            close(pipeFds[0]);
            RegistryKey crash;
            if (!RegistryOpenKey(kRegistryCurrentUser, "Crash", kRegistryWrite, &crash)) {
                return 1;
            }
            for (int32_t i = start;; ++i) {
                if (!RegistrySetValue(&crash, "Counter", kRegistryTypeBinary, &i, 4)) {
                    return 2;
                }
                // Tell the parent each write that has completed.
                if (write(pipeFds[1], &i, sizeof i) != sizeof i) {
                    return 3;
                }
            }
        });
        close(pipeFds[1]);
        usleep(2000 + random() % 30000);
        kill(pid, SIGKILL);
        EXPECT_EQ(ExitStatus(pid), 100 + SIGKILL);
        int32_t completed = lastSeen;
        int32_t reported;
        while (read(pipeFds[0], &reported, sizeof reported) == sizeof reported) {
            completed = reported;
        }
        close(pipeFds[0]);

        std::string problem;
        ASSERT_EQ(RegistryStoreIsSound(&problem), 1) << "round " << round << ": " << problem;
        int32_t counter = -1;
        uint32_t size = 4;
        uint32_t padding = 0;
        if (RegistryQueryValue(&key, "Counter", nullptr, &counter, &size)) {
            // Either the last completed write, or the one under way when killed.
            EXPECT_TRUE(counter == completed || counter == completed + 1)
                << "round " << round << ": counter " << counter << ", completed " << completed;
        } else {
            EXPECT_EQ(completed, -1);
        }
        EXPECT_EQ(RegistryQueryValue(&key, "Padding", nullptr, nullptr, &padding), 1);
        EXPECT_EQ(padding, 200000u);
        lastSeen = counter;
    }
    // A temporary file left by a killed writer does not hinder the next one.
    EXPECT_EQ(Set(key, "After", kRegistryTypeBinary, {1}), 1);
    EXPECT_EQ(RegistryStoreIsSound(nullptr), 1);
}

// Files planted in the store's folder: FIFOs are never opened for a wait,
// links are never written through, and every refusal names its cause.
TEST_F(RegistryStoreTest, PlantedFilesNeverHangTheStoreNorAreWrittenThrough) {
    namespace fs = std::filesystem;
    const bool root = geteuid() == 0;
    const std::string target = root_ + "/target";  // outside the store's folder
    const std::string targetText = "a file the store must never touch\n";
    struct Case {
        const char* label;
        std::function<void(const std::string& folder)> plant;
        bool damaged;         // the store file is damaged first (its copy is kept)
        bool written;         // the write still succeeds
        const char* problem;  // part of the cause named when it fails
        bool needsRoot;       // another owner can only be made by root
        bool needsUser;       // permissions bind only a user other than root
    };
    auto fifo = [](const char* name) {
        return [name](const std::string& folder) {
            std::filesystem::remove(folder + "/" + name);
            ASSERT_EQ(mkfifo((folder + "/" + name).c_str(), 0600), 0);
        };
    };
    auto link = [&](const char* name, const std::string& to) {
        return [name, to](const std::string& folder) {
            fs::remove(folder + "/" + name);
            fs::create_symlink(to, folder + "/" + name);
        };
    };
    const Case cases[] = {
        {"store file is a FIFO",
         [](const std::string& folder) {
             fs::remove(folder + "/user.reg");
             ASSERT_EQ(mkfifo((folder + "/user.reg").c_str(), 0600), 0);
         },
         false, false, "user.reg is not a regular file", false, false},
        {"temporary file is a FIFO", fifo("user.reg.tmp"), false, true, "", false, false},
        {"damaged copy's temporary is a FIFO", fifo("user.reg.damaged.tmp"), true, true, "", false,
         false},
        {"lock is a FIFO", fifo("lock"), false, false, "lock is not a regular file", false, false},
        {"temporary file links elsewhere", link("user.reg.tmp", target), false, true, "", false,
         false},
        {"damaged copy's temporary links elsewhere", link("user.reg.damaged.tmp", target), true,
         true, "", false, false},
        {"damaged copy links elsewhere", link("user.reg.damaged", target), true, true, "", false,
         false},
        {"lock is a dangling link", link("lock", root_ + "/made-through-the-lock"), false, false,
         "lock is a symbolic link", false, false},
        {"store file is a link", link("user.reg", target), false, false,
         "user.reg is a symbolic link", false, false},
        {"folder writable by others",
         [](const std::string& folder) { fs::permissions(folder, fs::perms(0777)); }, false, false,
         "may be written by others", false, false},
        {"folder of another user",
         [](const std::string& folder) { ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0); },
         false, false, "belongs to another user", true, false},
        {"store file too large",
         [](const std::string& folder) { fs::resize_file(folder + "/user.reg", 65u << 20); }, false,
         false, "user.reg is too large", false, false},
        {"store file unreadable",
         [](const std::string& folder) { fs::permissions(folder + "/user.reg", fs::perms(0)); },
         false, false, "Permission denied", false, true},
        {"folder read-only",
         [](const std::string& folder) { fs::permissions(folder, fs::perms(0500)); }, false, false,
         "user.reg.tmp: Permission denied", false, true},
    };
    alarm(20);  // a store that waits on a FIFO would hang here: end the test instead
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if ((c.needsRoot && !root) || (c.needsUser && root)) {
            continue;
        }
        fs::remove_all(directory_);
        fs::remove(target);
        std::ofstream(target, std::ios::binary) << targetText;
        RegistryKey key = CreatePath("K");
        ASSERT_EQ(Set(key, "V", kRegistryTypeBinary, {1}), 1);
        if (c.damaged) {
            std::ofstream(StoreFile(), std::ios::app) << "garbage";
        }
        c.plant(directory_);

        EXPECT_EQ(Set(key, "W", kRegistryTypeBinary, {2}), c.written ? 1 : 0);
        EXPECT_NE(RegistryStoreProblem().find(c.problem), std::string::npos)
            << RegistryStoreProblem();
        if (c.written) {
            EXPECT_EQ(RegistryStoreProblem(), "");
            uint32_t size = 0;
            EXPECT_EQ(RegistryQueryValue(&key, "W", nullptr, nullptr, &size), 1);
        }
        EXPECT_EQ(TemporaryStore::ReadFile(target), targetText);
        EXPECT_FALSE(fs::exists(root_ + "/made-through-the-lock"));
        fs::permissions(directory_, fs::perms(0700));
        if (fs::exists(StoreFile()) && !fs::is_fifo(StoreFile())) {
            fs::permissions(StoreFile(), fs::perms(0600));
        }
        if (root) {
            ASSERT_EQ(chown(directory_.c_str(), 0, 0), 0);
        }
    }
    alarm(0);
}

}  // namespace
