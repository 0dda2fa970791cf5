#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/time_zone.h"

// A test that sets TZ and replaces the clock; both are put back afterwards.
class TimeZoneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* saved = std::getenv("TZ");
        hadZone_ = saved != nullptr;
        zone_ = saved ? saved : "";
    }
    void TearDown() override {
        if (hadZone_) {
            setenv("TZ", zone_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        PlatformSetClock(nullptr);
    }
    static void Zone(const char* name) {
        setenv("TZ", name, 1);
        tzset();
    }

  private:
    bool hadZone_ = false;
    std::string zone_;
};
