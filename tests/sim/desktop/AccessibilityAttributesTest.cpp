// What the simulated accessibility interface answers when read: the
// attributes window code depends on and the error codes that classify
// failures.
#include "SimDesktopFixture.h"

namespace tessarapane::testing {
namespace {

using AccessibilityAttributes = SimDesktopTest;

TEST_F(AccessibilityAttributes, ApplicationListsItsWindowsFrontMostFirstAndReportsFocus) {
  const ProcessID pid = launch("Editor");
  const WindowID first = open(pid, "one");
  const WindowID second = open(pid, "two");
  open(launch("Other"), "elsewhere");
  const WindowID sheet = desktop->attachSheet(first, Rect(150, 120, 400, 200));
  ASSERT_NE(sheet, 0U);  // attaching raised `first` above `second`

  const AXElement app = appElement(pid);
  auto windows = readAs<std::vector<AXElement>>(app, "AXWindows");
  ASSERT_TRUE(windows);
  // Own windows only, sheets left out, in the application's front-to-back order.
  EXPECT_EQ(*windows, (std::vector<AXElement>{element(first), element(second)}));

  // The last created window took the focus; elements are equal across calls.
  EXPECT_EQ(readAs<AXElement>(app, "AXFocusedWindow"), element(second));
  EXPECT_EQ(readAs<AXElement>(app, "AXMainWindow"), element(second));
  EXPECT_EQ(readAs<std::string>(app, "AXRole"), "AXApplication");
}

TEST_F(AccessibilityAttributes, WindowAttributesHaveThePlatformTypes) {
  const ProcessID pid = launch("Editor");
  SimWindowSpec desc;
  desc.owner = pid;
  desc.title = "Draft";
  desc.frame = Rect(10, 40, 640, 480);
  desc.subrole.reset();
  desc.modal = true;
  desc.zoomButton.present = false;
  desc.minimizeButton.enabled = false;
  const AXElement window = element(desktop->createWindow(desc));

  EXPECT_EQ(readAs<std::string>(window, "AXRole"), "AXWindow");
  EXPECT_EQ(readAs<std::string>(window, "AXTitle"), "Draft");
  EXPECT_EQ(readAs<Point>(window, "AXPosition"), (Point{10, 40}));
  EXPECT_EQ(readAs<Size>(window, "AXSize"), (Size{640, 480}));
  EXPECT_EQ(readAs<bool>(window, "AXModal"), true);
  EXPECT_EQ(readAs<bool>(window, "AXMinimized"), false);
  EXPECT_EQ(readAs<bool>(window, "AXFullScreen"), false);
  EXPECT_EQ(readAs<std::vector<AXElement>>(window, "AXSheets"), std::vector<AXElement>{});
  // Absent subrole and absent control: an error, no value.
  EXPECT_EQ(read(window, "AXSubrole").error, AXError::noValue);
  EXPECT_FALSE(read(window, "AXSubrole").value);
  EXPECT_EQ(read(window, "AXZoomButton").error, AXError::noValue);
  EXPECT_EQ(read(window, "AXNoSuchThing").error, AXError::attributeUnsupported);
  // A position is not a size: typed readers see absence.
  EXPECT_FALSE(readAs<Size>(window, "AXPosition"));

  const auto minimize = readAs<AXElement>(window, "AXMinimizeButton");
  ASSERT_TRUE(minimize);
  EXPECT_EQ(minimize->kind, AXElementKind::control);
  EXPECT_EQ(readAs<bool>(*minimize, "AXEnabled"), false);
  EXPECT_EQ(readAs<bool>(closeButton(window), "AXEnabled"), true);
  EXPECT_EQ(readAs<std::string>(closeButton(window), "AXRole"), "AXButton");
}

TEST_F(AccessibilityAttributes, ElementsOfADestroyedWindowAnswerInvalidElementToEverything) {
  const ProcessID pid = launch("Editor");
  const WindowID number = open(pid, "doomed");
  const AXElement window = element(number);
  const AXElement close = closeButton(window);
  desktop->closeWindow(number);

  for (const char* attribute : {"AXRole", "AXSubrole", "AXTitle", "AXPosition", "AXSize", "AXMinimized",
                                "AXFullScreen", "AXModal", "AXSheets", "AXCloseButton", "AXNoSuchThing"}) {
    const AXCopyResult result = read(window, attribute);
    EXPECT_EQ(result.error, AXError::invalidUIElement) << attribute;
    EXPECT_FALSE(result.value) << attribute;
  }
  EXPECT_EQ(read(close, "AXEnabled").error, AXError::invalidUIElement);
  EXPECT_EQ(ax.performAction(close, "AXPress"), AXError::invalidUIElement);
  EXPECT_EQ(ax.performAction(window, "AXRaise"), AXError::invalidUIElement);
  EXPECT_EQ(ax.setAttributeValue(window, "AXPosition", Point{0, 0}), AXError::invalidUIElement);
  EXPECT_EQ(ax.isAttributeSettable(window, "AXSize").error, AXError::invalidUIElement);
  // The number is never handed out again, so the old element stays dead.
  SimWindowSpec reuse;
  reuse.owner = pid;
  reuse.number = number;
  EXPECT_EQ(desktop->createWindow(reuse), 0U);
  EXPECT_EQ(read(window, "AXRole").error, AXError::invalidUIElement);
}

TEST_F(AccessibilityAttributes, QuitApplicationTakesItsElementsWithIt) {
  const ProcessID pid = launch("Editor");
  const AXElement window = element(open(pid, "w"));
  desktop->quitApplication(pid);
  EXPECT_EQ(read(window, "AXRole").error, AXError::invalidUIElement);
  EXPECT_EQ(read(appElement(pid), "AXWindows").error, AXError::invalidUIElement);
}

TEST_F(AccessibilityAttributes, UnresponsiveApplicationCannotCompleteAndRecovers) {
  const ProcessID pid = launch("Hung");
  const AXElement window = element(open(pid, "w"));
  desktop->setAnswersAccessibility(pid, false);

  EXPECT_EQ(read(appElement(pid), "AXWindows").error, AXError::cannotComplete);
  EXPECT_EQ(read(window, "AXRole").error, AXError::cannotComplete);
  EXPECT_EQ(ax.setAttributeValue(window, "AXSize", Size{300, 300}), AXError::cannotComplete);
  EXPECT_EQ(ax.performAction(window, "AXRaise"), AXError::cannotComplete);
  EXPECT_EQ(axFrame(window), std::nullopt);

  desktop->setAnswersAccessibility(pid, true);
  EXPECT_EQ(readAs<std::string>(window, "AXRole"), "AXWindow");
}

TEST_F(AccessibilityAttributes, WithoutTrustEveryCallIsDisabled) {
  const ProcessID pid = launch("Editor");
  const WindowID number = open(pid, "w");
  const AXElement window = element(number);
  desktop->setProcessTrusted(false);

  EXPECT_FALSE(ax.isProcessTrusted());
  EXPECT_FALSE(ax.isProcessTrustedWithPrompt());
  EXPECT_EQ(desktop->permissionPrompts(), 1);
  EXPECT_EQ(read(window, "AXRole").error, AXError::apiDisabled);
  EXPECT_EQ(ax.performAction(closeButton(window), "AXPress"), AXError::apiDisabled);
  EXPECT_EQ(ax.createObserver(pid, [](AXObserver, const AXElement&, const std::string&) {}).error,
            AXError::apiDisabled);
  EXPECT_TRUE(desktop->windowExists(number));  // the press did nothing
}

TEST_F(AccessibilityAttributes, SettableFlagsFollowTheWindow) {
  const ProcessID pid = launch("Editor");
  SimWindowSpec desc;
  desc.owner = pid;
  desc.sizeSettable = false;  // a fixed-size window
  const AXElement window = element(desktop->createWindow(desc));

  EXPECT_EQ(ax.isAttributeSettable(window, "AXPosition").settable, true);
  EXPECT_EQ(ax.isAttributeSettable(window, "AXSize").settable, false);
  EXPECT_EQ(ax.isAttributeSettable(window, "AXSize").error, AXError::success);
  EXPECT_EQ(ax.isAttributeSettable(window, "AXTitle").settable, false);
  EXPECT_EQ(ax.isAttributeSettable(appElement(pid), "AXFocusedWindow").settable, true);
  EXPECT_EQ(ax.isAttributeSettable(window, "AXBogus").error, AXError::attributeUnsupported);

  // The write itself is refused and changes nothing.
  EXPECT_EQ(ax.setAttributeValue(window, "AXSize", Size{10, 10}), AXError::attributeUnsupported);
  EXPECT_EQ(axFrame(window), desc.frame);
}

TEST_F(AccessibilityAttributes, FocusWritesMoveFocusWithinTheApplicationOnly) {
  const ProcessID pid = launch("Editor");
  const WindowID first = open(pid, "one");
  const WindowID second = open(pid, "two");
  const ProcessID other = launch("Other");
  desktop->activateApplication(other);

  EXPECT_EQ(ax.setAttributeValue(appElement(pid), "AXFocusedWindow", element(first)), AXError::success);
  EXPECT_EQ(readAs<AXElement>(appElement(pid), "AXFocusedWindow"), element(first));
  EXPECT_EQ(readAs<AXElement>(appElement(pid), "AXMainWindow"), element(second));
  EXPECT_EQ(desktop->frontmostApplication(), other);
  EXPECT_EQ(desktop->stackingOrder().front(), second);  // focus alone raises nothing

  EXPECT_EQ(ax.setAttributeValue(element(second), "AXMain", true), AXError::success);
  EXPECT_EQ(readAs<AXElement>(appElement(pid), "AXMainWindow"), element(second));
  EXPECT_EQ(readAs<bool>(element(second), "AXMain"), true);
  // Another application's window, or a value of the wrong type, is refused.
  const AXElement foreign = element(open(other, "x"));
  EXPECT_EQ(ax.setAttributeValue(appElement(pid), "AXFocusedWindow", foreign), AXError::illegalArgument);
  EXPECT_EQ(ax.setAttributeValue(element(first), "AXMain", std::string("yes")), AXError::illegalArgument);
}

}  // namespace
}  // namespace tessarapane::testing
