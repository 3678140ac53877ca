// The exception every layer of the program throws for a run-time error: an error number
// (the program's classic numbers: 5 invalid call, 6 overflow, 9 subscript out of range,
// 11 division by zero, ...) and its description. The libraries throw their own subclasses;
// the routine that owns the error box records any of them with its number.
#pragma once

#include <stdexcept>
#include <string>

class NumberedError : public std::runtime_error {
 public:
  NumberedError(long number, const std::string& description) : std::runtime_error(description), number_(number) {}
  long number() const { return number_; }

 private:
  long number_;
};
