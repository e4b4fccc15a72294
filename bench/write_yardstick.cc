// The yardstick of the whole-process benchmark: a program that does only
// the file work of a run, the way the compiler does it, with bytes of no
// meaning. Every file is written as the compiler replaces a file: a new
// temporary in the same folder, the bytes in 256 KiB pieces, fsync, close,
// rename over the name. A transient file, which the run deletes a moment
// later, is not flushed (no fsync), as the compiler does not flush it.
//
//   write_yardstick OP PATH [SIZE] ...
//     w PATH SIZE   replace PATH with SIZE bytes
//     t PATH SIZE   the same, for a transient file
//     r PATH        read PATH whole
//     d PATH        delete PATH
//
// Exit status 0, or 1 with the reason on stderr.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPiece = 256 * 1024;

[[noreturn]] void Fail(const char* what, const std::string& path) {
  std::fprintf(stderr, "write_yardstick: cannot %s %s: %s\n", what,
               path.c_str(), std::strerror(errno));
  std::exit(1);
}

void WriteAll(int fd, const char* data, std::size_t n,
              const std::string& path) {
  while (n > 0) {
    const ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      Fail("write", path);
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
}

void Replace(const std::string& path, std::size_t size, const char* piece,
             bool flush) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  const int fd =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail("create", temporary);
  for (std::size_t done = 0; done < size;) {
    const std::size_t n = size - done < kPiece ? size - done : kPiece;
    WriteAll(fd, piece, n, temporary);
    done += n;
  }
  if (flush && ::fsync(fd) != 0) Fail("sync", temporary);
  if (::close(fd) != 0) Fail("close", temporary);
  if (::rename(temporary.c_str(), path.c_str()) != 0) Fail("rename", path);
}

void Read(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("open", path);
  std::string bytes;
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof(buf));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("read", path);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char> piece(kPiece);
  for (std::size_t i = 0; i < kPiece; ++i) piece[i] = static_cast<char>(i);
  for (int i = 1; i < argc; ++i) {
    const std::string op = argv[i];
    if (i + 1 >= argc) break;
    const std::string path = argv[++i];
    if ((op == "w" || op == "t") && i + 1 < argc) {
      Replace(path, std::strtoull(argv[++i], nullptr, 10), piece.data(),
              op == "w");
    } else if (op == "r") {
      Read(path);
    } else if (op == "d") {
      if (::unlink(path.c_str()) != 0) Fail("delete", path);
    } else {
      std::fprintf(stderr, "write_yardstick: unknown operation %s\n",
                   op.c_str());
      return 1;
    }
  }
  return 0;
}
