#pragma once

// A fresh home folder for one installer test: HOME points at it, the XDG
// variables and the store's own variable are unset so that every default
// place (~/.local, ~/.config, ~/.xscreensaver) is inside it. Removed after.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

class TemporaryHome : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "nocturo-home-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        home = pattern;
        Keep("HOME");
        Keep("XDG_DATA_HOME");
        Keep("XDG_CONFIG_HOME");
        Keep("NOCTURO_SETTINGS_DIR");
        Keep("NOCTURO_SETTINGS_PROGRAM");
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("NOCTURO_SETTINGS_DIR");
        setenv("NOCTURO_SETTINGS_PROGRAM", "", 1);
    }

    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value.first) {
                setenv(name.c_str(), value.second.c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }

    std::string Path(const std::string& relative) const { return home + "/" + relative; }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Write(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static bool Exists(const std::string& path) {
        std::error_code ignored;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
    }

    // Runs setup_nocturo with only this home in its environment (and
    // `extra`, "NAME=value ..."); keeps what it printed. `prefix` runs
    // before it in the same shell (limits, traps).
    int RunSetup(const std::string& arguments, const std::string& extra = "",
                 const std::string& prefix = "") {
        const std::string command = prefix + "env -i HOME='" + home + "' PATH=/usr/bin:/bin " +
                                    "NOCTURO_SETTINGS_PROGRAM= " + extra + " " +
                                    NOCTURO_BINARY_DIR + "/bin/setup_nocturo " + arguments + " >'" +
                                    home + "/../" + Name() + ".out' 2>&1";
        const int status = std::system(("sh -c \"" + Escaped(command) + "\"").c_str());
        output = Read(home + "/../" + Name() + ".out");
        std::filesystem::remove(home + "/../" + Name() + ".out");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Every file and folder below the home, with the files' bytes.
    std::map<std::string, std::string> Tree() const {
        std::map<std::string, std::string> tree;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home)) {
            const std::string relative = entry.path().string().substr(home.size());
            tree[relative] = entry.is_directory() ? "<folder>" : Read(entry.path());
        }
        return tree;
    }

    // The settings store that the programs run here use.
    std::string StoreDirectory() const { return home + "/.config/nocturo/registry"; }

    std::string home;
    std::string output;

  private:
    void Keep(const char* name) {
        const char* value = std::getenv(name);
        saved[name] = {value != nullptr, value != nullptr ? value : ""};
    }
    std::string Name() const { return std::filesystem::path(home).filename().string(); }
    static std::string Escaped(const std::string& text) {
        std::string out;
        for (char c : text) {
            if (c == '"' || c == '\\' || c == '$' || c == '`') {
                out += '\\';
            }
            out += c;
        }
        return out;
    }
    std::map<std::string, std::pair<bool, std::string>> saved;
};
