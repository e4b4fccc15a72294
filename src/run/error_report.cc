#include "run/error_report.h"

#include <iostream>
#include <ostream>

#include "window/waiting_window.h"

namespace scenario {

std::string ErroreMessage(const std::string& a) { return " Errore n. " + a; }

void errore(const std::string& a) { errore(a, std::cerr); }

void errore(const std::string& a, std::ostream& err, WaitingWindow* window) {
  // The text goes to err first, so that it is on record whatever happens to
  // the box.
  err << ErroreMessage(a) << '\n' << std::flush;
  if (window != nullptr) window->ShowErrorBox(ErroreMessage(a));
}

}  // namespace scenario
