#ifndef SCENARIO_BASE_STATUS_H_
#define SCENARIO_BASE_STATUS_H_

#include <string>
#include <utility>

namespace scenario {

// Outcome of an I/O or system operation: ok, or a message that names the
// file and the system's reason. Data errors never travel as a Status.
class [[nodiscard]] Status {
 public:
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(std::string message) {
    Status s;
    s.ok_ = false;
    s.message_ = std::move(message);
    return s;
  }

  bool ok() const { return ok_; }
  const std::string& message() const { return message_; }

 private:
  bool ok_ = true;
  std::string message_;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_STATUS_H_
