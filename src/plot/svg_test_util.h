#ifndef SCENARIO_PLOT_SVG_TEST_UTIL_H_
#define SCENARIO_PLOT_SVG_TEST_UTIL_H_

// Test-only helpers: read an SVG document with a real XML parser and query
// it with XPath (prefix "s" for the SVG namespace).

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
    if (doc_ == nullptr) return out;
    xmlXPathContextPtr ctx = xmlXPathNewContext(doc_);
    xmlXPathRegisterNs(ctx, BAD_CAST "s",
                       BAD_CAST "http://www.w3.org/2000/svg");
    xmlXPathObjectPtr obj = xmlXPathEvalExpression(BAD_CAST xpath.c_str(), ctx);
    if (obj != nullptr && obj->nodesetval != nullptr) {
      for (int i = 0; i < obj->nodesetval->nodeNr; ++i) {
        xmlChar* s = xmlXPathCastNodeToString(obj->nodesetval->nodeTab[i]);
        out.emplace_back(reinterpret_cast<const char*>(s));
        xmlFree(s);
      }
    }
    if (obj != nullptr) xmlXPathFreeObject(obj);
    xmlXPathFreeContext(ctx);
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

 private:
  xmlDocPtr doc_ = nullptr;
};

}  // namespace scenario

#endif  // SCENARIO_PLOT_SVG_TEST_UTIL_H_
