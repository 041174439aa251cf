#pragma once

class QComboBox;
class QLineEdit;

// Edits whose letters are always of one case, as typed, pasted or set from code.
enum class LetterCase { Lower, Upper };

void setLetterCase(QLineEdit* edit, LetterCase letterCase);
// The editable drop-down's own edit.
void setLetterCase(QComboBox* box, LetterCase letterCase);
