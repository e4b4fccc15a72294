#ifndef SCENARIO_RUN_ERROR_REPORT_H_
#define SCENARIO_RUN_ERROR_REPORT_H_

#include <iosfwd>
#include <string>

namespace scenario {

class WaitingWindow;

// The message errore shows: " Errore n. " followed by a. Deliberate: the
// leading blank is part of the text users know.
std::string ErroreMessage(const std::string& a);

// Reports a fatal error of the compile stage. a is the code as text with no
// leading blank, e.g. "1250". Prints the message on err (standard error by
// default) and, when the waiting window is up, also shows it in the modal
// error box and waits until the user closes it. It returns; the caller ends
// the run with a non-zero status.
void errore(const std::string& a);
void errore(const std::string& a, std::ostream& err,
            WaitingWindow* window = nullptr);

}  // namespace scenario

#endif  // SCENARIO_RUN_ERROR_REPORT_H_
