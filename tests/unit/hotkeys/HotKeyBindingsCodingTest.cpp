#include "hotkeys/HotKeyBindingsCoding.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tessarapane {
namespace {

namespace coding = HotKeyBindingsCoding;

std::vector<std::uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(HotKeyBindingsCodingTest, EncodesCompactObjectOfBoundActionsOnly) {
  const std::vector<std::uint8_t> data = coding::encode(KeyChord::defaultBindings());
  const std::string text(data.begin(), data.end());
  EXPECT_EQ(text.find_first_of(" \n\t"), std::string::npos);

  const auto parsed = nlohmann::json::parse(text);
  const auto expected = nlohmann::json::parse(R"({
    "moveLeft": {"keyCode": 123, "carbonModifiers": 6144},
    "moveRight": {"keyCode": 124, "carbonModifiers": 6144},
    "moveUp": {"keyCode": 126, "carbonModifiers": 6144},
    "moveDown": {"keyCode": 125, "carbonModifiers": 6144},
    "fullScreen": {"keyCode": 36, "carbonModifiers": 6144}})");
  EXPECT_EQ(parsed, expected);

  const HotKeyBindings partial = {{HotKeyAction::moveUp, {4294967295u, 0}}};
  const auto one = nlohmann::json::parse(coding::encode(partial));
  EXPECT_EQ(one, nlohmann::json::parse(R"({"moveUp":{"keyCode":4294967295,"carbonModifiers":0}})"));
  EXPECT_EQ(coding::encode({}), bytes("{}"));
}

TEST(HotKeyBindingsCodingTest, RoundTripsAnyBindings) {
  const HotKeyBindings samples[] = {
      {},
      KeyChord::defaultBindings(),
      {{HotKeyAction::fullScreen, {0, 0}}, {HotKeyAction::moveLeft, {4294967295u, 4294967295u}}},
  };
  for (const auto& bindings : samples) EXPECT_EQ(coding::decode(coding::encode(bindings)), bindings);
}

TEST(HotKeyBindingsCodingTest, UnknownMembersAreSkippedAndExtraChordKeysIgnored) {
  const auto decoded = coding::decode(std::string_view(R"({
    "moveLeft": {"keyCode": 0, "carbonModifiers": 256, "label": "x"},
    "moveDiagonal": {"keyCode": 1, "carbonModifiers": 2},
    "MoveUp": {"keyCode": 3, "carbonModifiers": 4}})"));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, (HotKeyBindings{{HotKeyAction::moveLeft, {0, 256}}}));

  // Escaped member names mean the same text.
  EXPECT_EQ(coding::decode(std::string_view(R"({"move\u0044own":{"keyCode":5,"carbonModifiers":6}})")),
            (HotKeyBindings{{HotKeyAction::moveDown, {5, 6}}}));
  // A repeated member: the later one counts.
  EXPECT_EQ(coding::decode(std::string_view(
                R"({"moveUp":{"keyCode":1,"carbonModifiers":1},"moveUp":{"keyCode":2,"carbonModifiers":2}})")),
            (HotKeyBindings{{HotKeyAction::moveUp, {2, 2}}}));
  EXPECT_EQ(coding::decode(std::string_view("{}")), HotKeyBindings{});
  EXPECT_EQ(coding::decode(std::string_view("\xEF\xBB\xBF{}")), HotKeyBindings{});
}

TEST(HotKeyBindingsCodingTest, NumbersMustBeWholeAndFitIn32Bits) {
  auto decodeKeyCode = [](const std::string& number) {
    return coding::decode(std::string_view(R"({"moveLeft":{"keyCode":)" + number + R"(,"carbonModifiers":6144}})"));
  };
  EXPECT_EQ(decodeKeyCode("4294967295"), (HotKeyBindings{{HotKeyAction::moveLeft, {4294967295u, 6144}}}));
  EXPECT_EQ(decodeKeyCode("0"), (HotKeyBindings{{HotKeyAction::moveLeft, {0, 6144}}}));
  EXPECT_EQ(decodeKeyCode("-0"), (HotKeyBindings{{HotKeyAction::moveLeft, {0, 6144}}}));
  EXPECT_EQ(decodeKeyCode("123.0"), (HotKeyBindings{{HotKeyAction::moveLeft, {123, 6144}}}));
  EXPECT_EQ(decodeKeyCode("1.23e2"), (HotKeyBindings{{HotKeyAction::moveLeft, {123, 6144}}}));
  for (const char* bad : {"4294967296", "18446744073709551615", "18446744073709551616", "1e300", "-1",
                          "-9223372036854775808", "123.5", "1e-1", "4294967295.5", "1e400"}) {
    EXPECT_FALSE(decodeKeyCode(bad).value_or(HotKeyBindings{}).contains(HotKeyAction::moveLeft)) << bad;
  }
}

TEST(HotKeyBindingsCodingTest, AMalformedMemberCostsOnlyItselfButDataThatIsNoObjectIsRefused) {
  const std::string left = R"("moveLeft":{"keyCode":123,"carbonModifiers":6144})";
  const std::string deep = std::string(50000, '[') + std::string(50000, ']');
  const std::string malformed[] = {
      R"("moveUp":{"keyCode":126})", R"("moveUp":{"KeyCode":1,"carbonModifiers":6144})",
      R"("moveUp":{"keyCode":"123","carbonModifiers":6144})", R"("moveUp":{"keyCode":null,"carbonModifiers":1})",
      R"("moveUp":[123,6144])", R"("future":true)", R"("moveUp":{"keyCode":)" + deep + R"(,"carbonModifiers":1})",
      // the chord moveLeft holds: the earlier action keeps it
      R"("moveUp":{"keyCode":123,"carbonModifiers":6144})"};
  for (const std::string& member : malformed) {
    std::vector<std::string> ignored;
    EXPECT_EQ(coding::decode(std::string_view("{" + member + "," + left + "}"), &ignored),
              (HotKeyBindings{{HotKeyAction::moveLeft, {123, 6144}}}))
        << member;
    EXPECT_EQ(ignored.size(), 1u) << member;
  }
  const char* const refused[] = {
      // not one object
      "[]", "null", "123", "\"moveLeft\"", "true",
      // not JSON
      "", " ", "{", "{}}", "{} {}", "{\"moveLeft\":{\"keyCode\":1,\"carbonModifiers\":1},}", "{/*c*/}",
      "\xFF\xFE{\x00}\x00", "{\"mo\xC3\x28\":{\"keyCode\":1,\"carbonModifiers\":1}}", "NaN",
  };
  for (const char* text : refused) EXPECT_FALSE(coding::decode(std::string_view(text)).has_value()) << text;
  EXPECT_FALSE(coding::decode(std::string_view(deep)).has_value());
  // A raw NUL inside is refused; NUL bytes at the end are only left out.
  const std::uint8_t inside[] = {'{', 0, '}'};
  const std::uint8_t after[] = {'{', '}', 0, 0};
  EXPECT_FALSE(coding::decode(std::span<const std::uint8_t>(inside)).has_value());
  EXPECT_EQ(coding::decode(std::span<const std::uint8_t>(after)), HotKeyBindings{});
}

TEST(HotKeyBindingsCodingTest, LoadUsesDefaultsOnlyBeforeTheFirstSave) {
  const HotKeyBindings defaults = KeyChord::defaultBindings();
  EXPECT_EQ(coding::load(false, std::nullopt), defaults);
  // Data without the saved flag is not looked at.
  EXPECT_EQ(coding::load(false, bytes("{}")), defaults);

  EXPECT_EQ(coding::load(true, std::nullopt), HotKeyBindings{});
  EXPECT_EQ(coding::load(true, bytes("{}")), HotKeyBindings{});
  EXPECT_EQ(coding::load(true, bytes("not json")), HotKeyBindings{});
  EXPECT_EQ(coding::load(true, bytes("")), HotKeyBindings{});
  // Missing actions stay unbound; defaults are not merged back in.
  EXPECT_EQ(coding::load(true, bytes(R"({"fullScreen":{"keyCode":36,"carbonModifiers":6144}})")),
            (HotKeyBindings{{HotKeyAction::fullScreen, {36, 6144}}}));
  EXPECT_EQ(coding::load(true, coding::encode(defaults)), defaults);
}

}  // namespace
}  // namespace tessarapane
