// Global hot keys and the global key monitor, pressed with xdotool, and
// chords another program holds (a core grab, or an XInput2 one as mutter's).
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

#include <algorithm>

#include "X11Test.h"
#include "backends/x11/X11HotKeys.h"

namespace tessarapane::x11test {
namespace {

constexpr std::uint32_t kLeftArrow = 123, kKeyA = 0, kF5 = 96;

class HotKeysTest : public X11Test {
 protected:
  HotKeys& keys() { return *platform().hotKeys; }
  bool sawKey(std::uint16_t keyCode) { return std::ranges::count(seen, keyCode, &KeyEvent::keyCode) != 0; }
  // The test's own grab of a key, as another program holding it; `on` false gives it back.
  bool grabAsAnotherClient(xcb_keycode_t keycode, std::uint16_t modifiers, bool on = true) {
    xcb_connection_t* c = probe();
    if (!on) return !xcb_request_check(c, xcb_ungrab_key_checked(c, keycode, root(), modifiers));
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_grab_key_checked(c, 1, root(), modifiers, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::free(error);
    return error == nullptr;
  }
  // The same through XInput2, as mutter grabs its chords.
  bool grabThroughXInputAsAnotherClient(xcb_keycode_t keycode, std::uint32_t modifiers) {
    xcb_connection_t* c = probe();
    std::free(xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr));
    const std::uint32_t mask = XCB_INPUT_XI_EVENT_MASK_KEY_PRESS;
    xcb_input_xi_passive_grab_device_reply_t* reply = xcb_input_xi_passive_grab_device_reply(
        c, xcb_input_xi_passive_grab_device(c, XCB_CURRENT_TIME, root(), XCB_CURSOR_NONE, keycode,
                                            XCB_INPUT_DEVICE_ALL_MASTER, 1, 1, XCB_INPUT_GRAB_TYPE_KEYCODE,
                                            XCB_INPUT_GRAB_MODE_22_ASYNC, XCB_INPUT_GRAB_MODE_22_ASYNC,
                                            XCB_INPUT_GRAB_OWNER_NO_OWNER, &mask, &modifiers),
        nullptr);
    const bool grabbed = reply && reply->num_modifiers == 0;
    std::free(reply);
    return grabbed;
  }

  std::vector<KeyEvent> seen;
};

TEST_F(HotKeysTest, AGrabbedChordIsDeliveredOnceAndSeenByTheMonitorAndButtonsAreRead) {
  std::vector<HotKeyID> pressed;
  Subscription handler = keys().installHotKeyPressedHandler([&](HotKeyID id) {
    pressed.push_back(id);
    return true;
  });
  Subscription monitor = keys().addGlobalKeyDownMonitor([&](const KeyEvent& e) { seen.push_back(e); });
  ASSERT_TRUE(handler.isActive() && monitor.isActive());
  const HotKeyID id{fourCharCode("TsHk"), 1};
  const HotKeyRegistration registration = keys().registerHotKey(kLeftArrow, HotKeys::kControlKey | HotKeys::kOptionKey, id);
  ASSERT_TRUE(registration.status == 0 && registration.ref);

  ASSERT_TRUE(xdotool({"key", "ctrl+alt+Left"}));
  ASSERT_TRUE(waitUntil([&] { return !pressed.empty(); }));
  // A second delivery would come before a key pressed afterwards.
  ASSERT_TRUE(xdotool({"key", "a"}));
  ASSERT_TRUE(waitUntil([&] { return sawKey(kKeyA); }));
  EXPECT_EQ(pressed, std::vector<HotKeyID>{id});
  const auto describe = [](const KeyEvent& e) {
    return std::make_tuple(e.keyCode, e.type == KeyEvent::Type::keyDown, e.modifierFlags, e.isRepeat);
  };
  std::vector<std::tuple<std::uint16_t, bool, std::uint64_t, bool>> described;
  std::ranges::transform(seen, std::back_inserter(described), describe);
  EXPECT_EQ(described, (decltype(described){{kLeftArrow, true, KeyEvent::kControl | KeyEvent::kOption, false}, {kKeyA, true, 0, false}}));

  // NumLock on does not break the chord.
  ASSERT_TRUE(xdotool({"key", "Num_Lock", "ctrl+alt+Left", "Num_Lock"}));
  EXPECT_TRUE(waitUntil([&] { return pressed.size() == 2; }));

  // Given back, the chord is no longer delivered.
  keys().unregisterHotKey(*registration.ref);
  seen.clear();
  ASSERT_TRUE(xdotool({"key", "ctrl+alt+Left"}));
  ASSERT_TRUE(waitUntil([&] { return sawKey(kLeftArrow); }));
  EXPECT_EQ(pressed.size(), 2U);

  // The pressed mouse buttons, as the pointer's state tells them.
  Input& input = *platform().input;
  EXPECT_EQ(input.pressedMouseButtons(), 0U);
  ASSERT_TRUE(xdotool({"mousedown", "1"}));
  EXPECT_TRUE(waitUntil([&] { return input.pressedMouseButtons() == Input::kPrimaryButton; }));
  ASSERT_TRUE(xdotool({"mouseup", "1"}));
  EXPECT_TRUE(waitUntil([&] { return input.pressedMouseButtons() == 0U; }));
}

TEST_F(HotKeysTest, AKeyAnotherProgramHoldsFailsAndIsFreeAgainWhenGivenBack) {
  xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(probe());
  xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0xffc2);  // F5
  const xcb_keycode_t f5 = codes ? codes[0] : 0;
  std::free(codes);
  xcb_key_symbols_free(symbols);
  ASSERT_NE(f5, 0);
  const std::uint16_t mask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT, locked = mask | XCB_MOD_MASK_LOCK;
  ASSERT_TRUE(grabAsAnotherClient(f5, mask));
  const HotKeyID id{fourCharCode("TsHk"), 5};
  const std::uint32_t chord = HotKeys::kControlKey | HotKeys::kShiftKey;
  const HotKeyRegistration refused = keys().registerHotKey(kF5, chord, id);
  EXPECT_EQ(refused.status, X11HotKeys::kKeyTakenStatus);
  EXPECT_FALSE(refused.ref);
  EXPECT_EQ(keys().registerHotKey(5000, chord, id).status, X11HotKeys::kUnknownKeyStatus);

  // Nothing of the refused chord stayed grabbed: the other program can
  // take every lock variant, and once it lets go the chord registers.
  EXPECT_TRUE(grabAsAnotherClient(f5, mask, false) && grabAsAnotherClient(f5, locked) && grabAsAnotherClient(f5, locked, false));
  const HotKeyRegistration taken = keys().registerHotKey(kF5, chord, id);
  ASSERT_EQ(taken.status, 0);
  EXPECT_FALSE(grabAsAnotherClient(f5, mask));
  keys().unregisterHotKey(*taken.ref);
  EXPECT_TRUE(grabAsAnotherClient(f5, mask) && grabAsAnotherClient(f5, mask, false));

  // A chord held through XInput2 does not refuse a core grab, yet it is
  // held: refused too, with nothing of it kept.
  ASSERT_TRUE(grabThroughXInputAsAnotherClient(f5, mask));
  EXPECT_EQ(keys().registerHotKey(kF5, chord, id).status, X11HotKeys::kKeyTakenStatus);
  EXPECT_TRUE(grabAsAnotherClient(f5, locked));

}

}  // namespace
}  // namespace tessarapane::x11test
