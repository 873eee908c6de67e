#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Messages.h"

namespace sekora::cli {
namespace {

// The language chosen for an environment that holds just `variables`.
MessageLanguage LanguageFor(const std::map<std::string, std::string>& variables) {
  return ChooseMessageLanguage([&](const char* name) {
    const auto found = variables.find(name);
    return found == variables.end() ? std::string() : found->second;
  });
}

constexpr MessageLanguage kEnglish = MessageLanguage::English;
constexpr MessageLanguage kJapanese = MessageLanguage::Japanese;

TEST(MessageLanguage, EnglishInTheCLocaleAndInEnglishLocales) {
  EXPECT_EQ(LanguageFor({}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "C"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "POSIX"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "C.UTF-8"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "en_US.UTF-8"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "en_GB@euro"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "en"}}), kEnglish);
}

TEST(MessageLanguage, JapaneseInEveryOtherLocale) {
  EXPECT_EQ(LanguageFor({{"LANG", "ja_JP.UTF-8"}}), kJapanese);
  EXPECT_EQ(LanguageFor({{"LANG", "de_DE.UTF-8"}}), kJapanese);
  // Neither English nor C, although they begin like them.
  EXPECT_EQ(LanguageFor({{"LANG", "eo"}}), kJapanese);
  EXPECT_EQ(LanguageFor({{"LANG", "english"}}), kJapanese);
  EXPECT_EQ(LanguageFor({{"LANG", "ckb_IQ.UTF-8"}}), kJapanese);
}

TEST(MessageLanguage, TheLocaleOfTheMessagesIsTheFirstOfLcAllLcMessagesAndLang) {
  EXPECT_EQ(LanguageFor({{"LC_ALL", "C"}, {"LANG", "ja_JP.UTF-8"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LC_ALL", "ja_JP.UTF-8"}, {"LANG", "C"}}), kJapanese);
  EXPECT_EQ(LanguageFor({{"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "ja_JP.UTF-8"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LC_ALL", ""}, {"LC_MESSAGES", "ja_JP"}, {"LANG", "C"}}), kJapanese);
}

TEST(MessageLanguage, LanguageDecidesOutsideTheCLocaleByItsFirstLanguageWithMessages) {
  EXPECT_EQ(LanguageFor({{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "en"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja"}}), kJapanese);
  EXPECT_EQ(LanguageFor({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de:fr:en_GB:ja"}}), kEnglish);
  // No language of the list has messages: the locale decides.
  EXPECT_EQ(LanguageFor({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de:fr"}}), kEnglish);
  EXPECT_EQ(LanguageFor({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de::fr:"}}), kJapanese);
  // gettext ignores LANGUAGE in the C locale.
  EXPECT_EQ(LanguageFor({{"LANG", "C"}, {"LANGUAGE", "ja"}}), kEnglish);
}

TEST(Messages, ValuesTakeTheirPlacesInTheText) {
  // Without a catalogue, as in this test, the texts stay Japanese.
  EXPECT_EQ(Tr("メモリが足りません"), "メモリが足りません");
  EXPECT_EQ(Tr("{1} の値は {2} から {3} です: {4}", "--dpi", "30", "1200", "5"),
            "--dpi の値は 30 から 1200 です: 5");
  EXPECT_EQ(Tr("{2} と {1}", std::string("前"), "後"), "後 と 前");
  // Braces that are no placeholder, and a placeholder without a value.
  EXPECT_EQ(Tr("{a} {12} {} {", "x"), "{a} {12} {} {");
  EXPECT_EQ(Tr("{1}{2}", "x"), "x{2}");
}

}  // namespace
}  // namespace sekora::cli
