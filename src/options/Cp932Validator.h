#pragma once
// The settings file keeps its texts in CP932, so a text box of the options refuses, as it is
// typed or pasted, any character CP932 cannot hold; a save then never meets one.
#include <QValidator>

class QLineEdit;

class Cp932Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// The note a text box shows in its tooltip, and at once when it refuses a character.
QString cp932Note();

// Gives `box` the validator and the note.
void acceptOnlyCp932(QLineEdit* box);
