#include "ConditionInput.h"

namespace sekora {

namespace {

// The characters a condition text is made of.
bool IsConditionCharacter(QChar character) {
  const char16_t code = character.unicode();
  return code == u'.' || (code >= u'0' && code <= u'9');
}

}  // namespace

bool PassesKeyFilter(QChar character) {
  return character.unicode() == u'\b' || IsConditionCharacter(character);
}

QString FilterConditionText(const QString& text) {
  QString kept;
  kept.reserve(text.size());
  for (const QChar character : text) {
    if (IsConditionCharacter(character)) kept.append(character);
  }
  return kept;
}

QValidator::State ConditionValidator::validate(QString& input, int& pos) const {
  int removedBeforeCursor = 0;
  for (int i = 0; i < pos && i < input.size(); ++i) {
    if (!IsConditionCharacter(input.at(i))) ++removedBeforeCursor;
  }
  input = FilterConditionText(input);
  pos -= removedBeforeCursor;
  return Acceptable;
}

}  // namespace sekora
