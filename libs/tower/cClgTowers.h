// pylorn: the ordered collection of a plant's heat rejectors (cClgTower).
//
// Positions are 1-based, in creation order. BuildCollection(n) replaces every item with n
// new towers (all members 0); a count of 0 or less leaves the collection empty. Items are
// shared: a holder may keep a tower after a rebuild, it is then no longer an item.
// Item with a position outside 1..Count throws std::out_of_range and raises no event.
// The collection does not relay its towers' errors: whoever drives a tower subscribes to
// that tower's OnError.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "libs/tower/cClgTower.h"
#include "pylorn_export.h"

class PYLORN_EXPORT cClgTowers {
 public:
  using ErrorListener = cClgTower::ErrorListener;
  using Items = std::vector<std::shared_ptr<cClgTower>>;

  cClgTowers() = default;

  // The OnError event of the collection's own building operations ("BuildCollection", "Add").
  void SetOnError(ErrorListener listener) { onError_ = std::move(listener); }

  long Count() const { return static_cast<long>(items_.size()); }
  // The tower at position nIndex (1-based); throws std::out_of_range outside 1..Count.
  std::shared_ptr<cClgTower> Item(long nIndex) const;
  // The live inner collection (not a copy).
  Items& ClgTowers() { return items_; }
  const Items& ClgTowers() const { return items_; }
  // Enumeration in position order.
  Items::const_iterator begin() const { return items_.begin(); }
  Items::const_iterator end() const { return items_.end(); }

  void BuildCollection(long nNumUnits);

 private:
  std::shared_ptr<cClgTower> Add();
  void RaiseError(const std::string& method);

  ErrorListener onError_;
  Items items_;
  std::shared_ptr<cClgTower::RecentApproaches> recentApproaches_;  // shared by the items
};
