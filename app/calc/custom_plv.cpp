#include "app/calc/custom_plv.h"

#include <memory>
#include <string>

#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/plantengine/grendax.h"
#include "platform/ui/ui.h"

namespace modCalcs {

namespace {

bool IsElectric(const ChillerData& chiller) {
  return (chiller.nType >= 1 && chiller.nType <= 5) || (chiller.nType >= 10 && chiller.nType <= 12);
}

// The chiller as the plant engine sees it: its record transferred (and its map prepared on
// the way) into an engine chiller, whose performance model then rates it. Raises for a
// chiller that cannot be rated in kW/ton; false when the transfer failed (its box has been
// shown).
struct RatedChiller {
  std::unique_ptr<cCwPlant> plant = CreateCwPlant();
  cChiller* chiller = nullptr;
};

bool PrepareForRating(const ChillerData& chiller, RatedChiller& rated) {
  const std::string name = vb::Trim(chiller.sName);
  if (!IsElectric(chiller))
    vb::Raise(vb::kInvalidProcedureCall, "Chiller \"" + name + "\" (type " + std::to_string(chiller.nType) +
                                             ") is not an electric chiller; its part-load value is not rated "
                                             "in kW/ton.");
  if (!(chiller.fFLCapacity > 0)) vb::Raise(vb::kDivisionByZero, "Chiller \"" + name + "\" has no full-load capacity.");
  rated.plant->Chillers().BuildCollection(1);
  rated.chiller = &rated.plant->Chillers().Item(1);
  ChillerData prepared = chiller;
  double minECWT = 0, heatRejection = 0;
  if (!frmWait::TransferChillerDataFromBrimlowToEngine(SystemData{}, *rated.plant, prepared, *rated.chiller, minECWT,
                                                       heatRejection))
    return false;
  const cChiller& c = *rated.chiller;
  if (!(ChillerInputAt(c, chiller.fDesignECWT, c.Capacity(), c.DesignLCHWT()) > 0))
    vb::Raise(vb::kInvalidProcedureCall, "Chiller \"" + name + "\" has no performance map to rate it from.");
  return true;
}

// kW/ton of a chiller at a load (percent of full-load capacity) and ECWT, at its design
// supply temperature.
double KWPerTon(const RatedChiller& rated, float fLoadPercent, float fECWT) {
  if (!(fLoadPercent > 0))
    vb::Raise(vb::kInvalidProcedureCall, "A chiller load of " + vb::CStr(fLoadPercent) + " % cannot be rated.");
  const cChiller& c = *rated.chiller;
  const double load = fLoadPercent * 0.01 * c.Capacity();  // kBtu/h
  const double input = ChillerInputAt(c, fECWT, load, c.DesignLCHWT());
  return vb::CheckFinite(input / (load / 12.0));
}

}  // namespace

float RatingPointPercent(int p) {
  vb::CheckIndex(p, 1, 4);
  return 25.0f * static_cast<float>(p);
}

bool bCalcChillerKWPerTon(const ChillerData& chiller, float fLoadPercent, float fECWT, double& dKWPerTon) {
  return modpublic::RunGuarded("bCalcChillerKWPerTon", kCalcErrorPrefix, ui::kExclamation, [&] {
    RatedChiller rated;
    if (!PrepareForRating(chiller, rated)) return false;
    dKWPerTon = KWPerTon(rated, fLoadPercent, fECWT);
    return true;
  });
}

bool bCalcPLVFromRatingPoints(const vb::Array<float, 1, 4>& fWeightingFactor, const vb::Array<double, 1, 4>& dKWPerTon,
                              double& dPLV) {
  return modpublic::RunGuarded("bCalcPLVFromRatingPoints", kCalcErrorPrefix, ui::kExclamation, [&] {
    double sum = 0;
    bool weighted = false;
    for (int p = 1; p <= 4; ++p) {
      const double w = fWeightingFactor(p);
      if (!(w > 0)) continue;
      if (!(dKWPerTon(p) > 0))
        vb::Raise(vb::kDivisionByZero, "The " + std::to_string(static_cast<int>(RatingPointPercent(p))) +
                                           " % rating point carries weight but has no efficiency.");
      sum += w / dKWPerTon(p);
      weighted = true;
    }
    if (!weighted) vb::Raise(vb::kDivisionByZero, "No rating point carries a weighting factor.");
    dPLV = vb::CheckFinite(1.0 / sum);
  });
}

bool bCalcChillerCPLV(const ChillerData& chiller, const ChillerResultData& result, float& fCPLV) {
  vb::Array<double, 1, 4> efficiency;
  const bool ok = modpublic::RunGuarded("bCalcChillerCPLV", kCalcErrorPrefix, ui::kExclamation, [&] {
    RatedChiller rated;
    if (!PrepareForRating(chiller, rated)) return false;
    for (int p = 1; p <= 4; ++p)
      if (result.fWeightingFactor(p) > 0) efficiency(p) = KWPerTon(rated, RatingPointPercent(p), result.fECWT(p));
    return true;
  });
  double plv = 0;
  if (!ok || !bCalcPLVFromRatingPoints(result.fWeightingFactor, efficiency, plv)) return false;
  fCPLV = static_cast<float>(plv);
  return true;
}

}  // namespace modCalcs
