// Run-time errors as the program reports them: a number and a description.
//
// Routines that fail throw vb::RuntimeError; the error helper of the routine that owns the
// error box (modpublic::RunGuarded) catches it, records it as the current error (vb::Err())
// and shows it with modpublic::ShowError as "Error <number> - <description>".
// Arithmetic that would have trapped (division by zero, overflow, an index out of range)
// is checked explicitly and raised through these helpers.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "libs/numbered_error.h"

namespace vb {

// Error numbers used by the program.
enum ErrNumber : long {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kSubscriptOutOfRange = 9,
  kDivisionByZero = 11,
  kTypeMismatch = 13,
  kBadFileName = 52,
  kFileNotFound = 53,
  kInputPastEnd = 62,
  kPathFileAccess = 75,
  kPathNotFound = 76,
  kObjectRequired = 424,
  kNoCurrentRecord = 3021,
  kDatabaseError = 3049,
};

// The standard description of an error number ("Division by zero", ...).
std::string DescriptionOf(long number);

class RuntimeError : public NumberedError {
 public:
  using NumberedError::NumberedError;
};

// Throws RuntimeError; with an empty description the standard one of the number.
[[noreturn]] void Raise(long number, const std::string& description = {});

// The current error of the running thread (what VB called Err).
struct ErrObject {
  long Number = 0;
  std::string Description;
  long LastDllError = 0;  // errno-style code of the last failed platform call
  void Clear() {
    Number = 0;
    Description.clear();
    LastDllError = 0;
  }
};
ErrObject& Err();

// Records an exception as the current error: a numbered error (of any layer) keeps its
// number; any other std::exception becomes error 5 with its text; anything else error 5
// "Unknown error". Call only inside a catch block.
void SetErrFromCurrentException();

// Records an exception a routine deliberately lets pass (a step whose failure only ends
// that step): writes "<place>: ignored error: <what>" to stderr and counts it. The current
// error is left as it is. A soft assertion: nothing is shown and the caller goes on.
void NoteIgnoredError(const char* place, const std::exception& error);
// How many errors NoteIgnoredError has recorded in this process (tests compare before/after).
long IgnoredErrorCount();

// Checked arithmetic: raises error 11 for a zero divisor, 6 for a non-finite result.
double Divide(double numerator, double denominator);
// Raises error 9 unless lo <= index <= hi; returns the index.
long CheckIndex(long index, long lo, long hi);
// Raises error 6 when the value is not finite; returns it.
double CheckFinite(double value);

}  // namespace vb
