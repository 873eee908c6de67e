#include <gtest/gtest.h>

#include "Utf8Text.h"

namespace sekora {
namespace {

TEST(Utf8Text, Validity) {
  EXPECT_TRUE(IsValidUtf8("abc 函渠 \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE5\x87"));          // cut short
}

// Characters that change what a screen shows without being seen.
TEST(Utf8Text, HiddenControlCharacters) {
  EXPECT_EQ(FirstHiddenControl("函渠 No.1\tA\nB"), std::nullopt);
  EXPECT_EQ(FirstHiddenControl(std::string("A\0B", 3)), U'\0');
  EXPECT_EQ(FirstHiddenControl("A\x1b[31mB"), char32_t{0x1B});
  EXPECT_EQ(FirstHiddenControl("A\rB"), char32_t{0x0D});
  EXPECT_EQ(FirstHiddenControl("A\x7F"), char32_t{0x7F});
  EXPECT_EQ(FirstHiddenControl("A\xC2\x85"), char32_t{0x85});  // NEL
  EXPECT_EQ(FirstHiddenControl("abc\xE2\x80\xAEgpj.exe"),
            char32_t{0x202E});                                       // right-to-left override
  EXPECT_EQ(FirstHiddenControl("\xE2\x81\xA6x"), char32_t{0x2066});  // left-to-right isolate
  EXPECT_EQ(FirstHiddenControl("\xE2\x80\x8F"), char32_t{0x200F});   // right-to-left mark
  EXPECT_EQ(FirstHiddenControl("\xE2\x80\x94"), std::nullopt);       // an em dash is text
  EXPECT_EQ(CharacterName(0x202E), "U+202E");
  EXPECT_EQ(CharacterName(0x1B), "U+001B");
}

TEST(Utf8Text, PrintableTextShowsEveryCharacterOnOneLine) {
  EXPECT_EQ(PrintableText(std::string("1\0"
                                      "2",
                                      3)),
            "1\\x002");
  EXPECT_EQ(PrintableText("a\x1b[2Jb"), "a\\x1b[2Jb");
  EXPECT_EQ(PrintableText("two\nlines\ttab"), "two\\x0alines\\x09tab");
  EXPECT_EQ(PrintableText("abc\xE2\x80\xAEgpj"), "abc\\u202egpj");
  EXPECT_EQ(PrintableText("函渠\xFF"), "函渠\\xff");
}

}  // namespace
}  // namespace sekora
