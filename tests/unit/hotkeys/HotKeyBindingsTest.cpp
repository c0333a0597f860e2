// How a key press becomes a chord and how a chord is shown, conflicts between bindings, and the stored JSON of
// the bindings: a damaged member costs only itself, damaged data as a whole is refused.
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_set>

#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeyBindingsCoding.h"
#include "hotkeys/KeyChord.h"
#include "platform/Localizer.h"

namespace tessarapane {
namespace {

namespace coding = HotKeyBindingsCoding;
using Action = HotKeyAction;
constexpr std::uint32_t kCtrlOpt = 0x1800;

std::vector<std::uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

struct FormatLocalizer final : Localizer {
  std::string localized(std::string_view key) const override {
    if (key == "快捷键已被「%@」占用") return "100%% taken by %@ (%@)";
    return "T:" + std::string(key);
  }
};

TEST(HotKeyBindings, KeyPressesBecomeChordsShownWithTheirKeyNames) {
  const auto press = [](std::uint16_t code, std::uint64_t flags, KeyEvent::Type type = KeyEvent::Type::keyDown) {
    KeyEvent event;
    event.type = type;
    event.keyCode = code;
    event.modifierFlags = flags;
    return KeyChord::fromEvent(event);
  };
  const std::uint64_t noise = KeyEvent::kCapsLock | KeyEvent::kFunction | KeyEvent::kNumericPad | KeyEvent::kHelp |
                              (1ULL << 8) | (1ULL << 40);
  const std::uint64_t all = KeyEvent::kControl | KeyEvent::kOption | KeyEvent::kShift | KeyEvent::kCommand;
  EXPECT_EQ(press(123, KeyEvent::kControl | KeyEvent::kOption), (KeyChord{123, kCtrlOpt}));
  EXPECT_EQ(press(96, noise), (KeyChord{96, 0}));
  EXPECT_EQ(press(0xFFFF, noise | all), (KeyChord{0xFFFF, 0x1B00}));

  EXPECT_EQ((KeyChord{49, 0x1B00}).displayString(), "⌃⌥⇧⌘空格");
  EXPECT_EQ((KeyChord{36, 0x00FF | 0x0400 | 0x2000}).displayString(), "↩");
  std::string names;
  const std::uint32_t codes[] = {123, 124, 125, 126, 36, 53, 48, 51, 117, 24, 27, 30, 33, 41, 42, 43, 44, 47, 50, 39,
                                 0, 11, 8, 2, 14, 3, 5, 4, 34, 38, 40, 37, 46, 45, 31, 35, 12, 15, 1, 17, 32, 9, 13,
                                 7, 16, 6, 29, 18, 19, 20, 21, 23, 22, 26, 28, 25, 49, 122, 10, 127, 4294967295u};
  for (std::uint32_t code : codes) names += KeyChord::keyName(code) + " ";
  EXPECT_EQ(names, "← → ↓ ↑ ↩ ⎋ ⇥ ⌫ ⌦ = - ] [ ; \\ , / . ` ' A B C D E F G H I J K L M N O P Q R S T U V W X Y Z "
                   "0 1 2 3 4 5 6 7 8 9 空格 Key122 Key10 Key127 Key4294967295 ");

  EXPECT_EQ(conflictMessage(Action::fullScreen), "快捷键已被「全屏」占用");
  localization::install(std::make_shared<FormatLocalizer>());
  EXPECT_EQ(KeyChord::keyName(49), "T:空格");
  EXPECT_EQ(KeyChord::keyName(0), "A");  // letters are not looked up
  EXPECT_EQ(conflictMessage(Action::moveUp), "100% taken by T:移到上方 (%@)");  // only the first placeholder
  localization::install(nullptr);

  HotKeyBindings bindings = KeyChord::defaultBindings();
  const KeyChord left{123, kCtrlOpt};
  EXPECT_EQ(KeyChord::conflictingAction(left, Action::moveUp, bindings), Action::moveLeft);
  EXPECT_EQ(KeyChord::conflictingAction(left, Action::moveLeft, bindings), std::nullopt);  // its own chord
  EXPECT_EQ(KeyChord::conflictingAction({123, 0x1000}, Action::moveUp, bindings), std::nullopt);
  bindings[Action::fullScreen] = left;  // loaded data may hold a duplicate: the first other one in map order
  EXPECT_EQ(KeyChord::conflictingAction(left, Action::moveDown, bindings), Action::moveLeft);
  EXPECT_EQ(KeyChord::conflictingAction(left, Action::moveLeft, bindings), Action::fullScreen);

  EXPECT_EQ((std::unordered_set<KeyChord>{{123, kCtrlOpt}, {123, kCtrlOpt}, {kCtrlOpt, 123}, {123, 0}}).size(), 3u);
}

TEST(HotKeyBindings, StoredAsCompactJsonOfTheBoundActions) {
  const auto encoded = coding::encode(KeyChord::defaultBindings());
  const std::string text(encoded.begin(), encoded.end());
  EXPECT_EQ(text.find_first_of(" \n\t"), std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(text), nlohmann::json::parse(R"({
    "moveLeft": {"keyCode": 123, "carbonModifiers": 6144}, "moveRight": {"keyCode": 124, "carbonModifiers": 6144},
    "moveUp": {"keyCode": 126, "carbonModifiers": 6144}, "moveDown": {"keyCode": 125, "carbonModifiers": 6144},
    "fullScreen": {"keyCode": 36, "carbonModifiers": 6144}})"));
  EXPECT_EQ(coding::encode({}), bytes("{}"));
  const HotKeyBindings extremes = {{Action::fullScreen, {0, 0}}, {Action::moveLeft, {4294967295u, 4294967295u}}};
  EXPECT_EQ(coding::decode(coding::encode(extremes)), extremes);

  const auto decode = [](std::string_view data) { return coding::decode(data); };
  const auto left = [](std::uint32_t code) { return HotKeyBindings{{Action::moveLeft, {code, 6144}}}; };
  const auto leftCode = [&](const std::string& number) {
    return decode(R"({"moveLeft":{"keyCode":)" + number + R"(,"carbonModifiers":6144}})");
  };
  // Unknown members are skipped, extra chord keys ignored, escapes mean the same text, the later repeat counts.
  EXPECT_EQ(decode(R"({"moveLeft":{"keyCode":0,"carbonModifiers":6144,"label":"x"},"moveDiagonal":{"keyCode":1,)"
                   R"("carbonModifiers":2},"MoveUp":{"keyCode":3,"carbonModifiers":4}})"),
            left(0));
  EXPECT_EQ(decode(R"({"move\u0044own":{"keyCode":5,"carbonModifiers":6}})"), (HotKeyBindings{{Action::moveDown, {5, 6}}}));
  for (const char* whole : {"4294967295", "0", "-0", "123.0", "1.23e2"}) {
    EXPECT_EQ(leftCode(whole), left(static_cast<std::uint32_t>(std::stod(whole)))) << whole;
  }
  // A malformed member costs only itself, and says so; a chord another
  // action holds stays with the earlier action.
  const std::string leftMember = R"("moveLeft":{"keyCode":123,"carbonModifiers":6144})";
  const std::string deep = std::string(50000, '[') + std::string(50000, ']');
  for (const std::string& member :
       {std::string(R"("moveUp":{"keyCode":126})"), std::string(R"("moveUp":{"KeyCode":1,"carbonModifiers":6144})"),
        std::string(R"("moveUp":{"keyCode":"123","carbonModifiers":6144})"), std::string(R"("moveUp":[123,6144])"),
        std::string(R"("moveUp":{"keyCode":4294967296,"carbonModifiers":6144})"),
        std::string(R"("moveUp":{"keyCode":123.5,"carbonModifiers":6144})"), std::string(R"("future":true)"),
        R"("moveUp":{"keyCode":)" + deep + R"(,"carbonModifiers":1})",
        std::string(R"("moveUp":{"keyCode":123,"carbonModifiers":6144})")}) {
    std::vector<std::string> ignored;
    EXPECT_EQ(coding::decode(std::string_view("{" + member + "," + leftMember + "}"), &ignored), left(123)) << member;
    EXPECT_EQ(ignored.size(), 1u) << member;
  }
  // What is not one object is refused whole.
  for (const char* refused : {"[]", "null", "123", "", " ", "{", "{}}", "{} {}", "{/*c*/}", "NaN",
                              "{\"moveLeft\":{\"keyCode\":1,\"carbonModifiers\":1},}",
                              "{\"mo\xC3\x28\":{\"keyCode\":1,\"carbonModifiers\":1}}"}) {
    EXPECT_EQ(decode(refused), std::nullopt) << refused;
  }
  EXPECT_EQ(decode(std::string(100000, '[') + std::string(100000, ']')), std::nullopt);
  // A raw NUL inside is refused; NUL bytes at the end are only left out.
  const std::uint8_t inside[] = {'{', 0, '}'};
  const std::uint8_t after[] = {'{', '}', 0};
  EXPECT_EQ(coding::decode(std::span<const std::uint8_t>(inside)), std::nullopt);
  EXPECT_EQ(coding::decode(std::span<const std::uint8_t>(after)), HotKeyBindings{});

  // Defaults only before the first save; after it, missing or unreadable data means unbound.
  const HotKeyBindings defaults = KeyChord::defaultBindings();
  EXPECT_EQ(coding::load(false, std::nullopt), defaults);
  EXPECT_EQ(coding::load(false, bytes("{}")), defaults);
  EXPECT_EQ(coding::load(true, bytes(R"({"fullScreen":{"keyCode":36,"carbonModifiers":6144}})")),
            (HotKeyBindings{{Action::fullScreen, {36, 6144}}}));
  EXPECT_EQ(coding::load(true, coding::encode(defaults)), defaults);
}

}  // namespace
}  // namespace tessarapane
