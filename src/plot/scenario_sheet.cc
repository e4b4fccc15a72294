#include "plot/scenario_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "model/cell_file.h"
#include "model/kilometre_axis.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "plot/plan_panel.h"
#include "plot/sheet_layout.h"
#include "plot/sheet_panels.h"
#include "plot/svg_builder.h"

namespace scenario {
namespace sheet {
namespace {

constexpr char kFontFamily[] = "DejaVu Sans, Helvetica, Arial, sans-serif";

void DrawTitle(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis) {
  svg->OpenGroup("title");
  std::string heading = ctx.scenario.line_name;
  if (!ctx.scenario.train_name.empty()) {
    heading += " \xE2\x80\x94 " + ctx.scenario.train_name;  // em dash
  }
  svg->Text(kMarginLeft, 34, heading,
            "font-size=\"24\" font-weight=\"bold\" fill=\"#111\"");

  std::string codes = "race codes: ";
  if (ctx.cells.size() > kHeaderCell &&
      ctx.cells[kHeaderCell].w2 == kCellHeaderMark) {
    codes += "plain " + ToString(ctx.cells[kHeaderCell].w4);
  } else {
    codes += "plain not stamped";
  }
  const ParamSlot& line_slot = ctx.table[kLineSlot];
  if (line_slot.int1 == kParamHeaderMark) {
    codes += ", weighted " + ToString(line_slot.long4);
  } else {
    codes += ", weighted not stamped";
  }
  svg->Text(kMarginLeft, 56, codes,
            "id=\"race-codes\" font-size=\"13\" fill=\"#222\"");

  std::string facts = "line length " +
                      SvgNumber(ctx.table[kGeneralSlot].long2 / 1000.0) +
                      " km" + " \xC2\xB7 " +
                      ToString(static_cast<std::int64_t>(ctx.stations.size())) +
                      " stations \xC2\xB7 shown: km " +
                      FormatKilometre(ctx.km.Reading(axis.from)) + " to " +
                      FormatKilometre(ctx.km.Reading(axis.to));
  const ParamSlot& train_slot = ctx.table[kTrainSlot];
  if (train_slot.int3 != 0 || train_slot.int4 != 0 || train_slot.int5 != 0) {
    char clock[64];
    std::snprintf(clock, sizeof clock, " \xC2\xB7 clock %d:%02d:%02d",
                  train_slot.int3, train_slot.int4, train_slot.int5);
    facts += clock;
  }
  svg->Text(kMarginLeft, 76, facts, "font-size=\"12\" fill=\"#444\"");
  svg->CloseGroup();
}

void DrawKilometreGrid(SvgBuilder* svg, const SheetContext& ctx,
                       const XAxis& axis,
                       const std::vector<KilometreAxis::Tick>& ticks,
                       double top, double bottom) {
  svg->OpenGroup("km-grid");
  for (const KilometreAxis::Tick& t : ticks) {
    const double x = axis.X(t.position);
    svg->Line(x, top, x, bottom, "stroke=\"#eee\" stroke-width=\"0.8\"");
  }
  // Where the readings jump, a dashed line.
  for (const KilometreAxis::Segment& s : ctx.km.segments()) {
    if (!axis.Inside(s.start) || s.start == axis.from) continue;
    const double x = axis.X(s.start);
    svg->Line(x, top, x, bottom,
              "stroke=\"#b58900\" stroke-width=\"1\" stroke-dasharray=\"5 4\"");
  }
  svg->CloseGroup();
}

void DrawAxis(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
              const std::vector<KilometreAxis::Tick>& ticks, double step,
              double top) {
  svg->OpenGroup("axis");
  svg->Line(axis.left, top, axis.left + axis.width, top,
            "stroke=\"#333\" stroke-width=\"1\"");
  double last_label_end = -1e300;
  for (const KilometreAxis::Tick& t : ticks) {
    const double x = axis.X(t.position);
    svg->Line(x, top, x, top + 6, "stroke=\"#333\" stroke-width=\"1\"");
    const std::string label = step >= 1000
                                  ? ToString(std::llround(t.reading / 1000))
                                  : FormatKilometre(t.reading);
    const double half = CharCount(label) * 11 * kCharAdvance / 2;
    if (x - half < last_label_end + 6) continue;
    svg->Text(x, top + 19, label,
              "font-size=\"11\" text-anchor=\"middle\" fill=\"#333\"");
    last_label_end = x + half;
  }
  // Where the readings jump: the reading before and from there on.
  const std::vector<KilometreAxis::Segment>& segments = ctx.km.segments();
  for (std::size_t i = 1; i < segments.size(); ++i) {
    const KilometreAxis::Segment& s = segments[i];
    if (!axis.Inside(s.start) || s.start == axis.from) continue;
    const double x = axis.X(s.start);
    svg->Text(x + 3, top + 34,
              "km " + FormatKilometre(s.start + segments[i - 1].offset) +
                  " = " + FormatKilometre(s.start + s.offset),
              "font-size=\"10\" fill=\"#b58900\"");
  }
  svg->Text(axis.left + axis.width, top + 48,
            "kilometre readings (km), from the line's kilometre records",
            "font-size=\"11\" text-anchor=\"end\" fill=\"#555\"");
  svg->CloseGroup();
}

// Metres between the plan's points that a page gets.
constexpr double kPlanPointStep = 100;

std::string DrawSheet(const SheetScenario& scenario,
                      const SheetOptions& options, SheetGeometry* geometry) {
  const double width =
      std::clamp(std::isfinite(options.width) ? options.width : 0.0,
                 kMinSheetWidth, kMaxSheetWidth);
  const KilometreAxis km(*scenario.table);
  SheetContext ctx{scenario, *scenario.cells, *scenario.table, km, {}, width};
  ctx.stations = FindStations(ctx.cells, ctx.table);

  std::optional<SheetRange> range = ResolveSheetRange(scenario, options);
  if (!range) range = ResolveSheetRange(scenario, SheetOptions{});
  const XAxis axis{range->from, range->to, kMarginLeft,
                   width - kMarginLeft - kMarginRight};

  const PlanLayout plan = LayOutPlan(ctx, axis);
  const double plan_top = kTitleHeight;
  const double profiles_top = plan_top + plan.height + kPanelGap;
  const double profiles_bottom =
      profiles_top + kGradientHeight + kSpeedHeight + kAdhesionHeight +
      kMountainHeight + kStationsHeight + kSignalsHeight + kSlowdownsHeight +
      kBoardsHeight + kCodesHeight + 8 * kPanelGap;
  const double height = profiles_bottom + kAxisHeight;

  SvgBuilder body(width, height,
                  std::string("font-family=\"") + kFontFamily +
                      "\" data-from-m=\"" + ExactNumber(axis.from) +
                      "\" data-to-m=\"" + ExactNumber(axis.to) + "\"");
  body.Rect(0, 0, width, height, "fill=\"#ffffff\"");
  DrawTitle(&body, ctx, axis);
  DrawPlan(&body, ctx, axis, plan, plan_top);

  const double step = NiceStep(axis.to - axis.from,
                               std::max(2, static_cast<int>(axis.width / 70)));
  const std::vector<KilometreAxis::Tick> ticks =
      km.Ticks(axis.from, axis.to, step);
  DrawKilometreGrid(&body, ctx, axis, ticks, profiles_top, profiles_bottom);

  double y = profiles_top;
  DrawGradient(&body, ctx, axis, y);
  y += kGradientHeight + kPanelGap;
  DrawSpeed(&body, ctx, axis, y);
  y += kSpeedHeight + kPanelGap;
  DrawAdhesion(&body, ctx, axis, y);
  y += kAdhesionHeight + kPanelGap;
  DrawMountain(&body, ctx, axis, y);
  y += kMountainHeight + kPanelGap;
  DrawStations(&body, ctx, axis, y);
  y += kStationsHeight + kPanelGap;
  DrawSignals(&body, ctx, axis, y);
  y += kSignalsHeight + kPanelGap;
  DrawSlowdowns(&body, ctx, axis, y);
  y += kSlowdownsHeight + kPanelGap;
  DrawBoards(&body, ctx, axis, y);
  y += kBoardsHeight + kPanelGap;
  DrawCodes(&body, ctx, axis, y);
  y += kCodesHeight;
  DrawAxis(&body, ctx, axis, ticks, step, y);
  if (geometry != nullptr) {
    *geometry =
        SheetGeometry{width,      height,   axis.from,    axis.to, axis.left,
                      axis.width, plan_top, profiles_top, y,       {}};
    geometry->plan = PlanSamples(ctx, axis, plan, plan_top, kPlanPointStep);
  }
  return body.Finish();
}

}  // namespace
}  // namespace sheet

std::optional<SheetRange> ResolveSheetRange(const SheetScenario& scenario,
                                            const SheetOptions& options) {
  const std::vector<TrackCell>& cells = *scenario.cells;
  const ParamTable& table = *scenario.table;
  const double cells_end =
      cells.empty() ? 0 : static_cast<double>(cells.size() - 1) * 50;
  const double length = table[kGeneralSlot].long2;
  const double hi = length > 0 && length <= cells_end
                        ? length
                        : std::max(cells_end, sheet::kMetresPerCell);
  if ((options.from_km && !std::isfinite(*options.from_km)) ||
      (options.to_km && !std::isfinite(*options.to_km))) {
    return std::nullopt;
  }
  std::optional<double> from, to;
  if (options.from_km) from = *options.from_km * 1000;
  if (options.to_km) to = *options.to_km * 1000;
  const KilometreAxis km(table);
  const auto range = km.PositionsFor(0, hi, from, to);
  if (!range) return std::nullopt;
  return SheetRange{range->from, range->to};
}

std::string DrawScenarioSheet(const SheetScenario& scenario,
                              const SheetOptions& options) {
  return sheet::DrawSheet(scenario, options, nullptr);
}

std::string DrawScenarioSheet(const SheetScenario& scenario,
                              const SheetOptions& options,
                              SheetGeometry* geometry) {
  return sheet::DrawSheet(scenario, options, geometry);
}

}  // namespace scenario
