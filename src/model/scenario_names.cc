#include "model/scenario_names.h"

#include <algorithm>

#include "base/path_separator.h"
#include "base/strings.h"
#include "base/windows1252.h"

namespace scenario {

namespace {

std::string_view Stem(std::string_view base) {
  const std::size_t dot = base.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? base : base.substr(0, dot);
}

}  // namespace

ScenarioFileNames MakeFileNames(std::string_view folder,
                                std::string_view line_name,
                                std::string_view train_name) {
  const std::string line = std::string(folder) + std::string(kPathSeparator) +
                           std::string(line_name);
  const std::string line_train = line + "_" + std::string(train_name);
  ScenarioFileNames names;
  names.line_description = line + "_linea.txt";
  names.train_description = line_train + "-.txt";
  names.notes = line_train + "_note.txt";
  names.slowdown_form = line_train + "_rallentamenti.txt";
  names.train_card = line_train + "_scheda_treno.txt";
  names.line_grid = line + "_linea.dat";
  names.param_file = line_train + ".sim";
  names.cell_file = line_train + ".dat";
  return names;
}

std::string LineNameFromFile(std::string_view path, std::string* note) {
  const std::string_view base = BaseName(path);
  constexpr std::string_view kSuffix = "_linea.txt";
  if (note != nullptr) note->clear();
  if (base.ends_with(kSuffix) && base.size() > kSuffix.size()) {
    return std::string(base.substr(0, base.size() - kSuffix.size()));
  }
  const std::string name(Stem(base));
  if (note != nullptr) {
    *note = "the line file's name \"" + std::string(base) +
            "\" does not end in \"" + std::string(kSuffix) +
            "\", so the line name is its stem, \"" + name +
            "\" (--line-name sets another)";
  }
  return name;
}

std::string TrainNameFromFile(std::string_view path, std::string_view line_name,
                              std::string* note) {
  const std::string_view base = BaseName(path);
  constexpr std::string_view kSuffix = "-.txt";
  const std::string prefix = std::string(line_name) + "_";
  if (note != nullptr) note->clear();
  const bool has_prefix =
      base.size() > prefix.size() && base.substr(0, prefix.size()) == prefix;
  if (has_prefix && base.ends_with(kSuffix) &&
      base.size() > prefix.size() + kSuffix.size()) {
    return std::string(base.substr(
        prefix.size(), base.size() - prefix.size() - kSuffix.size()));
  }
  // Off the rule. A file that begins with the line's prefix still names
  // the train after it ("Valle_R 12.txt": "R 12"); without the prefix the
  // line name would end up in the output names twice.
  std::string name;
  std::string why;
  if (has_prefix && !Stem(base.substr(prefix.size())).empty()) {
    name = std::string(Stem(base.substr(prefix.size())));
    why = "does not end in \"" + std::string(kSuffix) +
          "\", so the train name is what follows the line name's prefix " +
          QuotedName(prefix) + ", without its ending";
  } else {
    name = std::string(Stem(base));
    why = "does not begin with the line name's prefix " + QuotedName(prefix) +
          ", so the train name is its stem";
  }
  if (note != nullptr) {
    *note = "the train file's name " + QuotedName(base) + " " + why + ": " +
            QuotedName(name) + " (--train-name sets another)";
  }
  return name;
}

std::optional<std::string> CheckName(std::string_view utf8,
                                     std::string_view what,
                                     std::string* error) {
  const std::string quoted = QuotedName(utf8);
  if (utf8.empty()) {
    *error = std::string(what) + " is empty";
    return std::nullopt;
  }
  if (std::any_of(utf8.begin(), utf8.end(), IsPathSeparator) ||
      utf8.find('\0') != std::string_view::npos) {
    *error = std::string(what) + " " + quoted + " holds " +
             std::string(PathSeparatorsText()) +
             " or a NUL; it must be a plain file name part";
    return std::nullopt;
  }
  std::optional<std::string> bytes = Utf8ToWindows1252(utf8);
  if (!bytes) {
    *error = std::string(what) + " " + quoted +
             " holds a character that Windows-1252 cannot write (or is "
             "not valid UTF-8)";
  }
  return bytes;
}

}  // namespace scenario
