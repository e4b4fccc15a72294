#ifndef SCENARIO_PLOT_TEXT_ENCODING_LOCAL_H_
#define SCENARIO_PLOT_TEXT_ENCODING_LOCAL_H_

#include <string>
#include <string_view>

namespace scenario {

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves
// undefined become U+FFFD.
std::string PlotWindows1252ToUtf8(std::string_view bytes);

}  // namespace scenario

#endif  // SCENARIO_PLOT_TEXT_ENCODING_LOCAL_H_
