#pragma once

#include <QString>
#include <optional>

// The calculator's three text forms of a number, with "." as the decimal point whatever the locale.
namespace NumberText {

// Reads an optional "-", digits, an optional "." with or without digits after it and an optional
// exponent ("E", sign, digits): "05." is 5, "-0." is 0, "1.23E+07" is 12300000. A text that is not
// such a number, or whose value lies beyond the double range, gives nullopt; one too small to hold reads as 0.
std::optional<double> read(const QString &text);

// The value rounded to 15 significant digits, trailing zeros and a bare point dropped; exponent form
// ("1.5E-05", "1E+15") when the decimal exponent is below -4 or 15 or more.
QString general(double value);

// One digit, ".", two digits, "E", the exponent's sign and at least two exponent digits: "-4.50E-09".
QString scientific(double value);

// value rounded to places decimal places (0 to 10); a value exactly halfway goes to the even neighbour.
double roundHalfEven(double value, int places);

} // namespace NumberText
