#ifndef SCENARIO_MODEL_LINE_GRID_H_
#define SCENARIO_MODEL_LINE_GRID_H_

#include <cassert>
#include <cstdint>
#include <vector>

#include "model/plan_runs.h"
#include "model/zeroed_allocator.h"

namespace scenario {

// The type of a grid element; the file carries it as a 2-byte tag.
// In files: never renumber.
enum class GridTag : std::uint16_t {
  kEmpty = 0,
  kInt16 = 2,
  kDouble = 5,
};

// The plan of the line: an x and a y coordinate for every metre 0 to
// extended_length. x and y of a metre are always set together and share
// one element type.
//
// The grid of a compile or a check keeps the runs of its plan instead of
// their coordinates (kept_runs()): the file's encoder lays them as it
// writes, so a long line's coordinates never fill memory. Such a grid holds the
// values of metres 0 and 1 only; AddRun lays the metres after them, each
// run starting where the last one ended, and the metres past the last run
// are empty.
class LineGrid {
 public:
  bool exists() const { return exists_; }
  // Creates metres 0 to extended_length, all empty with coordinates 0.
  // The memory is taken as it is first written: a grid whose metres are
  // never set costs (almost) nothing. REQUIRES: extended_length >= 0.
  void Create(std::int32_t extended_length, bool keep_runs = false);

  bool kept_runs() const { return keep_runs_; }
  // Lays run.first to run.last of a grid that keeps its runs.
  // REQUIRES: kept_runs(); run.first is 2 for the first run and the metre
  // after the last run's for the others; run.first <= run.last < size().
  void AddRun(const PlanRun& run);
  const std::vector<PlanRun>& runs() const { return runs_; }
  // The metre after the last run (held() when there is none): every metre
  // from there on is empty. REQUIRES: kept_runs().
  std::int64_t laid_end() const {
    assert(keep_runs_);
    return laid_end_;
  }

  // Throws Fault as the checked accessors do, for a metre laid without
  // reading it.
  void Require(std::int64_t m) const { Check(m); }

  std::int64_t size() const { return size_; }
  bool Contains(std::int64_t m) const { return m >= 0 && m < size_; }
  // The number of metres whose values are held: all of them, or metres 0
  // and 1 of a grid that keeps its runs.
  std::int64_t held() const { return static_cast<std::int64_t>(x_.size()); }

  // Checked writes for the reader: throw Fault when the grid does not exist
  // or m lies outside 0 to extended_length.
  // REQUIRES as well: m < held().
  void SetInt16(std::int64_t m, std::int16_t x, std::int16_t y) {
    Check(m);
    Put(m, GridTag::kInt16, x, y);
  }
  void SetDouble(std::int64_t m, double x, double y) {
    Check(m);
    Put(m, GridTag::kDouble, x, y);
  }
  // Checked reads: throw Fault as above. REQUIRES as well: m < held().
  double X(std::int64_t m) const {
    Check(m);
    return x(m);
  }
  double Y(std::int64_t m) const {
    Check(m);
    return y(m);
  }

  // Unchecked element access. REQUIRES: Contains(m).
  GridTag tag(std::int64_t m) const {
    assert(Contains(m));
    if (m < held()) return tags_[m];
    return m < laid_end_ ? GridTag::kDouble : GridTag::kEmpty;
  }
  // REQUIRES as well: m < held().
  double x(std::int64_t m) const {
    assert(Contains(m) && m < held());
    return x_[m];
  }
  double y(std::int64_t m) const {
    assert(Contains(m) && m < held());
    return y_[m];
  }
  // Unchecked write, for a run of metres checked as a whole.
  // REQUIRES: Contains(m); the grid does not keep its runs.
  void SetDoubleUnchecked(std::int64_t m, double x, double y) {
    assert(Contains(m) && !keep_runs_);
    Put(m, GridTag::kDouble, x, y);
  }

 private:
  template <typename T>
  using Column = std::vector<T, ZeroedAllocator<T>>;

  void Check(std::int64_t m) const {
    if (!exists_ || !Contains(m)) Refuse(m);
  }
  [[noreturn]] void Refuse(std::int64_t m) const;
  void Put(std::int64_t m, GridTag tag, double x, double y) {
    assert(m < held());
    tags_[m] = tag;
    x_[m] = x;
    y_[m] = y;
  }

  bool exists_ = false;
  bool keep_runs_ = false;
  std::int64_t size_ = 0;
  // Kept runs only: the runs in order, and the metre after the last (or
  // held() before the first).
  std::vector<PlanRun> runs_;
  std::int64_t laid_end_ = 0;
  // Metres 0 to held() - 1.
  Column<GridTag> tags_;
  Column<double> x_;
  Column<double> y_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_LINE_GRID_H_
