#ifndef SCENARIO_TOOLS_SHEET_SITE_H_
#define SCENARIO_TOOLS_SHEET_SITE_H_

// What watch --serve answers, apart from the server that carries it: the
// live sheet of the last good compile and the diagnostics of the last
// round, as three addresses and nothing else:
//   /            the page (before any good compile, a page that waits);
//   /round       the round's number as text: a page asks it often;
//   /sheet.json  {"round", "drawing" (the number of the drawing, null
//                before one), "svg", "data", "diagnostics" ("" when the
//                round had none)}.
// Any other path is 404, any method but GET and HEAD 405, and any request
// whose Host is not 127.0.0.1:PORT or localhost:PORT 403, so that a page
// of another site that points a name of its own at this machine reads
// nothing. No path ever names a file.
//
// Thread safety: the watch loop publishes while the server's threads
// answer; one mutex guards the state, and each answer works on a copy
// taken under it (the sheet is shared, never changed once published).

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "base/loopback_http_server.h"
#include "tools/live_sheet.h"

namespace scenario {

class SheetSite {
 public:
  // The port the server listens on, which the Host header must name.
  void SetPort(int port);

  // A good compile's sheet: the next round, without diagnostics.
  void PublishSheet(LiveSheet sheet);

  // A round that drew nothing new: the next round, with this text (as
  // watch printed it) over the last sheet.
  void PublishDiagnostics(std::string text);

  HttpResponse Respond(const HttpRequest& request) const;

 private:
  mutable std::mutex mutex_;
  int port_ = -1;
  std::uint64_t round_ = 0;
  std::uint64_t drawing_ = 0;  // 0: none yet
  std::shared_ptr<const LiveSheet> sheet_;
  std::string diagnostics_;
};

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SHEET_SITE_H_
