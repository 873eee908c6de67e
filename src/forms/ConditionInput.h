// The rules of the condition boxes of the main window: which typed
// characters pass, and the same rule applied to pasted or dropped text.
#pragma once

#include <QChar>
#include <QString>
#include <QValidator>

namespace sekora {

// The longest text a condition box takes.
inline constexpr int kConditionMaxLength = 10;

// True for the characters a condition box accepts: the digits 0 to 9, the
// point and backspace. There is no minus sign and no check for a second
// point, so 1.2.3 can be typed.
bool PassesKeyFilter(QChar character);

// `text` with only its digits and points kept.
QString FilterConditionText(const QString& text);

// Applies the key filter to text that arrives other than by typing (paste,
// drag and drop, input method): the characters that would not pass are
// dropped and the rest is kept.
class ConditionValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

}  // namespace sekora
