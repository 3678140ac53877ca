// A scriptable stand-in for the plant engine, for tests of the code that drives it.
//
// FakeCwPlant implements cCwPlant (and its chillers, pumps and collections) over the same
// property storage as the real engine: every value let reads back unchanged. It records
// every let and call in order as text, and CalcPlant returns scripted results instead of
// simulating anything.
//
// Recorded entries:
//   plant.NumChillers=3                 a let on the plant (doubles in shortest round-trip
//   plant.StageChiller(2,1)=1           form, ints as integers, bools as True/False)
//   plant.Chillers.BuildCollection(3)   a collection built (Chillers, PairedChillers,
//                                       CondenserPumps, PrimaryPumps)
//   Chillers(1).Capacity=7200           a let on an item (PairedChillers(i), CondenserPumps(i),
//   Chillers(1).MapCapacity(2,5)=6000   PrimaryPumps(i), SystemPump)
//   CondenserPumps(1).Calculate()       a call
//   plant.CalcPlant()
// Towers are pylorn's own cClgTowers / cClgTower and are not recorded: inspect them directly.
//
// Scripted runs: each CalcPlant takes the next queued FakeRun; when the queue is empty it
// asks the script function (SetScript), and without one it gives all-zero results. The run's
// results are readable until the next CalcPlant, like the real engine's.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/plantengine/grendax.h"
#include "platform/plantengine/stored.h"

namespace grendax_fake {

struct FakeError {
  long number = 5;
  std::string description = "Scripted engine error";
  std::string library = grendax::kLibraryName;
  std::string className = "cCwPlant";
  std::string method = "CalcPlant";
};

struct FakeChillerResult {
  double Load = 0, Power = 0, GenHeat = 0, ECWT = 0, FreeCoolingLoad = 0, FreeCoolingPower = 0;
};

// The results of one scripted CalcPlant.
struct FakeRun {
  double LoadNotMet = 0;
  std::optional<double> BuildingLoad;  // default: the CoolingLoad of the run
  double ECWT = 0;
  bool FreeCoolingOn = false;
  double FreeCoolingLoad = 0;
  std::optional<int> ChillersOn;     // default: chillers (main items) with Load > 0.001
  std::optional<double> SupplyTemp;  // default: the plant's DesignLCHWT
  double PrimaryPumpKW = 0, SecondaryPumpKW = 0, CondPumpKW = 0, FanKW = 0;
  std::vector<FakeChillerResult> Chillers;        // [0] = Chillers.Item(1); missing items get zeros
  std::vector<FakeChillerResult> PairedChillers;  // [0] = PairedChillers.Item(1)
  std::optional<FakeError> Error;                 // raised on the plant's OnError during the run
};

// The inputs a script sees.
struct FakeInputs {
  int call = 0;  // 1 for the first CalcPlant
  double OutdoorDryBulb = 0, OutdoorWetBulb = 0, CoolingLoad = 0;
  std::array<double, grendax::kMaxUnits + 1> WellWaterTemp{};  // [u], u = 1..30
};

class FakeCwPlant : public grendax::detail::StoredPlant {
 public:
  FakeCwPlant();
  ~FakeCwPlant() override;

  // ---- scripting ----
  void QueueRun(FakeRun run);
  void SetScript(std::function<FakeRun(const FakeInputs&)> script);
  // Raises OnError when the recorded entry `target` occurs for the `occurrence`-th time
  // (1-based). `target` is a call ("CondenserPumps(2).Calculate()", "plant.CalcPlant()")
  // or the left side of a let ("plant.NumChillers"). A pump's entries raise the pump's
  // OnError, all others the plant's.
  void RaiseErrorAt(const std::string& target, int occurrence, FakeError error);
  // Overrides the engine's own answer of HasCondenserSide.
  void ScriptHasCondenserSide(std::optional<bool> v) { hasCondenserSide_ = v; }

  // ---- recording ----
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Number of recorded entries equal to `target` (a call or the left side of a let).
  int CountOf(const std::string& target) const;
  int CalcPlantCount() const { return calcCount_; }
  // The inputs of every CalcPlant so far, in order.
  const std::vector<FakeInputs>& RunInputs() const { return runInputs_; }

  // ---- cCwPlant ----
  void CalcPlant() override;
  bool HasCondenserSide() const override;

  // Used by the fake's items (not for tests).
  void Record(const std::string& target, const std::string& value, grendax::detail::StoredPump* pump);

 private:
  void Let(std::string_view member, std::initializer_list<int> index, grendax::detail::LetValue v) override;
  void Called(std::string_view member) override;
  void Built(std::string_view collection, int n) override;
  void ApplyRun(const FakeRun& run);

  struct ErrorAt {
    std::string target;
    int occurrence;
    FakeError error;
  };

  std::vector<std::string> calls_;
  std::deque<FakeRun> queue_;
  std::function<FakeRun(const FakeInputs&)> script_;
  std::vector<ErrorAt> errors_;
  std::optional<bool> hasCondenserSide_;
  std::vector<FakeInputs> runInputs_;
  int calcCount_ = 0;
};

}  // namespace grendax_fake
