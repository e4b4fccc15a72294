#include "run/error_report.h"

#include <iostream>
#include <ostream>

namespace scenario {

std::string ErroreMessage(const std::string& a) { return " Errore n. " + a; }

void errore(const std::string& a) { errore(a, std::cerr); }

void errore(const std::string& a, std::ostream& err) {
  err << ErroreMessage(a) << '\n' << std::flush;
}

}  // namespace scenario
