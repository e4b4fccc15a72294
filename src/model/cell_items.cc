#include "model/cell_items.h"

#include <cmath>
#include <utility>

#include "base/windows1252.h"
#include "model/param_table.h"

namespace scenario {
namespace {

constexpr double kMetresPerCell = 50;

// The item words, each marked once a kind's decoding has used it.
enum Word { kW2 = 1, kW4 = 2, kW6 = 4, kW8 = 8, kB10 = 16 };

class FieldList {
 public:
  explicit FieldList(const TrackCell& c) : cell_(c) {}

  void Number(std::string name, std::int64_t value, std::string unit = "") {
    fields_.push_back({std::move(name), value, std::move(unit)});
  }
  void Text(std::string name, std::string text) {
    fields_.push_back({std::move(name), std::move(text), ""});
  }
  void Use(int words) { used_ |= words; }

  // The fields, then every item word no field took that is not zero.
  std::vector<ItemField> Finish() {
    const struct {
      Word word;
      const char* name;
      std::int64_t value;
    } kRaw[] = {{kW2, "w2", cell_.w2},
                {kW4, "w4", cell_.w4},
                {kW6, "w6", cell_.w6},
                {kW8, "w8", cell_.w8},
                {kB10, "b10", cell_.b10}};
    for (const auto& r : kRaw) {
      if ((used_ & r.word) == 0 && r.value != 0) Number(r.name, r.value);
    }
    return std::move(fields_);
  }

 private:
  const TrackCell& cell_;
  int used_ = 0;
  std::vector<ItemField> fields_;
};

// A slot's text, when the table and the slot exist.
bool TableText(const ParamTable* table, std::int64_t slot, std::string* text) {
  return table != nullptr && SlotText(*table, slot, text);
}

// w2 = s1 x 10 + d1 and so on; w8 = rapp x 10 + sx x 3 + dx. Truncating
// division gives back the packed word for any value, so the decoding
// loses nothing; it names the row's digits exactly when they are single
// digits and dx is 0 to 2, as the packing assumes.
void SignalFields(const TrackCell& c, FieldList* f) {
  const int types = c.w8 % 10;
  f->Number("sx", types / 3);
  f->Number("s1", c.w2 / 10);
  f->Number("s2", c.w4 / 10);
  f->Number("s3", c.w6 / 10);
  f->Number("rapp", c.w8 / 10);
  f->Number("dx", types % 3);
  f->Number("d1", c.w2 % 10);
  f->Number("d2", c.w4 % 10);
  f->Number("d3", c.w6 % 10);
  f->Number("tempo", c.b10);
  f->Use(kW2 | kW4 | kW6 | kW8 | kB10);
}

void SpeedBoardFields(const TrackCell& c, FieldList* f) {
  const SpeedBoardValues board = DecodeSpeedBoard(c);
  const char* s_names[3] = {"vas", "vbs", "vcs"};
  const char* d_names[3] = {"vad", "vbd", "vcd"};
  for (int i = 0; i < 3; ++i) f->Number(s_names[i], board.s_kmh[i], "km/h");
  f->Number("strisces", board.s_stripes);
  for (int i = 0; i < 3; ++i) f->Number(d_names[i], board.d_kmh[i], "km/h");
  f->Number("strisced", board.d_stripes);
  f->Use(kW2 | kW4 | kW6 | kW8);
}

}  // namespace

bool HasItem(const TrackCell& c) {
  return c.kind != kKindNone || c.w2 != 0 || c.w4 != 0 || c.w6 != 0 ||
         c.w8 != 0 || c.b10 != 0;
}

std::string KindName(std::uint8_t kind) {
  switch (kind) {
    case kKindNone:
      return "none";
    case kKindSignal:
      return "signal";
    case kKindSlowdownEnd:
      return "slowdown end";
    case kKindSlowdownStart:
      return "slowdown start";
    case kKindWarningBoard:
      return "slowdown warning board";
    case kKindPreWarning:
      return "pre-warning cell";
    case kKindSpeedBoard:
      return "maximum-speed board";
    case kKindStopMark:
      return "stop mark";
    case kKindMountainMark:
      return "mountain-side mark";
    case kKindCodeMark:
      return "code mark";
    case kKindCodeOff:
      return "code-off mark";
    case kKindIndicatorBoard:
      return "indicator board";
    default:
      return "kind " + std::to_string(kind);
  }
}

std::string ItemName(const TrackCell& c, std::int64_t cell) {
  if (c.kind == kKindNone) {
    return cell == kHeaderCell ? "header" : "values without a kind";
  }
  return KindName(c.kind);
}

bool SlotText(const ParamTable& table, std::int64_t slot, std::string* text) {
  if (slot < 0 || slot >= kParamSlotCount) return false;
  *text = Windows1252ToUtf8(table[static_cast<int>(slot)].text);
  return true;
}

SpeedBoardValues DecodeSpeedBoard(const TrackCell& c) {
  SpeedBoardValues board;
  const std::int16_t words[3] = {c.w2, c.w4, c.w6};
  for (int i = 0; i < 3; ++i) {
    board.s_kmh[i] = words[i] / 100 * 5;
    board.d_kmh[i] = words[i] % 100 * 5;
  }
  board.s_stripes = c.w8 / 10;
  board.d_stripes = c.w8 % 10;
  return board;
}

double ItemPosition(const TrackCell& c, std::int64_t cell) {
  switch (c.kind) {
    case kKindPreWarning:
    case kKindMountainMark:
    case kKindCodeMark:
    case kKindCodeOff:
      return static_cast<double>(cell) * kMetresPerCell;
    default:
      return static_cast<double>(cell - 1) * kMetresPerCell;
  }
}

bool ItemRowIsKnown(const TrackCell& c) {
  switch (c.kind) {
    case kKindSignal:
    case kKindSlowdownEnd:
    case kKindSlowdownStart:
    case kKindWarningBoard:
    case kKindPreWarning:
    case kKindSpeedBoard:
    case kKindMountainMark:
    case kKindCodeMark:
    case kKindCodeOff:
    case kKindIndicatorBoard:
      return true;
    default:
      return false;
  }
}

CellSpan SpanOfCell(std::int64_t cell) {
  const std::int64_t metres = static_cast<std::int64_t>(kMetresPerCell);
  return {(cell - 1) * metres, cell * metres};
}

std::string SpanText(const CellSpan& span) {
  return std::to_string(span.from) + "-" + std::to_string(span.to) + " m";
}

std::string ItemPositionText(const TrackCell& c, std::int64_t cell) {
  if (!ItemRowIsKnown(c)) return SpanText(SpanOfCell(cell));
  return std::to_string(std::llround(ItemPosition(c, cell))) + " m";
}

std::vector<ItemField> ItemFields(const TrackCell& c, std::int64_t cell,
                                  const ParamTable* table) {
  FieldList f(c);
  std::string text;
  switch (c.kind) {
    case kKindNone:
      if (cell == kHeaderCell) {
        f.Number("mark", c.w2);
        f.Number("race code", c.w4);
        f.Use(kW2 | kW4);
      }
      break;
    case kKindSignal:
      SignalFields(c, &f);
      break;
    case kKindSlowdownEnd:
    case kKindSlowdownStart:
      f.Number("v", c.w2, "km/h");
      f.Number("d_v", c.w4);
      f.Number("f_tt", c.w6);
      f.Use(kW2 | kW4 | kW6);
      break;
    case kKindWarningBoard:
      f.Number("v", c.w2, "km/h");
      f.Number("d_v", c.w4);
      f.Use(kW2 | kW4);
      break;
    case kKindPreWarning:
      // w4 repeats the number when the slowdown has a d_v.
      f.Number("n", c.w2);
      f.Number("n for d_v", c.w4);
      f.Use(kW2 | kW4);
      break;
    case kKindSpeedBoard:
      SpeedBoardFields(c, &f);
      break;
    case kKindStopMark:
      f.Number("station", c.w2);
      if (TableText(table, c.w2, &text)) f.Text("name", std::move(text));
      f.Use(kW2);
      break;
    case kKindCodeMark:
      f.Number("code", c.w2);
      f.Use(kW2);
      break;
    case kKindIndicatorBoard:
      f.Number("slot", c.w2);
      if (TableText(table, c.w2, &text)) f.Text("text", std::move(text));
      f.Use(kW2);
      break;
    default:
      break;
  }
  return f.Finish();
}

}  // namespace scenario
