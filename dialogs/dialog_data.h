// Reading typed values out of dialog fields the way dialogs always have:
// an integer field takes optional blanks, a sign and digits, and nothing
// else.
#pragma once

#include <string>

namespace fon {

// What the user is told when an integer field holds anything else.
inline constexpr char kEnterIntegerMessage[] = "Please enter an integer.";

// Parses `text` as a dialog integer field: blanks and tabs around it, an
// optional sign, decimal digits that fit an int. false for anything else
// ("", "12a", "+0" reads as no number at all, as it always has).
bool ParseDialogInteger(const std::string& text, int* value);

}  // namespace fon
