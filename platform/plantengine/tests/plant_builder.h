// Small plants for the engine tests and the benchmark, set up through the public members
// the way the calculation's engine set-up does it.
#pragma once

#include <memory>
#include <vector>

#include "libs/tower/cClgTowers.h"
#include "platform/plantengine/grendax.h"

namespace plant_builder {

// A performance map: ecwt[col] (descending), cap[col][row] (kBtu/h), input[col][row].
struct Map {
  std::vector<double> ecwt;
  std::vector<std::vector<double>> cap, input;
};

// A water-cooled centrifugal map: columns 85, 75, 65, 55 F; rows 100, 75, 50, 25, 10 %.
// Capacity rises 0.4 % per deg F colder; kW falls with load and with colder water.
Map CentrifugalMap(double capacity);

// A map whose capacity does not depend on ECWT (rows 100/75/50/25 %), with the inputs given
// per column: input[col] = {A, B, C, D}.
Map FlatMap(double capacity, const std::vector<double>& ecwt, const std::vector<std::vector<double>>& input);

void LetMap(cChiller& c, const Map& m);

struct ChillerSpec {
  double capacity = 7200;  // kBtu/h
  bool waterCooled = true;
  double minCapacity = 0;
  double minECWT = 0;
  double designLCHWT = 44;
  double condFlow = 1800;  // gpm
  double chwFlow = 1440;   // gpm
  bool heatDriven = false;
  double auxKW = 0;
};
void LetChiller(cChiller& c, const ChillerSpec& s, const Map& m);

// Stage table from a list of stages, each a list of chiller numbers.
void LetStages(cCwPlant& p, const std::vector<std::vector<int>>& stages);

// A cooling tower sized for `heatRejection` kBtu/h at 78 F wet bulb, 10 F range, 7 F approach.
// Throws std::logic_error when the tower reports an error (a unit that cannot exist); so
// does MakePlant for any of its units.
void LetTower(cClgTower& t, double heatRejection, int capacityCtrl, double minRet);

struct PlantSpec {
  int chillers = 2;
  std::vector<std::vector<int>> stages;  // empty: sequenced
  bool shared = false;
  int evapFlowControl = 1;
  int condPumpControl = 0;
  int heatRejectionMode = 0;  // 0 tower, 1 well, 2 dry cooler
  int capacityCtrl = 3;       // Fan_VFD
  double minRet = 55;
  ChillerSpec chiller;
};

// A complete plant of identical chillers with the centrifugal map.
std::unique_ptr<cCwPlant> MakePlant(const PlantSpec& s);

// Runs one bin.
void RunBin(cCwPlant& p, double dryBulb, double wetBulb, double load);

}  // namespace plant_builder
