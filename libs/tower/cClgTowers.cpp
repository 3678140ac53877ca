// The collection of a plant's heat rejectors.
#include "libs/tower/cClgTowers.h"

#include <exception>
#include <new>
#include <stdexcept>

std::shared_ptr<cClgTower> cClgTowers::Item(long nIndex) const {
  if (nIndex < 1 || nIndex > Count()) {
    throw std::out_of_range("cClgTowers.Item: position " + std::to_string(nIndex) + " is outside 1 to " +
                            std::to_string(Count()));
  }
  return items_[static_cast<size_t>(nIndex - 1)];
}

void cClgTowers::RaiseError(const std::string& method) {
  long number = 5;
  std::string description = "Invalid procedure call or argument";
  try {
    throw;
  } catch (const std::bad_alloc&) {
    number = 7;
    description = "Out of memory";
  } catch (const std::exception& e) {
    description = e.what();
  } catch (...) {
  }
  if (onError_) {
    try {
      onError_(number, description, "PYLORN", "cClgTowers", method);
    } catch (...) {
      // A throwing listener must not turn a reported failure into a failed call.
    }
  }
}

std::shared_ptr<cClgTower> cClgTowers::Add() {
  try {
    auto tower = std::make_shared<cClgTower>();
    if (!recentApproaches_) recentApproaches_ = std::make_shared<cClgTower::RecentApproaches>();
    tower->recentApproaches_ = recentApproaches_;
    items_.push_back(tower);
    return tower;
  } catch (...) {
    RaiseError("Add");
    return nullptr;
  }
}

void cClgTowers::BuildCollection(long nNumUnits) {
  try {
    items_ = Items();
    recentApproaches_ = nullptr;  // the new towers share solves among themselves only
    for (long i = 1; i <= nNumUnits; ++i) Add();
  } catch (...) {
    RaiseError("BuildCollection");
  }
}
