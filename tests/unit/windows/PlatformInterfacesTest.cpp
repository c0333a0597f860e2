// Every platform header once, so each compiles on its own, plus the few
// inline helpers they carry.
#include "platform/AXAttributeValue.h"
#include "platform/AXElement.h"
#include "platform/AXError.h"
#include "platform/Accessibility.h"
#include "platform/Alerts.h"
#include "platform/HotKeys.h"
#include "platform/Input.h"
#include "platform/KeyEvent.h"
#include "platform/Localizer.h"
#include "platform/Log.h"
#include "platform/ManagedWindow.h"
#include "platform/Platform.h"
#include "platform/Scheduler.h"
#include "platform/Screens.h"
#include "platform/Subscription.h"
#include "platform/SystemEvents.h"
#include "platform/UserDefaults.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"

#include <gtest/gtest.h>

#include <utility>

namespace tessarapane {
namespace {

TEST(AXError, RawValuesAreThePlatformCodes) {
  EXPECT_EQ(rawValue(AXError::success), 0);
  EXPECT_EQ(rawValue(AXError::failure), -25200);
  EXPECT_EQ(rawValue(AXError::invalidUIElement), -25202);
  EXPECT_EQ(rawValue(AXError::cannotComplete), -25204);
  EXPECT_EQ(rawValue(AXError::attributeUnsupported), -25205);
  EXPECT_EQ(rawValue(AXError::actionUnsupported), -25206);
  EXPECT_EQ(rawValue(AXError::notImplemented), -25208);
  EXPECT_EQ(rawValue(AXError::notificationAlreadyRegistered), -25209);
  EXPECT_EQ(rawValue(AXError::apiDisabled), -25211);
  EXPECT_EQ(rawValue(AXError::noValue), -25212);

  // The named errors are exactly -25200 ... -25212, each once, in order.
  for (std::size_t i = 1; i < kAllAXErrors.size(); ++i) {
    EXPECT_EQ(rawValue(kAllAXErrors[i]), -25200 - static_cast<int>(i - 1));
  }
  for (AXError error : kAllAXErrors) EXPECT_EQ(fromRawValue<AXError>(rawValue(error)), error);
  EXPECT_EQ(fromRawValue<AXError>(-25213), std::nullopt);
  EXPECT_EQ(fromRawValue<AXError>(-25199), std::nullopt);
  EXPECT_EQ(fromRawValue<AXError>(1), std::nullopt);
}

TEST(AXAttributeValue, TellsTypesApart) {
  AXAttributeValue position = Point{10, 20};
  AXAttributeValue role = std::string("AXWindow");
  EXPECT_TRUE(std::holds_alternative<Point>(position));
  EXPECT_FALSE(std::holds_alternative<Size>(position));
  EXPECT_TRUE(std::holds_alternative<std::string>(role));
  // A string literal must become text, not a truth value.
  AXAttributeValue title = "Untitled";
  EXPECT_TRUE(std::holds_alternative<std::string>(title));
}

TEST(Subscription, CancelsExactlyOnceOnCancelMoveOrDestruction) {
  int cancelled = 0;
  {
    Subscription s([&] { ++cancelled; });
    EXPECT_TRUE(s.isActive());
    s.cancel();
    s.cancel();
    EXPECT_FALSE(s.isActive());
  }
  EXPECT_EQ(cancelled, 1);

  cancelled = 0;
  {
    Subscription a([&] { ++cancelled; });
    Subscription b(std::move(a));
    EXPECT_EQ(cancelled, 0);
    Subscription c;
    EXPECT_FALSE(c.isActive());
    int replaced = 0;
    c = Subscription([&] { ++replaced; });
    c = std::move(b);  // the handle it held is cancelled, the moved one kept
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(cancelled, 0);
  }
  EXPECT_EQ(cancelled, 1);
}

TEST(HotKeys, FourCharacterCodesPackBigEndian) {
  static_assert(fourCharCode("TsHk") == 0x5473486BU);
  EXPECT_EQ(fourCharCode("keyb"), 0x6B657962U);
  EXPECT_EQ(fourCharCode("----"), 0x2D2D2D2DU);
  // Control + Option, the default chords' modifiers.
  EXPECT_EQ(HotKeys::kControlKey | HotKeys::kOptionKey, 6144U);
}

}  // namespace
}  // namespace tessarapane
