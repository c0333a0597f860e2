#include "text/Utf8Text.h"

#include <gtest/gtest.h>

#include <string>

namespace tessarapane {
namespace {

constexpr const char* kFFFD = "\xEF\xBF\xBD";

TEST(Utf8TextTest, HostileBytesBecomeReplacementCharactersAndValidTextStays) {
  const std::string valid = "caf\xC3\xA9 \xDF\xBF \xE2\x82\xAC \xF0\x9F\x98\x80";
  EXPECT_EQ(Utf8Text::valid(valid), valid);
  // One U+FFFD per maximal ill-formed part: a stray continuation, a lead
  // without its continuation, a surrogate, an overlong form, past U+10FFFF.
  EXPECT_EQ(Utf8Text::valid("a\x80" "b\xC3(c\xED\xA0\x80" "d\xC0\xAF" "e\xF4\x90\x80\x80" "f\xE2\x82"),
            std::string("a") + kFFFD + "b" + kFFFD + "(c" + kFFFD + kFFFD + kFFFD + "d" + kFFFD + kFFFD + "e" +
                kFFFD + kFFFD + kFFFD + kFFFD + "f" + kFFFD);
  // A reader's length limit cut the last character: it goes, whole.
  EXPECT_EQ(Utf8Text::valid("ab\xE2\x82", true), "ab");
  EXPECT_EQ(Utf8Text::valid("ab\xFF", true), std::string("ab") + kFFFD);
  EXPECT_TRUE(Utf8Text::isValid(valid));
  EXPECT_FALSE(Utf8Text::isValid("\xC3"));
}

TEST(Utf8TextTest, CutsCountCharactersAndNeverSplitOne) {
  const std::string text = "\xE4\xB8\xAD\xE6\x96\x87xy";  // two CJK characters, then "xy"
  EXPECT_EQ(Utf8Text::prefix(text, 1), "\xE4\xB8\xAD");
  EXPECT_EQ(Utf8Text::prefix(text, 3), "\xE4\xB8\xAD\xE6\x96\x87x");
  EXPECT_EQ(Utf8Text::prefix(text, 9), text);
  EXPECT_EQ(Utf8Text::quoted(text, 2), "\"\xE4\xB8\xAD\xE6\x96\x87…\"");
  EXPECT_EQ(Utf8Text::quoted("xy", 2), "\"xy\"");
}

}  // namespace
}  // namespace tessarapane
