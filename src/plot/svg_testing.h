#ifndef SCENARIO_PLOT_SVG_TESTING_H_
#define SCENARIO_PLOT_SVG_TESTING_H_

// Test-only helpers: read an SVG document with a real XML parser and query
// it with XPath (prefix "s" for the SVG namespace).

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scenario {

class ParsedSvg {
 public:
  // Parses text; ok() is false when it is not well-formed XML.
  explicit ParsedSvg(std::string_view text) {
    doc_ = xmlReadMemory(text.data(), static_cast<int>(text.size()),
                         "sheet.svg", "UTF-8",
                         XML_PARSE_NONET | XML_PARSE_NOERROR |
                             XML_PARSE_NOWARNING | XML_PARSE_HUGE);
  }
  ~ParsedSvg() {
    if (doc_ != nullptr) xmlFreeDoc(doc_);
  }
  ParsedSvg(const ParsedSvg&) = delete;
  ParsedSvg& operator=(const ParsedSvg&) = delete;

  bool ok() const { return doc_ != nullptr; }

  // The string values of the nodes that xpath selects.
  std::vector<std::string> Strings(const std::string& xpath) const {
    std::vector<std::string> out;
    ForEachNode(xpath, [&out](xmlNodePtr node) { out.push_back(Text(node)); });
    return out;
  }

  // The first string value, if any node matches.
  std::optional<std::string> First(const std::string& xpath) const {
    std::vector<std::string> all = Strings(xpath);
    if (all.empty()) return std::nullopt;
    return all.front();
  }

  std::size_t Count(const std::string& xpath) const {
    return Strings(xpath).size();
  }

  // The elements that xpath selects: their attributes ("" when absent)
  // and their string values.
  struct Element {
    std::map<std::string, std::string> attributes;
    std::string text;

    std::string Get(const std::string& name) const {
      const auto it = attributes.find(name);
      return it == attributes.end() ? "" : it->second;
    }
    double Number(const std::string& name, double absent = 0) const {
      const std::string v = Get(name);
      return v.empty() ? absent : std::stod(v);
    }
  };
  std::vector<Element> Elements(const std::string& xpath) const {
    std::vector<Element> out;
    ForEachNode(xpath, [this, &out](xmlNodePtr node) {
      Element e;
      for (xmlAttrPtr a = node->properties; a != nullptr; a = a->next) {
        xmlChar* v = xmlNodeListGetString(doc_, a->children, 1);
        e.attributes[reinterpret_cast<const char*>(a->name)] =
            v == nullptr ? "" : reinterpret_cast<const char*>(v);
        xmlFree(v);
      }
      e.text = Text(node);
      out.push_back(std::move(e));
    });
    return out;
  }

 private:
  // Calls visit with each node that xpath selects (the SVG namespace as
  // "s"), in document order; none when the document did not parse.
  template <typename Visit>
  void ForEachNode(const std::string& xpath, Visit visit) const {
    if (doc_ == nullptr) return;
    xmlXPathContextPtr ctx = xmlXPathNewContext(doc_);
    xmlXPathRegisterNs(ctx, BAD_CAST "s",
                       BAD_CAST "http://www.w3.org/2000/svg");
    xmlXPathObjectPtr obj = xmlXPathEvalExpression(BAD_CAST xpath.c_str(), ctx);
    if (obj != nullptr && obj->nodesetval != nullptr) {
      for (int i = 0; i < obj->nodesetval->nodeNr; ++i) {
        visit(obj->nodesetval->nodeTab[i]);
      }
    }
    if (obj != nullptr) xmlXPathFreeObject(obj);
    xmlXPathFreeContext(ctx);
  }

  static std::string Text(xmlNodePtr node) {
    xmlChar* t = xmlXPathCastNodeToString(node);
    std::string text = reinterpret_cast<const char*>(t);
    xmlFree(t);
    return text;
  }

  xmlDocPtr doc_ = nullptr;
};

// A box on the sheet, y down.
struct SheetBox {
  double x0, y0, x1, y1;
  std::string what;

  bool Overlaps(const SheetBox& o) const {
    return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
  }
};

// The room a <text> takes, measured from its attributes with the average
// glyph of a sans-serif face: 0.6 of the font size a character (0.66 in
// bold), 0.76 above the baseline and 0.24 below. Handles the anchors and
// the quarter turn the sheet's upright texts use.
inline SheetBox EstimatedTextBox(const ParsedSvg::Element& t) {
  const double size = t.Number("font-size", 16);
  const bool bold = t.Get("font-weight") == "bold";
  double chars = 0;
  for (const char c : t.text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  }
  const double w = chars * size * (bold ? 0.66 : 0.6);
  const double x = t.Number("x");
  const double y = t.Number("y");
  const std::string anchor = t.Get("text-anchor");
  const double x0 = anchor == "middle" ? x - w / 2
                    : anchor == "end"  ? x - w
                                       : x;
  SheetBox b{x0, y - 0.76 * size, x0 + w, y + 0.24 * size, t.text};
  if (t.Get("transform").rfind("rotate(-90 ", 0) == 0) {
    // Turned a quarter counter-clockwise about (x, y): the text reads
    // upwards.
    b = SheetBox{x + (b.y0 - y), y - (b.x1 - x), x + (b.y1 - y), y - (b.x0 - x),
                 t.text};
  }
  return b;
}

// Every pair of <text> elements whose boxes overlap, as "a / b".
inline std::vector<std::string> OverlappingTexts(const ParsedSvg& doc) {
  std::vector<SheetBox> boxes;
  for (const ParsedSvg::Element& t : doc.Elements("//s:text")) {
    boxes.push_back(EstimatedTextBox(t));
  }
  std::vector<std::string> out;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      if (boxes[i].Overlaps(boxes[j])) {
        out.push_back(boxes[i].what + " / " + boxes[j].what);
      }
    }
  }
  return out;
}

// The points a path's "d" passes through, in order, for the commands the
// sheet writes (M, L, H, V, Z and their relative forms); nullopt for any
// other command or a malformed number.
inline std::optional<std::vector<std::pair<double, double>>> PathPoints(
    std::string_view d) {
  std::vector<std::pair<double, double>> points;
  std::size_t i = 0;
  const auto skip = [&] {
    while (i < d.size() && (d[i] == ' ' || d[i] == ',')) ++i;
  };
  const auto number = [&](double* v) {
    skip();
    const std::string rest(d.substr(i));
    char* end = nullptr;
    *v = std::strtod(rest.c_str(), &end);
    if (end == rest.c_str()) return false;
    i += static_cast<std::size_t>(end - rest.c_str());
    return true;
  };
  double x = 0, y = 0, start_x = 0, start_y = 0;
  char command = 0;
  for (skip(); i < d.size(); skip()) {
    if (std::isalpha(static_cast<unsigned char>(d[i]))) command = d[i++];
    const bool relative = std::islower(static_cast<unsigned char>(command));
    const double base_x = relative ? x : 0;
    const double base_y = relative ? y : 0;
    double a = 0, b = 0;
    switch (std::toupper(static_cast<unsigned char>(command))) {
      case 'M':
      case 'L':
        if (!number(&a) || !number(&b)) return std::nullopt;
        x = base_x + a;
        y = base_y + b;
        if (std::toupper(static_cast<unsigned char>(command)) == 'M') {
          start_x = x;
          start_y = y;
          command = relative ? 'l' : 'L';  // pairs after a move are lines
        }
        break;
      case 'H':
        if (!number(&a)) return std::nullopt;
        x = base_x + a;
        break;
      case 'V':
        if (!number(&b)) return std::nullopt;
        y = base_y + b;
        break;
      case 'Z':
        x = start_x;
        y = start_y;
        break;
      default:
        return std::nullopt;
    }
    points.emplace_back(x, y);
  }
  return points;
}

// The box a <path>, <rect>, <circle> or <line> covers, by its geometry
// alone (strokes left out); nullopt for a path PathPoints cannot read.
inline std::optional<SheetBox> ShapeBox(const std::string& element,
                                        const ParsedSvg::Element& e) {
  if (element == "rect") {
    const double x = e.Number("x"), y = e.Number("y");
    return SheetBox{x, y, x + e.Number("width"), y + e.Number("height"),
                    "rect"};
  }
  if (element == "circle") {
    const double x = e.Number("cx"), y = e.Number("cy"), r = e.Number("r");
    return SheetBox{x - r, y - r, x + r, y + r, "circle"};
  }
  if (element == "line") {
    const double x1 = e.Number("x1"), y1 = e.Number("y1");
    const double x2 = e.Number("x2"), y2 = e.Number("y2");
    return SheetBox{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2),
                    std::max(y1, y2), "line"};
  }
  const auto points = PathPoints(e.Get("d"));
  if (!points || points->empty()) return std::nullopt;
  SheetBox b{points->front().first, points->front().second,
             points->front().first, points->front().second, "path"};
  for (const auto& [x, y] : *points) {
    b.x0 = std::min(b.x0, x);
    b.y0 = std::min(b.y0, y);
    b.x1 = std::max(b.x1, x);
    b.y1 = std::max(b.y1, y);
  }
  return b;
}

}  // namespace scenario

#endif  // SCENARIO_PLOT_SVG_TESTING_H_
