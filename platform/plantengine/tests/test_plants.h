// Plants for the engine tests that fail the test on any error event it does not listen for
// (a test that expects errors subscribes its own listener, which replaces this one).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/plantengine/grendax.h"
#include "platform/plantengine/tests/plant_builder.h"

namespace test_plants {

inline void FailOnError(cCwPlant& p) {
  p.SetOnError([](long n, const std::string& d, const std::string& l, const std::string& c, const std::string& m) {
    ADD_FAILURE() << "engine error " << n << " from " << l << " " << c << "." << m << ": " << d;
  });
}

inline std::unique_ptr<cCwPlant> Plant(const plant_builder::PlantSpec& s) {
  auto p = plant_builder::MakePlant(s);
  FailOnError(*p);
  return p;
}

}  // namespace test_plants
