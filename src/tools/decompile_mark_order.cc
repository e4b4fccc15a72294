#include <cstddef>
#include <cstdint>
#include <queue>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tools/decompile_train_parts.h"

namespace scenario {

namespace {

// Rows are nodes: stations first (0 to stations - 1), then signals. An
// edge a -> b says a must come before b.
class MarkOrder {
 public:
  MarkOrder(std::vector<MarkedRow> stations, std::vector<MarkedRow> signals)
      : station_count_(stations.size()) {
    nodes_ = std::move(stations);
    for (MarkedRow& s : signals) nodes_.push_back(std::move(s));
    after_.resize(nodes_.size());
    before_count_.assign(nodes_.size(), 0);
    for (std::size_t k = 1; k < station_count_; ++k) Edge(k - 1, k);
    for (std::size_t n = station_count_; n < nodes_.size(); ++n) {
      const std::int64_t slot = nodes_[n].before_station;
      if (slot >= 1 && static_cast<std::size_t>(slot) <= station_count_) {
        Edge(n, static_cast<std::size_t>(slot) - 1);
      }
    }
  }

  // The writers of each cell's b11; the ones whose value stands in the
  // file come after all the others. Fails on a mark nobody writes.
  Status AddMarkEdges(const std::vector<TrackCell>& cells,
                      std::vector<RecoveryNote>* notes);
  void Order(std::vector<RecoveredRow>* rows, std::vector<RecoveryNote>* notes);

 private:
  void Edge(std::size_t a, std::size_t b) {
    after_[a].push_back(b);
    ++before_count_[b];
  }
  bool IsStation(std::size_t node) const { return node < station_count_; }
  // Stations first, each kind in its own order.
  std::tuple<int, std::int64_t, std::size_t> Priority(std::size_t node) const {
    return {IsStation(node) ? 0 : 1, nodes_[node].key, node};
  }

  std::size_t station_count_;
  std::vector<MarkedRow> nodes_;
  std::vector<std::vector<std::size_t>> after_;
  std::vector<std::size_t> before_count_;
};

Status MarkOrder::AddMarkEdges(const std::vector<TrackCell>& cells,
                               std::vector<RecoveryNote>* notes) {
  std::vector<std::vector<std::pair<std::size_t, std::uint8_t>>> writers(
      cells.size());
  for (std::size_t node = 0; node < nodes_.size(); ++node) {
    for (const auto& [cell, value] : nodes_[node].marks) {
      if (cell >= 0 && cell < static_cast<std::int64_t>(cells.size())) {
        writers[static_cast<std::size_t>(cell)].emplace_back(node, value);
      }
    }
  }
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::uint8_t stored = cells[c].b11;
    if (writers[c].empty()) {
      if (stored == 0) continue;
      return Status::Error(
          "the cell file's cell " + std::to_string(c) +
          " holds the approach mark " + std::to_string(stored) +
          ", but no station stops and no signal stands within 8 cells "
          "after it to write one");
    }
    std::vector<std::size_t> good;
    for (const auto& [node, value] : writers[c]) {
      if (value == stored) good.push_back(node);
    }
    if (good.empty()) {
      notes->push_back({RowKind::kSignal, static_cast<std::int64_t>(c) * 50,
                        "the approach mark " + std::to_string(stored) +
                            " in cell " + std::to_string(c) +
                            " is not the mark of any station or signal "
                            "before which it stands"});
      continue;
    }
    for (const auto& [node, value] : writers[c]) {
      if (value == stored) continue;
      for (std::size_t g : good) Edge(node, g);
    }
  }
  return Status::Ok();
}

void MarkOrder::Order(std::vector<RecoveredRow>* rows,
                      std::vector<RecoveryNote>* notes) {
  using Entry = std::tuple<int, std::int64_t, std::size_t>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> ready;
  for (std::size_t n = 0; n < nodes_.size(); ++n) {
    if (before_count_[n] == 0) ready.push(Priority(n));
  }
  std::vector<bool> done(nodes_.size(), false);
  std::size_t stations_done = 0;
  for (std::size_t written = 0; written < nodes_.size(); ++written) {
    std::size_t node = nodes_.size();
    if (!ready.empty()) {
      node = std::get<2>(ready.top());
      ready.pop();
    } else {
      // A cycle: no order writes every mark back. The first row left goes
      // next, and the self-check shows the mark that differs.
      for (std::size_t n = 0; n < nodes_.size() && node == nodes_.size(); ++n) {
        if (!done[n]) node = n;
      }
      notes->push_back({nodes_[node].row.kind, nodes_[node].row.numbers[0],
                        "no order of the station and signal rows writes back "
                        "every approach mark near this row"});
    }
    done[node] = true;
    if (IsStation(node)) {
      ++stations_done;
    } else if (stations_done < station_count_) {
      notes->push_back({RowKind::kSignal, nodes_[node].row.numbers[0],
                        "this signal is written before the stations that "
                        "follow it: their approach marks stand where its "
                        "own marks were overwritten"});
    }
    rows->push_back(nodes_[node].row);
    for (std::size_t next : after_[node]) {
      if (--before_count_[next] == 0 && !done[next]) ready.push(Priority(next));
    }
  }
}

}  // namespace

Status OrderMarkedRows(const std::vector<TrackCell>& cells,
                       std::vector<MarkedRow> stations,
                       std::vector<MarkedRow> signals,
                       std::vector<RecoveredRow>* rows,
                       std::vector<RecoveryNote>* notes) {
  MarkOrder order(std::move(stations), std::move(signals));
  if (Status edges = order.AddMarkEdges(cells, notes); !edges.ok()) {
    return edges;
  }
  order.Order(rows, notes);
  return Status::Ok();
}

}  // namespace scenario
