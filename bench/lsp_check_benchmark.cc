// The language server on the longest line the format takes (1,000,000 m):
// the time from the end of the editor's quiet period to the diagnostics of
// the changed buffer, with the line and a train open as buffers.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "lsp/file_uri.h"
#include "lsp/lsp_server.h"

namespace scenario {
namespace {

using nlohmann::json;

constexpr std::chrono::milliseconds kDebounce{250};

void Row(std::string* text, const std::string& row) { *text += row + "\r\n"; }

// A 1,000,000 m line with rows of every kind along it.
std::string LongLine() {
  std::string t;
  Row(&t, "[generale]");
  Row(&t, "lunghezza percorso,  1000000");
  Row(&t, "progressiva chilometrica uno,  0,  0,  0");
  Row(&t, "progressiva chilometrica due,  0,  0,  0");
  Row(&t, "progressiva chilometrica tre,  0,  0,  0");
  Row(&t, "sfondo uno,  1");
  Row(&t, "sfondo due,  0");
  Row(&t, "sfondo tre,  0");
  Row(&t, "ripetizione segnali 9 codici,  0,  1000000");
  Row(&t, "[curve]");
  for (int km = 1; km < 1000; km += 4) {
    Row(&t, std::string(km % 8 == 1 ? "curvas" : "curvad") +
                std::to_string(1 + km % 6) + ",  " + std::to_string(km * 1000) +
                ",  300");
  }
  Row(&t, "[pendenze]");
  for (int m = 0; m < 1000000; m += 500) {
    Row(&t, "pendenza,  " + std::to_string(m) + ",  " +
                std::to_string(m / 500 % 21 - 10));
  }
  Row(&t, "[montagne]");
  for (int km = 5; km < 1000; km += 25) {
    Row(&t, "montagna,  " + std::to_string(km * 1000) + ",  " +
                std::to_string(km * 1000 + 2000) + ",  12");
  }
  Row(&t, "[cartelli]");
  for (int km = 2; km < 1000; km += 10) {
    Row(&t, "indicatori_vmax,  " + std::to_string(km * 1000 + 300) +
                ",  90,  95,  100,  0,  ,  ,  ,  0");
  }
  Row(&t, "[indicazioni]");
  for (int km = 20; km < 1000; km += 20) {
    Row(&t, "cartello_indicatore,  " + std::to_string(km * 1000 + 100) +
                ",  (  Cippo  )(Km " + std::to_string(km) + "+100)");
  }
  Row(&t, "[fine]");
  return t;
}

// A train over the whole line: stations every 50 km, a signal every
// 1500 m, speed and adhesion changes every 5 km.
std::string LongTrain() {
  std::string t;
  Row(&t, "[generale]");
  Row(&t, "numero vetture,  8");
  Row(&t, "percentuale massa frenata,  120");
  Row(&t, "sabbia,  220");
  Row(&t, "orologio,  8  0  0");
  Row(&t, "[aderenze]");
  for (int km = 0; km < 1000; km += 5) {
    Row(&t, "aderenza,  " + std::to_string(km * 1000) + ",  76");
  }
  Row(&t, "[vel_limite]");
  for (int km = 0; km < 1000; km += 5) {
    Row(&t, "velocita,  " + std::to_string(km * 1000) + ",  " +
                std::to_string(km % 10 == 0 ? 100 : 130));
  }
  Row(&t, "[stazioni]");
  for (int km = 0; km < 1000; km += 50) {
    Row(&t, "stazione,  " + std::to_string(km * 1000 + 1000) +
                ",  22,  400,  0, 0, 0,  2,1,0,  2,1,0,  60,  8," +
                std::to_string(km / 50) + ",0, Stazione " +
                std::to_string(km / 50));
  }
  Row(&t, "[segnali]");
  for (int m = 3000; m < 995000; m += 1500) {
    if (m % 50000 >= 500 && m % 50000 <= 1800) continue;  // the stations
    Row(&t,
        "segnale,  " + std::to_string(m) + ",  2, 5, 1, 1, 0,  2,  2, 1, 1, 0");
  }
  Row(&t, "[fine]");
  return t;
}

json Message(json m) {
  m["jsonrpc"] = "2.0";
  return m;
}

// One change of the train buffer, then the diagnostics once quiet.
void BM_DiagnosticsOfATrainChange(benchmark::State& state) {
  ScopedTempDir dir;
  const std::string line_uri = PathToFileUri(dir.File("Lunga_linea.txt"));
  const std::string train_uri = PathToFileUri(dir.File("Lunga_R 1-.txt"));
  const std::string train = LongTrain();
  LspServer server(RealFileSystem(), kDebounce);
  std::vector<json> out;
  LspServer::Clock::time_point now{};
  server.Handle(Message({{"id", 1},
                         {"method", "initialize"},
                         {"params", {{"capabilities", json::object()}}}}),
                now, &out);
  for (const auto& [uri, text] :
       {std::pair{line_uri, LongLine()}, std::pair{train_uri, train}}) {
    server.Handle(
        Message(
            {{"method", "textDocument/didOpen"},
             {"params", {{"textDocument", {{"uri", uri}, {"text", text}}}}}}),
        now, &out);
  }
  server.RunDue(now, &out);
  int version = 1;
  for (auto _ : state) {
    state.PauseTiming();
    out.clear();
    // Alternately one speed limit more and the original text.
    std::string changed = train;
    if (++version % 2 == 0) {
      changed.insert(changed.find("[stazioni]"), "velocita,  999000,  60\r\n");
    }
    server.Handle(
        Message({{"method", "textDocument/didChange"},
                 {"params",
                  {{"textDocument", {{"uri", train_uri}, {"version", version}}},
                   {"contentChanges", json::array({{{"text", changed}}})}}}}),
        now, &out);
    now += kDebounce;
    state.ResumeTiming();
    server.RunDue(now, &out);
    benchmark::DoNotOptimize(out);
  }
  // The generated pair has no code (its warnings do not matter here).
  bool codes = out.size() != 1;
  for (const json& d :
       out.empty() ? json::array() : out[0]["params"]["diagnostics"]) {
    codes = codes || d["severity"] == 1;
  }
  if (codes) state.SkipWithError("expected diagnostics without a code");
}
BENCHMARK(BM_DiagnosticsOfATrainChange)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

BENCHMARK_MAIN();
