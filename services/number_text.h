#pragma once
// Numbers as the message box and the text services show them: the shortest
// decimal that reads back as the same value, in plain or exponent form, whichever
// is shorter ("0.1", "100", "1e+21"). Built on printf and strtod alone, so a
// program that shows a number does not carry a second floating-point formatter.
#include <string>

namespace services {

std::string shortest_decimal(double value);
std::string shortest_decimal(float value);

}  // namespace services
