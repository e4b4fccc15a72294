#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/loopback_http_server.h"

namespace scenario {
namespace {

// A connection to address:port, or -1 when it is refused.
int Connect(const char* address, int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  inet_pton(AF_INET, address, &to.sin_addr);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Sends one request on 127.0.0.1 and returns the whole answer.
std::string Exchange(int port, const std::string& request) {
  const int fd = Connect("127.0.0.1", port);
  if (fd < 0) return "";
  std::size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t n =
        send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  std::string answer;
  char buffer[4096];
  for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
    answer.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return answer;
}

// Every request reaches the one handler, its path decoded and without the
// query, and with the Host header as sent.
TEST(LoopbackHttpServer, HandsEveryRequestToTheHandler) {
  std::atomic<int> calls{0};
  std::unique_ptr<LoopbackHttpServer> server;
  ASSERT_TRUE(LoopbackHttpServer::Start(
                  0,
                  [&calls](const HttpRequest& r) {
                    ++calls;
                    HttpResponse answer;
                    answer.status = r.path == "/a b" ? 200 : 404;
                    answer.body = r.method + "|" + r.path + "|" + r.host;
                    return answer;
                  },
                  &server)
                  .ok());
  const int port = server->port();
  ASSERT_GT(port, 0);
  const std::string ok =
      Exchange(port,
               "GET /a%20b?x=1 HTTP/1.1\r\nHost: here:1\r\nConnection: "
               "close\r\n\r\n");
  EXPECT_EQ(ok.rfind("HTTP/1.1 200", 0), 0u) << ok;
  EXPECT_NE(ok.find("GET|/a b|here:1"), std::string::npos) << ok;
  const std::string missing =
      Exchange(port,
               "POST /../etc/passwd HTTP/1.1\r\nHost: x\r\nContent-Length: "
               "0\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(missing.rfind("HTTP/1.1 404", 0), 0u) << missing;
  EXPECT_NE(missing.find("POST|/../etc/passwd|x"), std::string::npos);
  EXPECT_EQ(calls, 2);
}

// Bound to 127.0.0.1 alone: another address of the loopback range, which
// a server on every address would answer, is refused.
TEST(LoopbackHttpServer, ListensOnlyOnTheLoopbackAddress) {
  std::unique_ptr<LoopbackHttpServer> server;
  ASSERT_TRUE(LoopbackHttpServer::Start(
                  0, [](const HttpRequest&) { return HttpResponse(); }, &server)
                  .ok());
  const int near = Connect("127.0.0.1", server->port());
  EXPECT_GE(near, 0);
  if (near >= 0) close(near);
  const int other = Connect("127.0.0.2", server->port());
  EXPECT_LT(other, 0);
  if (other >= 0) close(other);
}

TEST(LoopbackHttpServer, APortTakenIsNamedAndAnotherCanBeGiven) {
  std::unique_ptr<LoopbackHttpServer> first;
  ASSERT_TRUE(LoopbackHttpServer::Start(
                  0, [](const HttpRequest&) { return HttpResponse(); }, &first)
                  .ok());
  std::unique_ptr<LoopbackHttpServer> second;
  const Status s = LoopbackHttpServer::Start(
      first->port(), [](const HttpRequest&) { return HttpResponse(); },
      &second);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.message().find("127.0.0.1:" + std::to_string(first->port())),
            std::string::npos)
      << s.message();
  EXPECT_NE(s.message().find("--serve 0"), std::string::npos);
}

// Stopping right after starting ends: the stop is never lost on an accept
// loop that has not begun.
TEST(LoopbackHttpServer, StopsRightAfterStarting) {
  for (int i = 0; i < 20; ++i) {
    std::unique_ptr<LoopbackHttpServer> server;
    ASSERT_TRUE(
        LoopbackHttpServer::Start(
            0, [](const HttpRequest&) { return HttpResponse(); }, &server)
            .ok());
  }
}

}  // namespace
}  // namespace scenario
