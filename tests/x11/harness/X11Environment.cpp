#include "X11Environment.h"

#include <string>
#include <utility>
#include <vector>

namespace tessarapane::x11test {

namespace {

// Deleted by TearDown only, never by a static destructor: a death test's
// child that exits must not take the parent's display down with it.
XSession*& current() {
  static XSession* session = nullptr;
  return session;
}

std::vector<std::function<void(XSession::Options&)>>& changes() {
  static std::vector<std::function<void(XSession::Options&)>> list;
  return list;
}

}  // namespace

X11Environment::Configure::Configure(std::function<void(XSession::Options&)> change) {
  changes().push_back(std::move(change));
}

void X11Environment::SetUp() {
  XSession::Options options;
  for (const auto& change : changes()) change(options);
  std::string error;
  current() = XSession::start(options, &error).release();
  ASSERT_TRUE(current() != nullptr) << "cannot start the test desktop: " << error;
}

void X11Environment::TearDown() {
  delete current();
  current() = nullptr;
}

XSession& X11Environment::session() { return *current(); }

}  // namespace tessarapane::x11test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new tessarapane::x11test::X11Environment());
  return RUN_ALL_TESTS();
}
