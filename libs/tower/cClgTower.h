// pylorn: one heat rejector of a chilled-water plant's condenser loop (cooling tower, dry
// cooler or well-water source).
//
// A cClgTower is a bag of design and operating values (inch-pound units) with six
// calculation methods. Call order: design inputs and BaromPressure, then the design method
// (CalcDesignFactors for a tower, CalcDesignFactors_DryCooler for a dry cooler); then per
// operating point the operating inputs, CalcReturnWaterTemp (tower) or
// CalcReturnWaterTemp_DryCooler (dry cooler), then CalcFanKW.
//
// Properties are getter/setter overload pairs with the property's name; result properties
// have a getter only. A new object holds 0 in every member. Setting a property computes
// nothing.
//
// Errors: every calculation method traps its own failures, reports them to the OnError
// listener (error number, description, library "PYLORN", class "cClgTower", and the name of
// the step that failed) and returns normally. A failure stops the public method at once:
// members written before the failure keep their new values, the others their old ones, and
// one failure raises one event. Besides the arithmetic errors of the psychrometric library
// (5, 6, 11) the object reports:
//   - kErrDivisionByZero (11) for a zero DesignRange, WaterFlowRatio, water or air factor,
//     DesignAIRFactor in CalcFanKW, DesignCwater or Cmin;
//   - kErrBaromPressure when CalcDesignFactors or CalcDesignFactors_DryCooler finds
//     BaromPressure not above 0;
//   - kErrDesignNotMet when CalcDesignFactors cannot reach DesignApproach within 0.001 deg F
//     with an air factor between 0.05 and 10, or the dry cooler's design effectiveness exceeds
//     1; the design results are still written.
// Whoever drives a tower should subscribe with SetOnError: it is the only signal of a failure.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/psychro/psychro_formulas.h"
#include "pylorn_export.h"

enum CapacityCtrls : int32_t { Fan_Cycling = 0, Water_Bypass = 1, Fan_2_Speed = 2, Fan_VFD = 3 };

enum HeatRejEqptTypes : int32_t { Cooling_Tower = 2, Well_Water = 3, Dry_Cooler = 4 };

class PYLORN_EXPORT cClgTower {
 public:
  using ErrorListener = std::function<void(long number, const std::string& description, const std::string& library,
                                           const std::string& className, const std::string& method)>;

  static constexpr long kErrInvalidProcedureCall = 5;
  static constexpr long kErrOverflow = 6;
  static constexpr long kErrDivisionByZero = 11;
  // Object-defined errors (vbObjectError + 512 + n).
  static constexpr long kErrBaromPressure = -2147221504L + 513;
  static constexpr long kErrDesignNotMet = -2147221504L + 514;

  static constexpr double kInvalidMerkel = -9999.0;  // Merkel integral undefined at this approach

  cClgTower() = default;

  // The OnError event: one listener; an empty function unsubscribes. An exception thrown by
  // the listener is ignored.
  void SetOnError(ErrorListener listener) { onError_ = std::move(listener); }

  // Results (read only).
  double ActualAIRFactor() const { return ActualAIRFactor_; }
  double ActualApproach() const { return ActualApproach_; }
  double ActualFanKW() const { return ActualFanKW_; }
  double ActualH2OFactor() const { return ActualH2OFactor_; }
  double DesignAIRFactor() const { return DesignAIRFactor_; }
  double DesignCair() const { return DesignCair_; }
  double DesignCwater() const { return DesignCwater_; }
  double DesignEffectiveness() const { return DesignEffectiveness_; }
  double DesignH2OFactor() const { return DesignH2OFactor_; }
  double RetWaterTemp() const { return RetWaterTemp_; }

  // Operating inputs.
  double ActualDryBulb() const { return ActualDryBulb_; }
  void ActualDryBulb(double v) { ActualDryBulb_ = v; }
  double ActualEntWaterTemp() const { return ActualEntWaterTemp_; }
  void ActualEntWaterTemp(double v) { ActualEntWaterTemp_ = v; }
  double ActualRange() const { return ActualRange_; }
  void ActualRange(double v) { ActualRange_ = v; }
  double ActualWetBulb() const { return ActualWetBulb_; }
  void ActualWetBulb(double v) { ActualWetBulb_ = v; }
  double WaterFlowRatio() const { return WaterFlowRatio_; }
  void WaterFlowRatio(double v) { WaterFlowRatio_ = v; }
  double MinRetWaterTemp() const { return MinRetWaterTemp_; }
  void MinRetWaterTemp(double v) { MinRetWaterTemp_ = v; }

  // Design inputs.
  // Held at single precision: the setter rounds to float, the getter widens that float.
  double BaromPressure() const { return BaromPressure_; }
  void BaromPressure(double v) { BaromPressure_ = static_cast<float>(v); }
  // A CapacityCtrls value; any 16-bit value is accepted.
  int16_t CapacityCtrl() const { return static_cast<int16_t>(CapacityCtrl_); }
  void CapacityCtrl(int16_t v) { CapacityCtrl_ = v; }
  double DesignAirFlow() const { return DesignAirFlow_; }
  void DesignAirFlow(double v) { DesignAirFlow_ = v; }
  double DesignApproach() const { return DesignApproach_; }
  void DesignApproach(double v) { DesignApproach_ = v; }
  double DesignDryBulb() const { return DesignDryBulb_; }
  void DesignDryBulb(double v) { DesignDryBulb_ = v; }
  double DesignFanElecEff() const { return DesignFanElecEff_; }
  void DesignFanElecEff(double v) { DesignFanElecEff_ = v; }
  double DesignFanKW() const { return DesignFanKW_; }
  void DesignFanKW(double v) { DesignFanKW_ = v; }
  double DesignRange() const { return DesignRange_; }
  void DesignRange(double v) { DesignRange_ = v; }
  double DesignWaterFlow() const { return DesignWaterFlow_; }
  void DesignWaterFlow(double v) { DesignWaterFlow_ = v; }
  double DesignWetBulb() const { return DesignWetBulb_; }
  void DesignWetBulb(double v) { DesignWetBulb_ = v; }
  // A HeatRejEqptTypes value; any 16-bit value is accepted.
  int16_t EquipmentType() const { return static_cast<int16_t>(EquipmentType_); }
  void EquipmentType(int16_t v) { EquipmentType_ = v; }
  double LowSpdAirflow() const { return LowSpdAirflow_; }
  void LowSpdAirflow(double v) { LowSpdAirflow_ = v; }

  // Calculation methods.
  // The smaller of the two values (dCvalue1 when it is smaller, else dCvalue2).
  double CalcCmin(double& dCvalue1, double& dCvalue2);
  // Cooling tower design: DesignH2OFactor = 10 / DesignRange, DesignAIRFactor solved so that
  // the tower reaches DesignApproach at DesignWetBulb and DesignRange.
  void CalcDesignFactors();
  // Dry cooler design: DesignCwater, DesignCair, DesignEffectiveness, DesignAIRFactor (1).
  void CalcDesignFactors_DryCooler();
  // Fan power at the operating point left by the operating method: ActualFanKW (and, for a
  // tower under fan control at the minimum return temperature, ActualAIRFactor).
  void CalcFanKW();
  // Cooling tower at operating conditions: ActualH2OFactor, ActualAIRFactor, ActualApproach,
  // RetWaterTemp (never below MinRetWaterTemp).
  void CalcReturnWaterTemp();
  // Dry cooler at operating conditions: ActualAIRFactor, RetWaterTemp.
  void CalcReturnWaterTemp_DryCooler();

 private:
  friend struct cClgTowerProbe;  // unit tests reach the private steps through it
  friend class cClgTowers;       // shares the recent approach solves among its towers

  struct Reported {};  // a failure that has already been reported to the listener
  // Saturated-air enthalpy hsat(T) at the tower's barometric pressure, in single precision:
  // the humidity ratio at saturation at T and the enthalpy of that air at T. Computed with
  // damplo's formulas directly; when that is not finite the checked PSYCHEN32 calls repeat it
  // and raise the error.
  // Saturated-air enthalpies already computed at one pressure, by the bits of the float
  // temperature (the searches of one air-factor solve revisit many water temperatures).
  struct SaturationCache {
    static constexpr unsigned kSize = 512;
    uint32_t key[kSize];
    double value[kSize];
    SaturationCache() {
      for (unsigned i = 0; i < kSize; ++i) {
        key[i] = 0xFFFFFFFFu;  // a NaN pattern; its value is NaN too, so a lookup of it recomputes
        value[i] = NAN;
      }
    }
  };

  struct Saturation {
    float pressure;
    SaturationCache* cache = nullptr;
    // Without checks: not finite where the checked calls would fail.
    double Unchecked(double temp) const {
      const float t = static_cast<float>(temp);
      if (!cache) return damplo::SatAirEnthalpy(pressure, t);
      uint32_t bits;
      std::memcpy(&bits, &t, sizeof bits);
      const unsigned slot = (bits * 2654435761u) >> 23;  // 9 bits
      if (cache->key[slot] == bits) return cache->value[slot];
      const double h = damplo::SatAirEnthalpy(pressure, t);
      cache->key[slot] = bits;
      cache->value[slot] = h;
      return h;
    }
    double Checked(double temp) const {
      const float t = static_cast<float>(temp);
      const float ps = static_cast<float>(PSYCHEN32::SatVaporPresFromDB(t));
      const float ws = PSYCHEN32::SpecHumFromVP(pressure, ps);
      return static_cast<float>(PSYCHEN32::EnthalpyFromDBSH(t, ws));
    }
    double operator()(double temp) const {
      const double h = Unchecked(temp);
      return std::isfinite(h) ? h : Checked(temp);
    }
  };

  [[noreturn]] void Fail(const char* method, long number, const std::string& description);
  [[noreturn]] void FailFromCurrentException(const char* method);
  template <class Body>
  void Guarded(const char* method, Body&& body);

  double CalcMerkelBasis(const Saturation& sat, double hIn, double dLG, double dWB, double dRange, double dApproach);
  double FindValidApproach(const Saturation& sat, double hIn, double dLG, double dWB, double dRange, double dValid,
                           double& dInvalid);
  double CalcApproach(double dAIR, double dH2O, double dWB, double dRange, SaturationCache* cache = nullptr);
  double CalcAIRFactor(double dWB, double dRange, double dTargetApproach, double dH2O,
                       double* pFinalApproach = nullptr);

  ErrorListener onError_;

  // The last operating solves, reused when an operating method is called again with the same
  // inputs (the searches are pure functions of their inputs and the pressure).
  struct ApproachSolve {
    bool valid = false;
    float pressure = 0;
    double air = 0, h2o = 0, wb = 0, range = 0;
    double approach = 0;
  };
  struct AirSolve {
    bool valid = false;
    float pressure = 0;
    double wb = 0, range = 0, target = 0, h2o = 0;
    double air = 0;
  };
  ApproachSolve lastApproach_;
  AirSolve lastAir_;
  // The approach solves of the towers of one collection, most recent first: the units of a
  // plant are often alike and equally loaded, so one unit's solve is often the next unit's.
  // A collection's towers are driven by one thread at a time, as the collection is.
  struct RecentApproaches {
    std::array<ApproachSolve, 4> solves{};
    const ApproachSolve* Find(float pressure, double air, double h2o, double wb, double range) const {
      for (const ApproachSolve& s : solves) {
        if (s.valid && s.pressure == pressure && s.air == air && s.h2o == h2o && s.wb == wb && s.range == range)
          return &s;
      }
      return nullptr;
    }
    void Keep(const ApproachSolve& solve) {
      for (std::size_t i = solves.size() - 1; i > 0; --i) solves[i] = solves[i - 1];
      solves[0] = solve;
    }
  };
  std::shared_ptr<RecentApproaches> recentApproaches_;  // none for a tower outside a collection

  double ActualAIRFactor_ = 0;
  double ActualApproach_ = 0;
  double ActualDryBulb_ = 0;
  double ActualEntWaterTemp_ = 0;
  double ActualFanKW_ = 0;
  double ActualH2OFactor_ = 0;
  double ActualRange_ = 0;
  double ActualWetBulb_ = 0;
  float BaromPressure_ = 0;
  int32_t CapacityCtrl_ = 0;
  double DesignAIRFactor_ = 0;
  double DesignAirFlow_ = 0;
  double DesignApproach_ = 0;
  double DesignCair_ = 0;
  double DesignCwater_ = 0;
  double DesignDryBulb_ = 0;
  double DesignEffectiveness_ = 0;
  double DesignFanElecEff_ = 0;
  double DesignFanKW_ = 0;
  double DesignH2OFactor_ = 0;
  double DesignRange_ = 0;
  double DesignWaterFlow_ = 0;
  double DesignWetBulb_ = 0;
  int32_t EquipmentType_ = 0;
  double LowSpdAirflow_ = 0;
  double MinRetWaterTemp_ = 0;
  double RetWaterTemp_ = 0;
  double WaterFlowRatio_ = 0;
};
