#ifndef SCENARIO_PLOT_SMALL_SCENARIO_TESTING_H_
#define SCENARIO_PLOT_SMALL_SCENARIO_TESTING_H_

// Test-only: a small compiled scenario built by hand, as the decoders would
// give it. A 5 km line (241 cells), three stations, a board, signals,
// speed boards, a slowdown, code marks, a kilometre record (from 3000 m on
// readings run 500 m ahead) and a plan that runs 2 km north and then
// bends east; the grid's last two metres stay empty as the reader leaves
// them.

#include <cstdint>
#include <string>
#include <vector>

#include "model/line_grid.h"
#include "model/param_table.h"
#include "model/track_cells.h"

namespace scenario {

struct SmallScenarioData {
  std::vector<TrackCell> cells;
  ParamTable table;
  LineGrid grid;

  void Place(std::size_t k, std::uint8_t kind, std::int16_t w2, std::int16_t w4,
             std::int16_t w6, std::int16_t w8) {
    cells[k].kind = kind;
    cells[k].w2 = w2;
    cells[k].w4 = w4;
    cells[k].w6 = w6;
    cells[k].w8 = w8;
  }

  void AddStation(int slot, std::int32_t position, std::int32_t start,
                  std::int32_t end, std::uint8_t kind, const char* name,
                  std::int32_t time) {
    ParamSlot& s = table[slot];
    s.byte1 = kind;
    s.long1 = start;
    s.long2 = end;
    s.long3 = position;
    s.text = name;
    s.long4 = time;
  }

  // Names in Windows-1252, as the files hold them.
  explicit SmallScenarioData(const std::string& line_name = "Tarvo_Cembrio",
                             const std::string& train_name = "Exp 5147") {
    cells.assign(241, TrackCell{});
    for (std::size_t k = 0; k < cells.size() - 3; ++k) {
      cells[k].gradient = k < 40 ? 100 : 89;  // 0 then -11 per mille
      cells[k].speed_step = k < 20 ? 6 : 19;  // 30 then 95 km/h
      cells[k].adhesion = 76;
    }
    cells[1].w2 = 5121;  // the stamped header
    cells[1].w4 = 2352;
    Place(22, kKindSignal, 52, 11, 11, 8);
    Place(46, kKindSignal, 30, 10, 10, 6);
    Place(21, kKindSpeedBoard, 90 * 20, 95 * 20, 100 * 20, 0);
    Place(60, kKindSpeedBoard, 130 * 20 + 26, 140 * 20 + 28, 145 * 20 + 29, 22);
    Place(41, kKindIndicatorBoard, 80, 0, 0, 0);
    table[80].text = "(  Cippo  )(Km 2+000)";
    Place(8, kKindWarningBoard, 60, 0, 0, 0);
    Place(32, kKindSlowdownStart, 60, 0, 1, 0);
    Place(42, kKindSlowdownEnd, 60, 0, 1, 0);
    Place(20, kKindCodeMark, 270, 0, 0, 0);
    Place(70, kKindCodeOff, 0, 0, 0, 0);

    AddStation(1, 0, -250, 250, 8, "Tarvo", 17 * 3600 + 15 * 60 + 30);
    // A grave a in Windows-1252, and markup characters.
    AddStation(2, 2000, 1700, 2300, 22, "Citt\xE0 <Alta> & Bassa", 0);
    AddStation(3, 4500, 4200, 4800, 27, "Cembrio", 18 * 3600);
    table[kGeneralSlot].long2 = 5000;
    table[kLineSlot].text = line_name;
    table[kLineSlot].int1 = 610;
    table[kLineSlot].long4 = 32107;
    table[kTrainSlot].text = train_name;
    table[kTrainSlot].long1 = 1000;
    table[kTrainSlot].long2 = 5000;
    table[kTrainSlot].long3 = 9;
    table[81].long1 = 3000;
    table[81].long2 = 500;

    grid.Create(12000);
    grid.SetInt16(0, 0, 0);
    grid.SetInt16(1, 0, 1);
    double hx = 0, hy = 1;
    for (std::int64_t m = 2; m <= 11998; ++m) {
      if (m > 2000) {
        const double k = 0.0004;
        const double nx = hx + k * hy;
        const double ny = hy - k * hx;
        hx = nx;
        hy = ny;
      }
      grid.SetDouble(m, grid.x(m - 1) + hx, grid.y(m - 1) + hy);
    }
  }

  // The cells as the model's array, for the encoder.
  TrackCells Array() const {
    TrackCells a;
    a.Create(static_cast<std::int32_t>(cells.size()) - 1);
    for (std::size_t k = 0; k < cells.size(); ++k) {
      a[static_cast<std::int64_t>(k)] = cells[k];
    }
    return a;
  }
};

}  // namespace scenario

#endif  // SCENARIO_PLOT_SMALL_SCENARIO_TESTING_H_
