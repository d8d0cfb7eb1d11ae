#include "services/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace services {
namespace {

// A finite value's decimal digits (no leading zero unless the value is zero) and
// the power of ten of the first one.
struct Digits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// "%.*e" output, "-d.ddde+XX", taken apart.
Digits digits_of(const char* scientific) {
  Digits result;
  const char* cursor = scientific;
  if (*cursor == '-') {
    result.negative = true;
    ++cursor;
  }
  for (; *cursor != 'e' && *cursor != '\0'; ++cursor) {
    if (*cursor != '.') result.digits += *cursor;
  }
  if (*cursor == 'e') result.exponent = static_cast<int>(std::strtol(cursor + 1, nullptr, 10));
  return result;
}

bool reads_back(const char* text, double value) { return std::strtod(text, nullptr) == value; }
bool reads_back(const char* text, float value) { return std::strtof(text, nullptr) == value; }

// The fewest significant digits that read back as `value`; 9 always do for a
// float and 17 for a double.
template <typename Floating>
Digits shortest_digits(Floating value) {
  char buffer[64];
  for (int precision = 1; precision < 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, static_cast<double>(value));
    if (reads_back(buffer, value)) return digits_of(buffer);
  }
  std::snprintf(buffer, sizeof buffer, "%.16e", static_cast<double>(value));
  return digits_of(buffer);
}

// A whole number shows every digit of its exact value (a large float's trailing
// digits are not zeros); the plain form has as many digits either way.
std::string plain_form(const Digits& number, double value) {
  const int length = static_cast<int>(number.digits.size());
  std::string text = number.negative ? "-" : "";
  if (number.exponent < 0) {
    return text + "0." + std::string(static_cast<size_t>(-number.exponent - 1), '0') + number.digits;
  }
  if (number.exponent + 1 >= length) {
    char whole[400];
    std::snprintf(whole, sizeof whole, "%.0f", value);
    return whole;
  }
  return text + number.digits.substr(0, static_cast<size_t>(number.exponent + 1)) + "." +
         number.digits.substr(static_cast<size_t>(number.exponent + 1));
}

std::string exponent_form(const Digits& number) {
  std::string text = number.negative ? "-" : "";
  text += number.digits.substr(0, 1);
  if (number.digits.size() > 1) text += "." + number.digits.substr(1);
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "e%c%02d", number.exponent < 0 ? '-' : '+', std::abs(number.exponent));
  return text + exponent;
}

template <typename Floating>
std::string shortest(Floating value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  const Digits number = shortest_digits(value);
  std::string plain = plain_form(number, static_cast<double>(value));
  std::string exponent = exponent_form(number);
  // A tie goes to the plain form.
  return plain.size() <= exponent.size() ? plain : exponent;
}

}  // namespace

std::string shortest_decimal(double value) { return shortest(value); }
std::string shortest_decimal(float value) { return shortest(value); }

}  // namespace services
