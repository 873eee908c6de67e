// The language of sekora-cli's messages and of its help.
//
// The texts are written in Japanese, the language of the program. In the C
// locale and in English locales they are looked up in the English catalogue
// (gettext, text domain "sekora", po/en.po); in any other locale, and where
// the tool was built without gettext, they stay Japanese. Results, files and
// sheets are never translated.
//
// Every message is marked with Tr (or TrLater), so that xgettext finds it:
// the Japanese text whole, with {1}, {2} ... where values go in, since
// English puts them in another order:
//   throw std::runtime_error(Tr("メモリが足りません"));
//   throw UsageError(Tr("{1} の値が数値ではありません: {2}", option, text));
// `cmake --build --preset ci --target update-po` adds new marked texts to
// po/en.po for their English; a test fails while one has none.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sekora::cli {

enum class MessageLanguage { Japanese, English };

// The value of an environment variable, empty when it is not set.
using EnvironmentLookup = std::function<std::string(const char* name)>;

// The language for an environment, chosen as gettext chooses a catalogue:
// the locale is the first of LC_ALL, LC_MESSAGES and LANG that is set. In
// the C or POSIX locale (or none) the messages are English, whatever
// LANGUAGE says, since gettext ignores it there. Otherwise the first
// language of LANGUAGE (a list like "de:en") that has messages, en or ja,
// decides; without one, an English locale gives English and any other
// Japanese.
MessageLanguage ChooseMessageLanguage(const EnvironmentLookup& environment);

// Chooses the language from the process's environment and, for English,
// opens the catalogue below `catalogueFolder`
// (<folder>/en/LC_MESSAGES/sekora.mo). A missing catalogue leaves the
// messages Japanese.
void SetUpMessages(const std::string& catalogueFolder);

// Sets the message locale again after something has set the process's
// locale from the environment (Qt's application object does).
void KeepMessageLanguage();

// `japanese` in the language of the messages, with {1}, {2} ... replaced
// by `values`.
std::string Translated(const char* japanese, const std::vector<std::string>& values = {});

template <typename... Values>
std::string Tr(const char* japanese, const Values&... values) {
  return Translated(japanese, {std::string(values)...});
}

// Marks a text that is kept, untranslated, until Tr translates it:
//   constexpr const char* kText = TrLater("..."); ... Tr(kText)
constexpr const char* TrLater(const char* japanese) {
  return japanese;
}

}  // namespace sekora::cli
