#include "plot/sheet_layout.h"

#include <cstdio>
#include <utility>

#include "base/strings.h"
#include "base/windows1252.h"

namespace scenario {
namespace sheet {
namespace {

// hh:mm, or hh:mm:ss when the seconds are not 0; "" for 0 (no time).
std::string FormatTime(std::int32_t seconds) {
  if (seconds == 0) return "";
  std::string text = ClockText(seconds);
  if (seconds % 60 == 0) text.resize(text.size() - 3);  // no ":00" seconds
  return text;
}

}  // namespace

std::string ToString(std::int64_t v) { return std::to_string(v); }

std::string ExactNumber(double v) { return StringPrintf("%.12g", v); }

double CharCount(std::string_view utf8) {
  double n = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  }
  return n;
}

double RoundUpTo(double v, double step) { return std::ceil(v / step) * step; }

std::vector<Station> FindStations(const std::vector<TrackCell>& cells,
                                  const ParamTable& table) {
  int lowest_board_slot = kFirstBoardTextSlot + 1;
  for (const TrackCell& c : cells) {
    if (c.kind == kKindIndicatorBoard && c.w2 >= kFirstStationSlot &&
        c.w2 < lowest_board_slot) {
      lowest_board_slot = c.w2;
    }
  }
  std::vector<Station> stations;
  for (int k = kFirstStationSlot; k < lowest_board_slot; ++k) {
    const ParamSlot& s = table[k];
    if (s.empty()) break;
    Station st;
    st.slot = k;
    st.position = s.long3;
    st.start = s.long1;
    st.end = s.long2;
    st.stops = StationStops(s.byte1);
    st.name = Windows1252ToUtf8(s.text);
    st.time = FormatTime(s.long4);
    stations.push_back(std::move(st));
  }
  return stations;
}

std::string Title(std::string_view utf8) {
  return "<title>" + XmlEscape(utf8) + "</title>";
}

void TitledElement(SvgBuilder* svg, std::string_view name,
                   std::string_view attributes, std::string_view title) {
  std::string m = "<";
  m.append(name);
  m += ' ';
  m.append(attributes);
  m += '>';
  m += Title(title);
  m += "</";
  m.append(name);
  m += ">\n";
  svg->Raw(m);
}

std::string At(double x, double y) {
  return "x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) + "\"";
}

void PanelFrame(SvgBuilder* svg, const XAxis& axis, double top, double height,
                std::string_view name, std::string_view unit) {
  svg->Rect(axis.left, top, axis.width, height,
            "class=\"frame\" fill=\"none\" stroke=\"#999\" "
            "stroke-width=\"0.8\"");
  svg->Text(8, top + 14, name,
            "font-size=\"12\" font-weight=\"bold\" fill=\"#333\"");
  if (!unit.empty()) {
    svg->Text(8, top + 28, unit, "font-size=\"11\" fill=\"#333\"");
  }
}

double MarkX(const XAxis& axis, double x, double half) {
  const double lo = axis.left + half;
  const double hi = axis.left + axis.width - half;
  if (lo > hi) return axis.left + axis.width / 2;
  return std::clamp(x, lo, hi);
}

namespace {

constexpr double kSwatchWidth = 14;
constexpr double kSwatchToText = 4;
constexpr double kEntryGap = 14;
constexpr double kLegendFontSize = 10;

// The swatch centred at (x, y).
void DrawSwatch(SvgBuilder* svg, const LegendEntry& e, double x, double y) {
  const auto at = [](double px, double py) {
    return "M" + SvgNumber(px) + " " + SvgNumber(py);
  };
  switch (e.swatch) {
    case Swatch::kNone:
      return;
    case Swatch::kLine:
      svg->Path(at(x - 7, y) + " h14", e.style);
      return;
    case Swatch::kArea:
      svg->Path(at(x - 6, y - 4) + " h12 v8 h-12 z", e.style);
      return;
    case Swatch::kDot:
      svg->Circle(x, y, 3.5, e.style);
      return;
    case Swatch::kSquare:
      svg->Rect(x - 4, y - 4, 8, 8, e.style);
      return;
    case Swatch::kBar:
      svg->Rect(x - 7, y - 2, 14, 4, e.style);
      return;
    case Swatch::kDown:
      svg->Path(at(x - 3.5, y - 3) + " h7 l-3.5 6 z", e.style);
      return;
    case Swatch::kUp:
      svg->Path(at(x, y - 4) + " l5 9 h-10 z", e.style);
      return;
    case Swatch::kFlag:
      svg->Path(at(x - 2, y + 5) + " v-10 h5 v4 h-5", e.style);
      return;
    case Swatch::kTick:
      svg->Path(at(x, y + 5) + " v-10", e.style);
      return;
  }
}

double EntryWidth(const LegendEntry& e) {
  const double swatch =
      e.swatch == Swatch::kNone ? 0 : kSwatchWidth + kSwatchToText;
  return swatch + CharCount(e.text) * kLegendFontSize * kCharAdvance;
}

}  // namespace

void Legend(SvgBuilder* svg, const XAxis& axis, double top,
            const std::vector<LegendEntry>& entries) {
  double total = 0;
  for (const LegendEntry& e : entries) total += EntryWidth(e) + kEntryGap;
  total -= entries.empty() ? 0 : kEntryGap;
  const double baseline = top - 4;
  double x = axis.left + axis.width - total;
  svg->OpenGroup("", "class=\"legend\"");
  for (const LegendEntry& e : entries) {
    double text_x = x;
    if (e.swatch != Swatch::kNone) {
      DrawSwatch(svg, e, x + kSwatchWidth / 2, baseline - 3.5);
      text_x += kSwatchWidth + kSwatchToText;
    }
    svg->Text(text_x, baseline, e.text, "font-size=\"10\" fill=\"#555\"");
    x += EntryWidth(e) + kEntryGap;
  }
  svg->CloseGroup();
}

void ValueScale(SvgBuilder* svg, const XAxis& axis, const Panel& panel,
                const std::vector<double>& levels) {
  for (const double v : levels) {
    const double y = panel.Y(v);
    svg->Line(axis.left, y, axis.left + axis.width, y,
              "class=\"scale\" stroke=\"#ddd\" stroke-width=\"0.6\"");
    svg->Text(axis.left - 6, y + 4, SvgNumber(v),
              "font-size=\"10\" text-anchor=\"end\" fill=\"#555\"");
  }
}

CellSpan ItemCells(const std::vector<TrackCell>& cells, const XAxis& axis) {
  const double first = std::max(0.0, std::floor(axis.from / 50) - 1);
  const double last = std::min(static_cast<double>(cells.size()) - 1,
                               std::ceil(axis.to / 50) + 2);
  return {static_cast<std::int64_t>(first), static_cast<std::int64_t>(last)};
}

}  // namespace sheet
}  // namespace scenario
