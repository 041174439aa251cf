#include "ui/profile/letter_case.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

namespace {

// A validator that accepts everything and turns the letters to its case; the edit takes the
// changed text as if it had been typed so.
class LetterCaseValidator : public QValidator {
public:
    LetterCaseValidator(LetterCase letterCase, QObject* parent)
        : QValidator(parent), case_(letterCase) {}

    State validate(QString& input, int&) const override {
        input = case_ == LetterCase::Lower ? input.toLower() : input.toUpper();
        return Acceptable;
    }

private:
    LetterCase case_;
};

}  // namespace

void setLetterCase(QLineEdit* edit, LetterCase letterCase) {
    edit->setValidator(new LetterCaseValidator(letterCase, edit));
}

void setLetterCase(QComboBox* box, LetterCase letterCase) {
    box->setValidator(new LetterCaseValidator(letterCase, box));
}
