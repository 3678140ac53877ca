#include "platform/plantengine/fake/fake_engine.h"

#include <charconv>
#include <type_traits>
#include <utility>

namespace grendax_fake {

using grendax::detail::LetValue;
using grendax::detail::StoredChiller;
using grendax::detail::StoredPump;

namespace {

std::string Format(const LetValue& v) {
  if (const bool* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
  if (const int* i = std::get_if<int>(&v)) return std::to_string(*i);
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::get<double>(v));
  return std::string(buf, r.ptr);
}

std::string Target(std::string_view object, std::string_view member, std::initializer_list<int> index) {
  std::string t(object);
  t += '.';
  t += member;
  if (index.size() > 0) {
    t += '(';
    bool first = true;
    for (int i : index) {
      if (!first) t += ',';
      t += std::to_string(i);
      first = false;
    }
    t += ')';
  }
  return t;
}

// An item that records its lets and calls on the plant; a pump's own entries raise its
// own OnError.
template <class Base>
class Recorded : public Base {
 public:
  Recorded(FakeCwPlant* owner, std::string name) : owner_(owner), name_(std::move(name)) {}

 private:
  StoredPump* Pump() {
    if constexpr (std::is_same_v<Base, StoredPump>)
      return this;
    else
      return nullptr;
  }
  void Let(std::string_view member, std::initializer_list<int> index, LetValue v) override {
    owner_->Record(Target(name_, member, index), Format(v), Pump());
  }
  void Called(std::string_view member) override { owner_->Record(Target(name_, member, {}) + "()", {}, Pump()); }
  FakeCwPlant* owner_;
  std::string name_;
};

// Makes item i of a collection, named "<collection>(i)".
template <class Base>
struct Maker {
  FakeCwPlant* owner;
  const char* collection;
  std::unique_ptr<Base> operator()(int i) const {
    return std::make_unique<Recorded<Base>>(owner, std::string(collection) + "(" + std::to_string(i) + ")");
  }
};

}  // namespace

FakeCwPlant::FakeCwPlant()
    : StoredPlant(Maker<StoredChiller>{this, "Chillers"}, Maker<StoredChiller>{this, "PairedChillers"},
                  Maker<StoredPump>{this, "CondenserPumps"}, Maker<StoredPump>{this, "PrimaryPumps"},
                  std::make_unique<Recorded<StoredPump>>(this, "SystemPump")) {}

FakeCwPlant::~FakeCwPlant() = default;

void FakeCwPlant::QueueRun(FakeRun run) { queue_.push_back(std::move(run)); }

void FakeCwPlant::SetScript(std::function<FakeRun(const FakeInputs&)> script) { script_ = std::move(script); }

void FakeCwPlant::RaiseErrorAt(const std::string& target, int occurrence, FakeError error) {
  errors_.push_back({target, occurrence, std::move(error)});
}

int FakeCwPlant::CountOf(const std::string& target) const {
  int n = 0;
  for (const std::string& c : calls_)
    if (c == target ||
        (c.size() > target.size() && c.compare(0, target.size(), target) == 0 && c[target.size()] == '='))
      ++n;
  return n;
}

void FakeCwPlant::Record(const std::string& target, const std::string& value, StoredPump* pump) {
  calls_.push_back(value.empty() ? target : target + "=" + value);  // a call has no value
  for (const ErrorAt& e : errors_) {
    if (e.target != target || CountOf(target) != e.occurrence) continue;
    if (pump)
      pump->RaiseError(e.error.number, e.error.description, e.error.method);
    else
      RaiseError(e.error.number, e.error.description, e.error.library, e.error.className, e.error.method);
  }
}

void FakeCwPlant::Let(std::string_view member, std::initializer_list<int> index, LetValue v) {
  Record(Target("plant", member, index), Format(v), nullptr);
}

void FakeCwPlant::Called(std::string_view member) { Record(Target("plant", member, {}) + "()", {}, nullptr); }

void FakeCwPlant::Built(std::string_view collection, int n) {
  Record("plant." + std::string(collection) + ".BuildCollection(" + std::to_string(n) + ")", {}, nullptr);
}

bool FakeCwPlant::HasCondenserSide() const {
  return hasCondenserSide_ ? *hasCondenserSide_ : StoredPlant::HasCondenserSide();
}

void FakeCwPlant::CalcPlant() {
  ++calcCount_;
  FakeInputs inputs;
  inputs.call = calcCount_;
  inputs.OutdoorDryBulb = in.OutdoorDryBulb;
  inputs.OutdoorWetBulb = in.OutdoorWetBulb;
  inputs.CoolingLoad = in.CoolingLoad;
  inputs.WellWaterTemp = in.WellWaterTemp;
  runInputs_.push_back(inputs);

  FakeRun run;
  if (!queue_.empty()) {
    run = std::move(queue_.front());
    queue_.pop_front();
  } else if (script_) {
    run = script_(inputs);
  }
  ApplyRun(run);
  Called("CalcPlant");
  if (run.Error)
    RaiseError(run.Error->number, run.Error->description, run.Error->library, run.Error->className, run.Error->method);
}

void FakeCwPlant::ApplyRun(const FakeRun& run) {
  res = {};
  res.LoadNotMet = run.LoadNotMet;
  res.BuildingLoad = run.BuildingLoad ? *run.BuildingLoad : in.CoolingLoad;
  res.ECWT = run.ECWT;
  res.FreeCoolingOn = run.FreeCoolingOn;
  res.FreeCoolingLoad = run.FreeCoolingLoad;
  res.BinDryBulb = in.OutdoorDryBulb;
  res.BinWetBulb = in.OutdoorWetBulb;
  res.BinLoad = in.CoolingLoad;
  res.SupplyTemp = run.SupplyTemp ? *run.SupplyTemp : set.DesignLCHWT;
  res.PrimaryPumpKW = run.PrimaryPumpKW;
  res.SecondaryPumpKW = run.SecondaryPumpKW;
  res.CondPumpKW = run.CondPumpKW;
  res.FanKW = run.FanKW;

  auto apply = [](grendax::detail::StoredChillers& list, const std::vector<FakeChillerResult>& results) {
    int on = 0;
    for (int i = 1; i <= list.Count(); ++i) {
      StoredChiller& c = list.Item(i);
      c.res = {};
      if (static_cast<size_t>(i) <= results.size()) {
        const FakeChillerResult& r = results[static_cast<size_t>(i - 1)];
        c.res = {r.Load, r.Power, r.GenHeat, r.ECWT, r.FreeCoolingLoad, r.FreeCoolingPower};
      }
      if (c.res.Load > 0.001) ++on;
    }
    return on;
  };
  int on = apply(chillers_, run.Chillers);
  apply(paired_, run.PairedChillers);
  res.ChillersOn = run.ChillersOn ? *run.ChillersOn : on;
}

}  // namespace grendax_fake
