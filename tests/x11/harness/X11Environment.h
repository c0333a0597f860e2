#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "XSession.h"

namespace tessarapane::x11test {

// Starts this test executable's private desktop before its first test and
// stops it after the last. Listing the tests starts nothing.
class X11Environment : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

  // The running session; tests only run while it exists.
  static XSession& session();

  // Changes the options before the session starts; a file-level static
  // object of a test executable uses it (a session bus, another screen size).
  struct Configure {
    explicit Configure(std::function<void(XSession::Options&)> change);
  };
};

}  // namespace tessarapane::x11test
