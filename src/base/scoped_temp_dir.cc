#include "base/scoped_temp_dir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <system_error>

namespace scenario {
namespace {

// Names are UTF-8 in the program; a path made from the UTF-8 bytes reaches
// Windows' wide calls with every character (and is the same bytes on
// POSIX).
std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
  // A new name each time: create_directory makes the folder only when
  // nothing of that name is there, so two tests never share one.
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        base / ("scenario-test-" + std::to_string(random() % 1000000000));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      path_ = Utf8Of(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(PathOf(path_), ignored);
}

std::string ScopedTempDir::File(const std::string& name) const {
  return path_ + "/" + name;
}

std::string ScopedTempDir::Listing() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(PathOf(path_))) {
    names.insert(Utf8Of(entry.path().filename()));
  }
  std::string out;
  for (const std::string& name : names) {
    if (!out.empty()) out += ", ";
    out += name;
  }
  return out;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::string& contents) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  out << contents;
}

}  // namespace scenario
