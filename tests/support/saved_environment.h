#pragma once

// Environment variables a test changes, put back as they were (set to their
// value or unset) when the object goes, whether the test ends or fails.

#include <stdlib.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class SavedEnvironment {
  public:
    explicit SavedEnvironment(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* value = getenv(name);
            saved_.emplace_back(
                name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~SavedEnvironment() {
        for (const auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
