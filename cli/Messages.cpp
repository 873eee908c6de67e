#include "Messages.h"

#ifdef SEKORA_WITH_GETTEXT
#include <libintl.h>

#include <clocale>
#include <cstdlib>
#endif
#include <algorithm>
#include <string_view>

namespace sekora::cli {
namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// A language or locale name that is English or Japanese: "en", "en_GB",
// "en_US.UTF-8@euro", but not "eo" or "english".
bool IsLanguage(std::string_view name, std::string_view language) {
  return StartsWith(name, language) &&
         (name.size() == language.size() ||
          std::string_view("_.@").find(name[language.size()]) != std::string_view::npos);
}

bool IsCLocale(std::string_view locale) {
  return locale.empty() || locale == "C" || locale == "POSIX" || StartsWith(locale, "C.");
}

std::string MessagesLocale(const EnvironmentLookup& environment) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const std::string value = environment(name);
    if (!value.empty()) return value;
  }
  return "";
}

// `text` with {1}, {2} ... replaced by `values`; a placeholder without a
// value stays as it is.
std::string WithValues(std::string_view text, const std::vector<std::string>& values) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool placeholder = text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' &&
                             text[i + 1] >= '1' && text[i + 1] <= '9';
    const auto index = placeholder ? static_cast<std::size_t>(text[i + 1] - '1') : values.size();
    if (index < values.size()) {
      result += values[index];
      i += 2;
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace

MessageLanguage ChooseMessageLanguage(const EnvironmentLookup& environment) {
  const std::string locale = MessagesLocale(environment);
  if (IsCLocale(locale)) return MessageLanguage::English;
  const std::string languageList = environment("LANGUAGE");
  std::string_view languages = languageList;
  while (!languages.empty()) {
    const std::string_view language = languages.substr(0, languages.find(':'));
    if (IsLanguage(language, "en")) return MessageLanguage::English;
    if (IsLanguage(language, "ja")) return MessageLanguage::Japanese;
    languages.remove_prefix(std::min(languages.size(), language.size() + 1));
  }
  return IsLanguage(locale, "en") ? MessageLanguage::English : MessageLanguage::Japanese;
}

#ifdef SEKORA_WITH_GETTEXT
namespace {

constexpr const char* kTextDomain = "sekora";

// gettext finds a catalogue by the locale of the messages, which for the
// English catalogue must be a real locale and not C: gettext translates
// nothing in C. C.UTF-8 is built into the C library.
constexpr const char* kEnglishMessagesLocale = "C.UTF-8";

bool english = false;

std::string ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

void SetUpMessages(const std::string& catalogueFolder) {
  if (ChooseMessageLanguage(ProcessEnvironment) != MessageLanguage::English) return;
  english = true;
  // LANGUAGE names the catalogue; a locale of the messages other than C
  // lets gettext read it.
  ::setenv("LANGUAGE", "en", 1);
  KeepMessageLanguage();
  ::bindtextdomain(kTextDomain, catalogueFolder.c_str());
  ::bind_textdomain_codeset(kTextDomain, "UTF-8");
}

void KeepMessageLanguage() {
  if (english) std::setlocale(LC_MESSAGES, kEnglishMessagesLocale);
}

std::string Translated(const char* japanese, const std::vector<std::string>& values) {
  return WithValues(english ? ::dgettext(kTextDomain, japanese) : japanese, values);
}
#else
void SetUpMessages(const std::string&) {}

void KeepMessageLanguage() {}

std::string Translated(const char* japanese, const std::vector<std::string>& values) {
  return WithValues(japanese, values);
}
#endif

}  // namespace sekora::cli
