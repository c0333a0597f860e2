// The accessibility interface over real clients of a real window manager.
#include <signal.h>

#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "windows/AXHelpers.h"

namespace tessarapane::x11test {
namespace {

class AccessibilityTest : public X11Test {
 protected:
  Accessibility& ax() { return *platform().accessibility; }
  AXElement window(const TestClient& client) {
    return X11Accessibility::windowElement(client.pid(), client.window);
  }
  std::optional<std::string> string(const AXElement& element, std::string_view attribute) {
    return AXHelpers::string(ax(), attribute, element);
  }
  std::optional<bool> boolean(const AXElement& element, std::string_view attribute) {
    return AXHelpers::boolean(ax(), attribute, element);
  }
};

TEST_F(AccessibilityTest, WindowAttributesComeFromTheClientsProperties) {
  auto normal = startClient({"--title", "窗口 Ärger", "--geometry", "400x300+100+120"});
  auto dialog = startClient({"--type", "dialog", "--title", "A dialog"});
  auto utility = startClient({"--type", "utility"});
  auto untyped = startClient({"--type", "none", "--no-delete-window"});
  ASSERT_TRUE(normal && dialog && utility && untyped);

  EXPECT_EQ(string(window(*normal), "AXRole"), "AXWindow");
  EXPECT_EQ(string(window(*normal), "AXSubrole"), "AXStandardWindow");
  EXPECT_EQ(string(window(*dialog), "AXSubrole"), "AXDialog");
  EXPECT_EQ(string(window(*utility), "AXSubrole"), "AXFloatingWindow");
  const AXCopyResult noType = ax().copyAttributeValue(window(*untyped), "AXSubrole");
  EXPECT_EQ(noType.error, AXError::noValue);
  EXPECT_EQ(string(window(*normal), "AXTitle"), "窗口 Ärger");

  // The close button stands for WM_DELETE_WINDOW.
  const AXCopyResult close = ax().copyAttributeValue(window(*normal), "AXCloseButton");
  ASSERT_EQ(close.error, AXError::success);
  const auto* button = std::get_if<AXElement>(&*close.value);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(string(*button, "AXRole"), "AXButton");
  EXPECT_EQ(boolean(*button, "AXEnabled"), true);
  EXPECT_EQ(ax().copyAttributeValue(window(*untyped), "AXCloseButton").error, AXError::noValue);

  // The application element lists the process's windows.
  const auto windows = AXHelpers::windows(ax(), ax().createApplication(normal->pid()));
  ASSERT_EQ(windows.size(), 1U);
  EXPECT_EQ(windows.front(), window(*normal));
}

TEST_F(AccessibilityTest, StatesSheetsAndFocus) {
  auto client = startClient({"--title", "Owner"});
  ASSERT_TRUE(client);
  const AXElement main = window(*client);
  const auto closeButton = [&] { return std::get<AXElement>(*ax().copyAttributeValue(main, "AXCloseButton").value); };
  EXPECT_EQ(boolean(closeButton(), "AXEnabled"), true);

  // A modal dialog of the window is its sheet and disables its close button.
  ASSERT_TRUE(client->command("dialog"));
  const auto dialog = client->waitForDialog();
  ASSERT_TRUE(dialog);
  const AXElement sheet = X11Accessibility::windowElement(client->pid(), *dialog);
  EXPECT_TRUE(waitUntil([&] {
    const AXCopyResult sheets = ax().copyAttributeValue(main, "AXSheets");
    return sheets.value && std::get<std::vector<AXElement>>(*sheets.value) == std::vector<AXElement>{sheet};
  }));
  EXPECT_EQ(boolean(sheet, "AXModal"), true);
  EXPECT_EQ(string(sheet, "AXSubrole"), "AXDialog");
  EXPECT_EQ(boolean(main, "AXModal"), false);
  EXPECT_EQ(boolean(closeButton(), "AXEnabled"), false);
  // The window manager gives the focus to the dialog.
  EXPECT_TRUE(waitUntil([&] {
    const AXCopyResult focused = ax().copyAttributeValue(ax().createApplication(client->pid()), "AXFocusedWindow");
    return focused.value && std::get<AXElement>(*focused.value) == sheet;
  }));

  ASSERT_TRUE(client->command("close-dialog"));
  EXPECT_TRUE(waitUntil([&] {
    const AXCopyResult sheets = ax().copyAttributeValue(main, "AXSheets");
    return sheets.value && std::get<std::vector<AXElement>>(*sheets.value).empty();
  }));
  EXPECT_EQ(boolean(closeButton(), "AXEnabled"), true);

  EXPECT_EQ(boolean(main, "AXFullScreen"), false);
  ASSERT_TRUE(client->command("fullscreen"));
  EXPECT_TRUE(waitUntil([&] { return boolean(main, "AXFullScreen") == true; }));
  ASSERT_TRUE(client->command("unfullscreen"));
  EXPECT_TRUE(waitUntil([&] { return boolean(main, "AXFullScreen") == false; }));
  EXPECT_EQ(boolean(main, "AXMinimized"), false);
  ASSERT_TRUE(client->command("minimize"));
  EXPECT_TRUE(waitUntil([&] { return boolean(main, "AXMinimized") == true; }));
}

TEST_F(AccessibilityTest, RaiseRestacksWithoutFocusing) {
  auto lower = startClient({"--geometry", "400x300+100+100"});
  auto upper = startClient({"--geometry", "400x300+150+150"});
  ASSERT_TRUE(lower && upper);
  ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == upper->window; }));
  ASSERT_EQ(ax().performAction(window(*lower), "AXRaise"), AXError::success);
  EXPECT_TRUE(waitUntil([&] { return !witnessStacking().empty() && witnessStacking().back() == lower->window; }));
  settle();
  EXPECT_EQ(witnessActiveWindow(), upper->window);
  EXPECT_EQ(ax().performAction(window(*lower), "AXPress"), AXError::actionUnsupported);
}

TEST_F(AccessibilityTest, FrameIsTheOuterFrameAsWitnessed) {
  auto client = startClient({"--geometry", "400x300+200+150"});
  ASSERT_TRUE(client);
  settle();
  const auto frame = AXHelpers::frame(ax(), window(*client));
  const auto witnessed = witnessFrame(client->window);
  ASSERT_TRUE(frame && witnessed);
  EXPECT_EQ(*frame, *witnessed);
  // Decorations make the outer frame larger than the client area.
  EXPECT_GT(frame->height(), 300.0);

  // A client that moves itself is read where it went.
  auto mover = startClient({"--geometry", "300x200+100+100", "--move-after-map", "500,400"});
  ASSERT_TRUE(mover);
  const AXElement moved = window(*mover);
  EXPECT_TRUE(waitUntil([&] {
    const auto now = AXHelpers::frame(ax(), moved);
    return now && now->origin == Point{500, 400};
  }));
  EXPECT_EQ(AXHelpers::frame(ax(), moved), witnessFrame(mover->window));
}

TEST_F(AccessibilityTest, AGoneWindowIsAnInvalidElement) {
  auto client = startClient({});
  ASSERT_TRUE(client);
  const AXElement element = window(*client);
  ASSERT_TRUE(client->command("quit"));
  ASSERT_TRUE(client->process.wait(5.0).has_value());
  EXPECT_TRUE(waitUntil([&] { return ax().copyAttributeValue(element, "AXRole").error == AXError::invalidUIElement; }));
  EXPECT_EQ(ax().copyAttributeValue(element, "AXPosition").error, AXError::invalidUIElement);
  EXPECT_EQ(ax().setAttributeValue(element, "AXPosition", Point{0, 0}), AXError::invalidUIElement);
  EXPECT_EQ(ax().performAction(element, "AXRaise"), AXError::invalidUIElement);
}

}  // namespace
}  // namespace tessarapane::x11test
