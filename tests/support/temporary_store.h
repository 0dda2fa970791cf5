#pragma once

// A fresh, empty settings store in a temporary folder for one test; the
// environment points the whole store there and the folder is removed after.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/registry_store.h"

class TemporaryStore : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "nocturo-store-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        directory_ = root_ + "/registry";
        setenv(kRegistryStoreEnvironment, directory_.c_str(), 1);
    }

    void TearDown() override {
        unsetenv(kRegistryStoreEnvironment);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string StoreFile() const { return directory_ + "/user.reg"; }

    std::string ReadStoreFile() const { return ReadFile(StoreFile()); }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The store's folder as the store makes it: the user's alone.
    void WriteStoreFile(const std::string& text) const {
        std::filesystem::create_directories(directory_);
        std::filesystem::permissions(directory_, std::filesystem::perms::owner_all);
        std::ofstream out(StoreFile(), std::ios::binary | std::ios::trunc);
        out << text;
    }

    std::string root_;       // the temporary folder, removed after the test
    std::string directory_;  // the store inside it (made by the first write)
};
