#include "plot/sheet_page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/cell_item_json.h"
#include "model/cell_items.h"
#include "model/kilometre_axis.h"
#include "model/param_table.h"
#include "plot/sheet_layout.h"

namespace scenario {

// The page's script and style, built in from sheet_page.js and
// sheet_page.css.
extern const char kSheetPageScript[];
extern const char kSheetPageStyle[];

namespace {

using nlohmann::json;

// A pixel to a tenth: finer than any screen shows, and a smaller page.
double Tenth(double v) { return std::round(v * 10) / 10; }

json ProfileJson(const std::vector<TrackCell>& cells) {
  json profile = json::array();
  // The speed of the slowdown the cell lies in; kNone outside one.
  constexpr int kNone = -1;
  int slowdown = kNone;
  json last;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const TrackCell& c = cells[k];
    if (c.kind == kKindSlowdownStart) slowdown = std::max<int>(0, c.w2);
    if (c.kind == kKindSlowdownEnd) slowdown = kNone;
    const int limit = SpeedLimitKmh(c);
    const int in_force = slowdown == kNone ? limit : std::min(limit, slowdown);
    json now = {GradientPerMille(c), limit, in_force, c.adhesion, c.mountain};
    if (now == last) continue;
    last = now;
    now.insert(now.begin(), static_cast<std::int64_t>(k));
    profile.push_back(std::move(now));
  }
  return profile;
}

// The item's fields in row order with their units, as inspect's listing
// shows them: [name, value, unit].
json RowFields(const TrackCell& c, std::int64_t cell, const ParamTable& table) {
  json fields = json::array();
  for (const ItemField& f : ItemFields(c, cell, &table)) {
    json value;
    if (const std::string* text = std::get_if<std::string>(&f.value)) {
      value = *text;
    } else {
      value = std::get<std::int64_t>(f.value);
    }
    fields.push_back({f.name, std::move(value), f.unit});
  }
  return fields;
}

json KilometreRecords(const KilometreAxis& km) {
  json records = json::array();
  for (const KilometreAxis::Segment& s : km.segments()) {
    if (!std::isfinite(s.start)) continue;  // the one before any record
    records.push_back({s.start, s.offset});
  }
  return records;
}

std::string PageTitle(const SheetScenario& scenario) {
  std::string title = scenario.line_name;
  if (!scenario.train_name.empty()) {
    title += " \xE2\x80\x94 " + scenario.train_name;  // em dash
  }
  return title + " \xE2\x80\x94 scenario sheet";
}

// Text safe inside an HTML element: & and < escaped.
std::string HtmlText(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    if (ch == '&') {
      out += "&amp;";
    } else if (ch == '<') {
      out += "&lt;";
    } else {
      out += ch;
    }
  }
  return out;
}

// JSON inside <script>: "</" written as "<\/", the same string to JSON,
// so no text from the files can close the element.
std::string ScriptJson(const json& data) {
  const std::string text =
      data.dump(-1, ' ', false, json::error_handler_t::replace);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '<' && i + 1 < text.size() && text[i + 1] == '/') {
      out += '\\';
    }
  }
  return out;
}

// The drawing inline: an HTML page takes the <svg> element, not the XML
// declaration before it.
std::string_view InlineSvg(std::string_view svg) {
  const std::size_t start = svg.find("<svg");
  return start == std::string_view::npos ? svg : svg.substr(start);
}

}  // namespace

json SheetPageData(const SheetScenario& scenario,
                   const SheetGeometry& geometry) {
  const std::vector<TrackCell>& cells = *scenario.cells;
  const ParamTable& table = *scenario.table;
  const std::optional<KilometreAxis> km(std::in_place, table);

  json items = json::array();
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const TrackCell& c = cells[k];
    if (!HasItem(c) && c.b11 == 0) continue;
    const auto cell = static_cast<std::int64_t>(k);
    json item = CellItemJson(c, cell, &table, km);
    item["fields"] = RowFields(c, cell, table);
    items.push_back(std::move(item));
  }
  json stations = json::array();
  for (const sheet::Station& s : sheet::FindStations(cells, table)) {
    stations.push_back({{"name", s.name},
                        {"position", s.position},
                        {"km", KilometreText(km, s.position)}});
  }
  json plan = json::array();
  for (const PlanSample& p : geometry.plan) {
    plan.push_back({p.position, Tenth(p.x), Tenth(p.y)});
  }
  return {{"title", PageTitle(scenario)},
          {"geometry",
           {{"width", geometry.width},
            {"height", geometry.height},
            {"from", geometry.axis_from},
            {"to", geometry.axis_to},
            {"left", geometry.axis_left},
            {"axisWidth", geometry.axis_width},
            {"planTop", geometry.plan_top},
            {"profilesTop", geometry.profiles_top},
            {"profilesBottom", geometry.profiles_bottom}}},
          {"km", KilometreRecords(*km)},
          {"cells", cells.size()},
          {"profile", ProfileJson(cells)},
          {"items", std::move(items)},
          {"stations", std::move(stations)},
          {"plan", std::move(plan)}};
}

std::string DrawSheetPage(const SheetScenario& scenario,
                          const SheetOptions& options,
                          const SheetPageLive* live) {
  SheetGeometry geometry;
  const std::string svg = DrawScenarioSheet(scenario, options, &geometry);
  const json data = SheetPageData(scenario, geometry);
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      // Nothing from elsewhere: the page is whole as it is.
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
      "'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'";
  // Served live, it asks its own server for each new drawing.
  if (live != nullptr) page += "; connect-src 'self'";
  page +=
      "\">\n"
      "<meta name=\"viewport\" content=\"width=device-width\">\n<title>";
  page += HtmlText(PageTitle(scenario));
  page += "</title>\n<style>\n";
  page += kSheetPageStyle;
  page +=
      "</style>\n</head>\n<body>\n"
      "<div id=\"toolbar\">"
      "<input id=\"search\" type=\"search\" placeholder=\"station, signal "
      "12000, 61+000\" aria-label=\"Find a station, a signal or a kilometre "
      "reading\">"
      "<button id=\"whole\" type=\"button\">whole line</button>"
      "<span id=\"found\" role=\"status\"></span>"
      "<span id=\"view\"></span></div>\n<div id=\"sheet\">";
  page += InlineSvg(svg);
  page += "</div>\n<div id=\"hover\" hidden></div>\n";
  page += "<script type=\"application/json\" id=\"sheet-data\">";
  page += ScriptJson(data);
  page += "</script>\n<script>\n";
  page += kSheetPageScript;
  page += "</script>\n";
  if (live != nullptr) {
    page += "<div id=\"diagnostics\" hidden></div>\n<style>\n";
    page += live->style;
    page += "</style>\n<script>\n";
    page += live->script;
    page += "</script>\n";
  }
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace scenario
