#ifndef SCENARIO_PLOT_SVG_BUILDER_H_
#define SCENARIO_PLOT_SVG_BUILDER_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace scenario {

// Escapes UTF-8 text for XML character data and attribute values. The
// characters XML 1.0 cannot carry at all (controls other than tab, line
// feed and carriage return) become U+FFFD, and so does a malformed UTF-8
// sequence, so that any input gives a well-formed document.
std::string XmlEscape(std::string_view utf8);

// A coordinate or a length for an SVG attribute: at most two decimals,
// trailing zeros dropped. A value that is not finite prints as "0" and
// one beyond +-1e9 as that bound: the callers clamp their geometry, this
// only keeps the document valid.
std::string SvgNumber(double v);

// Appends the pieces of an SVG document to one string. Attribute texts
// passed in are copied verbatim: callers escape what comes from data.
class SvgBuilder {
 public:
  // Opens the document: width and height in pixels, viewBox the same.
  SvgBuilder(double width, double height, std::string_view root_attributes);

  // <g id="id" attributes> ... </g>. id may be empty.
  void OpenGroup(std::string_view id, std::string_view attributes = "");
  void CloseGroup();

  void Line(double x1, double y1, double x2, double y2,
            std::string_view attributes);
  void Rect(double x, double y, double w, double h,
            std::string_view attributes);
  void Circle(double cx, double cy, double r, std::string_view attributes);
  // A path from a "d" string built by the caller (see PathData).
  void Path(std::string_view d, std::string_view attributes);
  // A <text> element; utf8 is escaped here.
  void Text(double x, double y, std::string_view utf8,
            std::string_view attributes = "");
  // Appends markup verbatim. REQUIRES: well-formed, escaped XML.
  void Raw(std::string_view markup);

  // Closes every open group and the document and returns it.
  std::string Finish();

 private:
  std::string out_;
  int open_groups_ = 0;
};

// Builds a path's "d" attribute from points in output units, dropping
// each point that lies closer than `tolerance` to the last point kept
// (the last point of a run is always kept, so ends stay exact). Break()
// starts a new sub-path. This is what keeps a plan of a million metres
// down to the points the output can show.
class PathData {
 public:
  explicit PathData(double tolerance) : tolerance_(tolerance) {}

  void Add(double x, double y);
  void Break();
  // The "d" text; empty when no point was added.
  std::string Finish();

  std::size_t points_kept() const { return points_kept_; }

 private:
  void Emit(double x, double y);

  double tolerance_;
  std::string d_;
  bool in_run_ = false;   // a sub-path is open
  bool pending_ = false;  // (pending_x_, pending_y_) was dropped so far
  double last_x_ = 0, last_y_ = 0;
  double pending_x_ = 0, pending_y_ = 0;
  std::size_t points_kept_ = 0;
};

// Builds a step profile's path from left to right, keeping at most four
// points per pixel column (entry, lowest, highest, exit), so that the
// output stays bounded however many cells fall into one column while
// every spike still shows. x must not decrease between calls.
class ColumnEnvelope {
 public:
  ColumnEnvelope() = default;

  // A level y from x on.
  void Add(double x, double y);
  // Ends the profile at x (the right edge of the last step) and returns
  // the "d" text; empty when nothing was added.
  std::string Finish(double x_end);

 private:
  void FlushColumn();
  void Emit(double x, double y);

  std::string d_;
  bool started_ = false;
  double level_ = 0;  // the level after every Add so far
  // The column that collects changes: its first change's x, the level
  // before it, the extremes and the last change's x.
  bool column_open_ = false;
  double column_ = 0;
  double first_x_ = 0, entry_y_ = 0;
  double low_ = 0, high_ = 0;
  double last_x_ = 0;
  double emitted_x_ = 0, emitted_y_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_PLOT_SVG_BUILDER_H_
