#include <cstdint>
#include <string>

#include "plot/sheet_panels.h"

namespace scenario {
namespace sheet {
namespace {

constexpr char kBoardStyle[] = "fill=\"#34495e\"";

}  // namespace

void DrawBoards(SvgBuilder* svg, const SheetContext& ctx, const XAxis& axis,
                double top) {
  svg->OpenGroup("boards");
  PanelFrame(svg, axis, top, kBoardsHeight, "Boards");
  Legend(svg, axis, top,
         {{Swatch::kSquare, kBoardStyle, "indicator board, with its text"}});
  const CellSpan span = ItemCells(ctx.cells, axis);
  const double base = top + kBoardsHeight - 6;
  double last_x = -1e300;
  double last_label_x = -1e300;
  for (std::int64_t k = span.first; k <= span.last; ++k) {
    const TrackCell& c = ctx.cells[k];
    if (c.kind != kKindIndicatorBoard) continue;
    const double p = ItemPosition(c, k);
    if (!axis.Inside(p)) continue;
    const double x = MarkX(axis, axis.X(p), 2);
    if (x - last_x < 1) continue;
    last_x = x;
    std::string text;
    if (!SlotText(ctx.table, c.w2, &text)) {
      text = "(no text: slot " + ToString(c.w2) + ")";
    }
    TitledElement(
        svg, "rect",
        At(x - 2, base - 4) + " width=\"4\" height=\"4\" " + kBoardStyle,
        "board at km " + FormatKilometre(ctx.km.Reading(p)) + ": " + text);
    // Vertical labels, reading upwards; one per 11 px.
    if (x - last_label_x < 11) continue;
    last_label_x = x;
    svg->Text(x + 4, base - 8, text,
              "font-size=\"10\" fill=\"#34495e\" transform=\"rotate(-90 " +
                  SvgNumber(x + 4) + " " + SvgNumber(base - 8) + ")\"");
  }
  svg->CloseGroup();
}

}  // namespace sheet
}  // namespace scenario
