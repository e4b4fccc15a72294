#include "plot/svg_builder.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "base/utf8.h"

namespace scenario {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the UTF-8 sequence at s[i] when it is well-formed and an XML
// character (U+FFFE and U+FFFF are not), else 0.
std::size_t XmlCharacterLength(std::string_view s, std::size_t i) {
  char32_t cp;
  const std::size_t n = DecodeUtf8(s, i, &cp);
  if (n == 0 || cp == 0xFFFE || cp == 0xFFFF) return 0;
  return n;
}

}  // namespace

std::string XmlEscape(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char c = utf8[i];
    const auto u = static_cast<std::uint8_t>(c);
    if (u < 0x80) {
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '"':
          out += "&quot;";
          break;
        case '\'':
          out += "&apos;";
          break;
        default:
          if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += kReplacement;
          } else {
            out += c;
          }
      }
      ++i;
      continue;
    }
    const std::size_t n = XmlCharacterLength(utf8, i);
    if (n == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(utf8.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string SvgNumber(double v) {
  if (!std::isfinite(v)) return "0";
  // Far beyond any sheet; the bound keeps the text short.
  constexpr double kLimit = 1e9;
  if (v > kLimit) v = kLimit;
  if (v < -kLimit) v = -kLimit;
  // Rounded to hundredths; -0 prints as 0.
  double r = std::round(v * 100.0) / 100.0;
  if (r == 0) r = 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", r);
  std::string s(buf);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

SvgBuilder::SvgBuilder(double width, double height,
                       std::string_view root_attributes) {
  out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
  out_ += SvgNumber(width) + "\" height=\"" + SvgNumber(height);
  out_ += "\" viewBox=\"0 0 " + SvgNumber(width) + " " + SvgNumber(height);
  out_ += "\"";
  if (!root_attributes.empty()) {
    out_ += ' ';
    out_.append(root_attributes);
  }
  out_ += ">\n";
}

void SvgBuilder::OpenGroup(std::string_view id, std::string_view attributes) {
  out_ += "<g";
  if (!id.empty()) {
    out_ += " id=\"";
    out_.append(id);
    out_ += '"';
  }
  if (!attributes.empty()) {
    out_ += ' ';
    out_.append(attributes);
  }
  out_ += ">\n";
  ++open_groups_;
}

void SvgBuilder::CloseGroup() {
  if (open_groups_ == 0) return;
  out_ += "</g>\n";
  --open_groups_;
}

void SvgBuilder::Line(double x1, double y1, double x2, double y2,
                      std::string_view attributes) {
  out_ += "<line x1=\"" + SvgNumber(x1) + "\" y1=\"" + SvgNumber(y1) +
          "\" x2=\"" + SvgNumber(x2) + "\" y2=\"" + SvgNumber(y2) + "\" ";
  out_.append(attributes);
  out_ += "/>\n";
}

void SvgBuilder::Rect(double x, double y, double w, double h,
                      std::string_view attributes) {
  out_ += "<rect x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) +
          "\" width=\"" + SvgNumber(w) + "\" height=\"" + SvgNumber(h) + "\" ";
  out_.append(attributes);
  out_ += "/>\n";
}

void SvgBuilder::Circle(double cx, double cy, double r,
                        std::string_view attributes) {
  out_ += "<circle cx=\"" + SvgNumber(cx) + "\" cy=\"" + SvgNumber(cy) +
          "\" r=\"" + SvgNumber(r) + "\" ";
  out_.append(attributes);
  out_ += "/>\n";
}

void SvgBuilder::Path(std::string_view d, std::string_view attributes) {
  if (d.empty()) return;
  out_ += "<path d=\"";
  out_.append(d);
  out_ += "\" ";
  out_.append(attributes);
  out_ += "/>\n";
}

void SvgBuilder::Text(double x, double y, std::string_view utf8,
                      std::string_view attributes) {
  out_ += "<text x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) + "\"";
  if (!attributes.empty()) {
    out_ += ' ';
    out_.append(attributes);
  }
  out_ += '>';
  out_ += XmlEscape(utf8);
  out_ += "</text>\n";
}

void SvgBuilder::Raw(std::string_view markup) { out_.append(markup); }

std::string SvgBuilder::Finish() {
  while (open_groups_ > 0) CloseGroup();
  out_ += "</svg>\n";
  return std::move(out_);
}

void PathData::Emit(double x, double y) {
  d_ += in_run_ ? " L" : (d_.empty() ? "M" : " M");
  d_ += SvgNumber(x);
  d_ += ' ';
  d_ += SvgNumber(y);
  last_x_ = x;
  last_y_ = y;
  ++points_kept_;
}

void PathData::Add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) {
    Break();
    return;
  }
  if (!in_run_) {
    Emit(x, y);
    in_run_ = true;
    pending_ = false;
    return;
  }
  if (std::hypot(x - last_x_, y - last_y_) < tolerance_) {
    pending_ = true;
    pending_x_ = x;
    pending_y_ = y;
    return;
  }
  Emit(x, y);
  pending_ = false;
}

void PathData::Break() {
  if (in_run_ && pending_) Emit(pending_x_, pending_y_);
  in_run_ = false;
  pending_ = false;
}

std::string PathData::Finish() {
  Break();
  return std::move(d_);
}

void ColumnEnvelope::Emit(double x, double y) {
  if (d_.empty()) {
    d_ = "M" + SvgNumber(x) + " " + SvgNumber(y);
  } else {
    if (x == emitted_x_ && y == emitted_y_) return;
    d_ += " L" + SvgNumber(x) + " " + SvgNumber(y);
  }
  emitted_x_ = x;
  emitted_y_ = y;
}

void ColumnEnvelope::Add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (!started_) {
    Emit(x, y);
    started_ = true;
    level_ = y;
    return;
  }
  if (y == level_) return;
  const double column = std::floor(x);
  if (column_open_ && column == column_) {
    if (y < low_) low_ = y;
    if (y > high_) high_ = y;
    last_x_ = x;
  } else {
    FlushColumn();
    column_open_ = true;
    column_ = column;
    first_x_ = x;
    entry_y_ = level_;
    low_ = high_ = y;
    last_x_ = x;
  }
  level_ = y;
}

void ColumnEnvelope::FlushColumn() {
  if (!column_open_) return;
  column_open_ = false;
  // Horizontal to the first change, then the column's whole span, then
  // the level the column ends on. Within one column the order is below
  // what the output can show.
  Emit(first_x_, entry_y_);
  if (low_ < entry_y_ && low_ < level_) Emit(first_x_, low_);
  if (high_ > entry_y_ && high_ > level_) Emit(first_x_, high_);
  if (last_x_ != first_x_) Emit(first_x_, level_);
  Emit(last_x_, level_);
}

std::string ColumnEnvelope::Finish(double x_end) {
  if (!started_) return {};
  FlushColumn();
  Emit(x_end, level_);
  return std::move(d_);
}

}  // namespace scenario
