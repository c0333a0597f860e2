// Global hot keys and the global key monitor, pressed with xdotool.
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

#include <algorithm>

#include "X11Test.h"
#include "backends/x11/X11HotKeys.h"

namespace tessarapane::x11test {
namespace {

constexpr std::uint32_t kLeftArrow = 123;
constexpr std::uint32_t kKeyA = 0;
constexpr std::uint32_t kF5 = 96;

class HotKeysTest : public X11Test {
 protected:
  HotKeys& keys() { return *platform().hotKeys; }
  bool press(const std::string& chord) { return xdotool({"key", chord}); }
  bool sawKey(std::uint16_t keyCode) {
    return std::any_of(seen.begin(), seen.end(), [&](const KeyEvent& e) { return e.keyCode == keyCode; });
  }
  // The test's own grab of a key, as another program holding it.
  bool grabAsAnotherClient(xcb_keycode_t keycode, std::uint16_t modifiers) {
    xcb_connection_t* c = probe();
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
  void releaseAsAnotherClient(xcb_keycode_t keycode, std::uint16_t modifiers) {
    xcb_connection_t* c = probe();
    xcb_ungrab_key(c, keycode, root(), modifiers);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  }
  xcb_keycode_t keycodeOf(std::uint32_t keysym) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(probe());
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return code;
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
  const HotKeyRegistration registration =
      keys().registerHotKey(kLeftArrow, HotKeys::kControlKey | HotKeys::kOptionKey, id);
  ASSERT_EQ(registration.status, 0);
  ASSERT_TRUE(registration.ref);

  ASSERT_TRUE(press("ctrl+alt+Left"));
  ASSERT_TRUE(waitUntil([&] { return !pressed.empty(); }));
  // A second delivery would come before a key pressed afterwards.
  ASSERT_TRUE(press("a"));
  ASSERT_TRUE(waitUntil([&] { return sawKey(kKeyA); }));
  ASSERT_EQ(pressed.size(), 1U);
  EXPECT_EQ(pressed.front(), id);

  const auto chord = std::find_if(seen.begin(), seen.end(), [](const KeyEvent& e) { return e.keyCode == kLeftArrow; });
  ASSERT_NE(chord, seen.end());
  EXPECT_EQ(chord->type, KeyEvent::Type::keyDown);
  EXPECT_EQ(chord->modifierFlags, KeyEvent::kControl | KeyEvent::kOption);
  EXPECT_FALSE(chord->isRepeat);
  const auto plain = std::find_if(seen.begin(), seen.end(), [](const KeyEvent& e) { return e.keyCode == kKeyA; });
  EXPECT_EQ(plain->modifierFlags, 0U);

  // NumLock on does not break the chord.
  ASSERT_TRUE(press("Num_Lock"));
  ASSERT_TRUE(press("ctrl+alt+Left"));
  EXPECT_TRUE(waitUntil([&] { return pressed.size() == 2; }));
  ASSERT_TRUE(press("Num_Lock"));

  // Given back, the chord is no longer delivered.
  keys().unregisterHotKey(*registration.ref);
  seen.clear();
  ASSERT_TRUE(press("ctrl+alt+Left"));
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
  const xcb_keycode_t f5 = keycodeOf(0xffc2);
  ASSERT_NE(f5, 0);
  ASSERT_TRUE(grabAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
  const HotKeyID id{fourCharCode("TsHk"), 5};
  const std::uint32_t chord = HotKeys::kControlKey | HotKeys::kShiftKey;
  const HotKeyRegistration refused = keys().registerHotKey(kF5, chord, id);
  EXPECT_EQ(refused.status, X11HotKeys::kKeyTakenStatus);
  EXPECT_FALSE(refused.ref);
  EXPECT_EQ(keys().registerHotKey(5000, chord, id).status, X11HotKeys::kUnknownKeyStatus);

  // Nothing of the refused chord stayed grabbed: the other program can
  // take every lock variant, and once it lets go the chord registers.
  releaseAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
  EXPECT_TRUE(grabAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK));
  releaseAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK);
  const HotKeyRegistration taken = keys().registerHotKey(kF5, chord, id);
  ASSERT_EQ(taken.status, 0);
  EXPECT_FALSE(grabAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
  keys().unregisterHotKey(*taken.ref);
  EXPECT_TRUE(grabAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
  releaseAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);

  // A chord held through XInput2 does not refuse a core grab, yet it is
  // held: refused too, with nothing of it kept.
  ASSERT_TRUE(grabThroughXInputAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
  EXPECT_EQ(keys().registerHotKey(kF5, chord, id).status, X11HotKeys::kKeyTakenStatus);
  EXPECT_TRUE(grabAsAnotherClient(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK));

  // Local key monitors live in the toolkit's loop, not here.
  EXPECT_FALSE(keys().addLocalKeyDownMonitor([](const KeyEvent&) { return false; }).isActive());
}

}  // namespace
}  // namespace tessarapane::x11test
