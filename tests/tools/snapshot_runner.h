#pragma once

// Runs nocturo-snapshot as a user does and reads back its pictures.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "tests/scene/picture_files.h"
#include "tools/png_file.h"
#include "tools/snapshot_options.h"

inline const std::string kTool = std::string(NOCTURO_BINARY_DIR) + "/bin/nocturo-snapshot";

struct ToolRun {
    int status = -1;
    std::string error;
};

class Snapshot : public ::testing::Test {
  protected:
    std::string folder = TemporaryFolder();

    void SetUp() override {
        // A store of its own, so that the user's settings play no part.
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        setenv(kRegistryStoreEnvironment, (folder + "/registry").c_str(), 1);
    }

    // Runs the tool; `prefix` goes before it on the shell's command line.
    ToolRun Start(const std::string& arguments, const std::string& prefix = "") {
        const std::string errors = folder + "/stderr.txt";
        const std::string command =
            "(" + prefix + "'" + kTool + "' " + arguments + ") 2>'" + errors + "'";
        ToolRun run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream in(errors);
        std::stringstream text;
        text << in.rdbuf();
        run.error = text.str();
        return run;
    }

    // Draws a picture and reads it back.
    bool Draw(const std::string& arguments, std::vector<uint8_t>& rgba, int32_t& width,
              int32_t& height) {
        const std::string out = folder + "/out.png";
        std::remove(out.c_str());
        const ToolRun run = Start(arguments + " -o '" + out + "'");
        EXPECT_EQ(run.status, 0) << arguments << ": " << run.error;
        return run.status == 0 && ReadPngFile(out, width, height, rgba) == 1;
    }
};

// Grey level at pixel (column, row from the top).
inline int Grey(const std::vector<uint8_t>& rgba, int32_t width, int32_t column, int32_t row) {
    const size_t i = (static_cast<size_t>(row) * width + column) * 4;
    return (rgba[i] + rgba[i + 1] + rgba[i + 2]) / 3;
}
