#include "libs/vb/vberror.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <exception>

namespace vb {

std::string DescriptionOf(long number) {
  switch (number) {
    case kInvalidProcedureCall:
      return "Invalid procedure call or argument";
    case kOverflow:
      return "Overflow";
    case kSubscriptOutOfRange:
      return "Subscript out of range";
    case kDivisionByZero:
      return "Division by zero";
    case kTypeMismatch:
      return "Type mismatch";
    case kBadFileName:
      return "Bad file name or number";
    case kFileNotFound:
      return "File not found";
    case kInputPastEnd:
      return "Input past end of file";
    case kPathFileAccess:
      return "Path/File access error";
    case kPathNotFound:
      return "Path not found";
    case kObjectRequired:
      return "Object required";
    case kNoCurrentRecord:
      return "No current record.";
    case kDatabaseError:
      return "Database error";
    default:
      return "Application-defined or object-defined error";
  }
}

void Raise(long number, const std::string& description) {
  throw RuntimeError(number, description.empty() ? DescriptionOf(number) : description);
}

ErrObject& Err() {
  thread_local ErrObject err;
  return err;
}

void SetErrFromCurrentException() {
  ErrObject& e = Err();
  try {
    throw;
  } catch (const NumberedError& ex) {
    e.Number = ex.number();
    e.Description = ex.what();
  } catch (const std::exception& ex) {
    e.Number = kInvalidProcedureCall;
    e.Description = ex.what();
  } catch (...) {
    e.Number = kInvalidProcedureCall;
    e.Description = "Unknown error";
  }
}

namespace {
std::atomic<long> gIgnoredErrors{0};
}

void NoteIgnoredError(const char* place, const std::exception& error) {
  ++gIgnoredErrors;
  std::fprintf(stderr, "%s: ignored error: %s\n", place, error.what());
}

long IgnoredErrorCount() { return gIgnoredErrors.load(); }

double Divide(double numerator, double denominator) {
  if (denominator == 0.0) Raise(kDivisionByZero);
  return CheckFinite(numerator / denominator);
}

long CheckIndex(long index, long lo, long hi) {
  if (index < lo || index > hi) Raise(kSubscriptOutOfRange);
  return index;
}

double CheckFinite(double value) {
  if (!std::isfinite(value)) Raise(kOverflow);
  return value;
}

}  // namespace vb
