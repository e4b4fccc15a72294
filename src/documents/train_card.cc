#include "documents/train_card.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {
namespace {

// The train card of the built-in run: four pages of 46 lines, the fourth a
// blank form for the driver's notes; 199 lines closed by the end marker.
// Nothing on it is computed from the descriptions: every figure below is
// the built-in run's own.
//
// Columns: "Vel. Lim." is the line's rank B speed from that point (the
// origin's 30 stands before the first board); "Vel. Marc." the speed the
// train runs at, the lower of that and its own limit (the timetable takes
// the exit switches of Tarvo Centrale at 65); "No Rs" the 120 km/h allowed
// without working signal repetition, where the train runs faster;
// "Progr Km" the kilometre reading ("31.100/" where it jumps to 34.150);
// "Orario" the arrival and the departure at a stop (the departure is the
// description's time, the arrival that less the stop), one time where the
// train runs through; "Rec" the minutes of recovery allowance in the run to
// that stop. Every change of speed has a row with speeds: a post row
// ("Cippo Km") between stations, the station's own row at a station, and
// the exit switches of the origin.

enum class RowKind {
  kOrigin,     // departure time only
  kStop,       // arrival and departure
  kThrough,    // the time of passing
  kTerminus,   // arrival only; closes the run's table
  kPost,       // a kilometre post: "Cippo Km" and its figure
  kMark,       // switches or a protecting signal, no time
  kKilometre,  // the kilometre figure alone
  kSpacer,     // every cell blank
  kNote,       // the blank form's "PER MEMORIA"
};

// How a kind lays out its row: where its times stand in the 16 characters
// of "Orario" (-1: none), how far its place name is indented, and whether
// the row is written in the underscored form.
struct RowKindLayout {
  RowKind kind;
  int arrival_at;
  int departure_at;
  int place_indent;
  bool underscored;
};

constexpr RowKindLayout kRowKinds[] = {
    {RowKind::kOrigin, -1, 9, 0, false},
    {RowKind::kStop, 1, 9, 0, false},
    {RowKind::kThrough, 5, -1, 0, false},
    {RowKind::kTerminus, 1, -1, 0, true},
    {RowKind::kPost, -1, -1, 0, false},
    {RowKind::kMark, -1, -1, 0, false},
    {RowKind::kKilometre, -1, -1, 0, false},
    {RowKind::kSpacer, -1, -1, 0, false},
    {RowKind::kNote, -1, -1, 8, false},
};

constexpr const RowKindLayout& LayoutOf(RowKind kind) {
  return kRowKinds[static_cast<int>(kind)];
}

constexpr bool RowKindsInOrder() {
  for (int i = 0; i < static_cast<int>(std::size(kRowKinds)); ++i) {
    if (static_cast<int>(kRowKinds[i].kind) != i) return false;
  }
  return true;
}
static_assert(RowKindsInOrder());

// One table row. Empty texts and zero speeds leave their cells blank.
struct CardRow {
  RowKind kind = RowKind::kSpacer;
  int limit = 0;    // "Vel. Lim.", km/h
  int running = 0;  // "Vel. Marc.", km/h
  int no_rs = 0;    // "No Rs", km/h
  // "Progr Km", three decimals; a trailing "/" marks a jump of the
  // readings.
  const char* km = "";
  // "Localita' di  Servizio"; a post row without one reads "Cippo Km" and
  // its figure.
  const char* place = "";
  const char* arrival = "";  // or the time of passing
  const char* departure = "";
  const char* rec = "";  // "Rec", minutes with one decimal
};

// The header's values, each written where its placeholder starts on the
// blank form.
struct CardHeader {
  const char* train;
  const char* from;
  const char* to;
  const char* speed;
  const char* brake;
  const char* classification;
  const char* mass;
};

constexpr CardHeader kRunHeader = {
    "5147", "da: Tarvo Centrale", "a: Cembrio", "V140 B", "120%", "Exp",
    "300T"};
constexpr CardHeader kBlankHeader = {"xxxx", "da:xxx", "a:xxx", "VxxxC",
                                     "xxx%", "xxx",    "xxxT"};

using enum RowKind;

constexpr CardRow kPage1Rows[] = {
    {kOrigin, 30, 30, 0, "0.000", "Tarvo Centrale", "", "17.12"},
    {kMark, 95, 65, 0, "1.000", "Dev.U."},
    {},
    {kStop, 80, 80, 0, "3.100", "Tarvo San Rocco", "17.17", "17.18"},
    {kStop, 0, 0, 0, "5.650", "Borgo Tarvese", "17.21", "17.22"},
    {kStop, 0, 0, 0, "8.200", "Fornaci di Tarvo", "17.25", "17.26"},
    {kStop, 0, 0, 0, "11.600", "Valcernia", "17.30", "17.31"},
    {},
    {kPost, 140, 140, 120, "14.000"},
    {},
    {kStop, 100, 100, 0, "17.050", "Pieve Alderana", "17.36", "17.37"},
    {},
    {kPost, 140, 140, 120, "22.400"},
    {},
    {kThrough, 0, 0, 0, "31.100/", "Casale Ferrone", "17.45"},
    {kKilometre, 0, 0, 0, "34.150"},
    {kThrough, 0, 0, 0, "39.000", "Montecrino", "17.47"},
    {kThrough, 0, 0, 0, "43.450", "Rivabassa", "17.49"},
    {kStop, 0, 0, 0, "47.950", "Croce d'Albaro", "17.52", "17.53", "0.5"},
    {kStop, 0, 0, 0, "54.300", "Lovenzo", "17.58", "17.59"},
    {},
    {kPost, 150, 140, 120, "56.000"},
    {},
    {kThrough, 0, 0, 0, "58.550", "Santa Ilaria", "18.02"},
    {},
    {kPost, 120, 120, 0, "61.000"},
    {kPost, 100, 100, 0, "63.500"},
    {},
    {kStop, 0, 0, 0, "65.250", "Ponte Cervaro", "18.06", "18.08"},
    {},
    // Deliberate: this post reads "Cippi"; the card is printed so.
    {kPost, 130, 130, 120, "69.000", "Cippi Km 69.000"},
};

constexpr CardRow kPage2Rows[] = {
    {kStop, 0, 0, 0, "73.650", "Carvenna Scalo", "18.14", "18.15"},
    {kMark, 0, 0, 0, "74.250", "Dev.U."},
    {},
    {kPost, 110, 110, 0, "76.500"},
    {kPost, 80, 80, 0, "79.800"},
    {kPost, 120, 120, 0, "81.400"},
    {},
    {kStop, 0, 0, 0, "84.850", "Roccamaura", "18.23", "18.24"},
    {},
    {kPost, 140, 140, 120, "89.000"},
    {kPost, 160, 140, 120, "95.000"},
    {kPost, 130, 130, 120, "97.500"},
    {},
    {kStop, 0, 0, 0, "100.050", "Selvaterna", "18.33", "18.35"},
    {},
    {kPost, 120, 120, 0, "103.000"},
    {kPost, 100, 100, 0, "106.000"},
    {},
    {kMark, 0, 0, 0, "108.650", "Dev.I."},
    {kStop, 0, 0, 0, "109.050", "Castelbruna", "18.42", "18.43", "0.5"},
    {kStop, 0, 0, 0, "115.550", "Fontevera", "18.49", "18.50"},
    {},
    {kPost, 130, 130, 120, "118.000"},
    {kPost, 140, 140, 120, "122.000"},
    {},
    {kMark, 0, 0, 0, "126.450", "Segn.Prot."},
    {kStop, 0, 0, 0, "127.050", "Prato Lucerio", "18.58", "18.59", "0.5"},
    {},
    {kPost, 110, 110, 0, "131.000"},
    {},
    {kMark, 0, 0, 0, "138.600", "Dev.I."},
};

// Page 2 has no closing rule: this stop, underscored, closes its table.
constexpr CardRow kPage2Closing = {kStop,     0,           0,       0,
                                   "139.050", "Vallenzia", "19.07", "19.08"};

constexpr CardRow kPage3Rows[] = {
    {kPost, 150, 140, 120, "146.000"},
    {kPost, 160, 140, 120, "150.000"},
    {},
    {kStop, 0, 0, 0, "153.550", "Molini di Sabbiona", "19.17", "19.18"},
    {},
    {kPost, 150, 140, 120, "157.000"},
    {kPost, 160, 140, 120, "161.000"},
    {},
    {kStop, 0, 0, 0, "164.350", "Ceresano", "19.25", "19.26", "0.5"},
    {},
    {kPost, 140, 140, 120, "180.000"},
    {},
    {kMark, 0, 0, 0, "187.000", "Dev.I."},
    {kTerminus, 0, 0, 0, "187.650", "Cembrio", "19.40", "", "1.5"},
};

// The blank form: spacer rows with the note in the middle.
constexpr CardRow kPage4Rows[] = {
    {}, {}, {}, {}, {}, {}, {}, {},
    {}, {}, {}, {}, {}, {}, {}, {kNote, 0, 0, 0, "", "PER MEMORIA"},
};

// A page, then the lines that separate it from the next. The gaps differ
// from page to page, and the first dotted line is longer than the others;
// the card is written exactly so.
struct CardPage {
  const CardHeader& header;
  std::span<const CardRow> rows;  // padded with spacers to kTableRows
  const CardRow* closing;         // underscored; null: the closing rule
  int blanks_before_dots;
  int dots;  // 0: no dotted line
  int blanks_after_dots;
};

constexpr int kTableRows = 31;
constexpr int kPageCount = 4;

const CardPage kPages[kPageCount] = {
    {kRunHeader, kPage1Rows, nullptr, 2, 81, 2},
    {kRunHeader, kPage2Rows, &kPage2Closing, 2, 72, 1},
    {kRunHeader, kPage3Rows, nullptr, 1, 72, 1},
    {kBlankHeader, kPage4Rows, nullptr, 1, 0, 0},
};

// text in a cell of width characters: blanks fill it, and a longer text
// is cut so that the columns stay in place.
std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text);
  out.resize(width, ' ');
  return out;
}

// A speed right-aligned in the first four characters of its cell.
std::string SpeedCell(int kmh) {
  if (kmh == 0) return "     ";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%4d ", kmh);
  return buf;
}

// The figure right-aligned in the first nine characters, then a blank or
// the jump's "/".
std::string KilometreCell(std::string_view km) {
  const bool jump = !km.empty() && km.back() == '/';
  if (jump) km.remove_suffix(1);
  std::string cell(9 - std::min<std::size_t>(km.size(), 9), ' ');
  cell.append(km);
  cell += jump ? '/' : ' ';
  return cell;
}

std::string PlaceCell(const CardRow& row, const RowKindLayout& layout) {
  std::string place(layout.place_indent, ' ');
  if (row.kind == kPost && row.place[0] == '\0') {
    place += std::string("Cippo Km ") + row.km;
  } else {
    place += row.place;
  }
  return Padded(place, 28);
}

// Writes text over cell from character at on, keeping the cell's width.
void Overwrite(std::string& cell, std::size_t at, std::string_view text) {
  for (std::size_t i = 0; i < text.size() && at + i < cell.size(); ++i) {
    cell[at + i] = text[i];
  }
}

std::string TimeCell(const CardRow& row, const RowKindLayout& layout) {
  std::string cell(16, ' ');
  if (layout.arrival_at >= 0) Overwrite(cell, layout.arrival_at, row.arrival);
  if (layout.departure_at >= 0) {
    Overwrite(cell, layout.departure_at, row.departure);
  }
  return cell;
}

std::string RecCell(std::string_view rec) {
  return rec.empty() ? "     " : " " + Padded(rec, 4);
}

// The underscored form: every blank after the row's leading one becomes
// "_".
std::string Underscored(std::string row) {
  for (std::size_t i = 1; i < row.size(); ++i) {
    if (row[i] == ' ') row[i] = '_';
  }
  return row;
}

// A table row: 83 characters, seven cells each closed by "|".
std::string TableRow(const CardRow& row, bool underscored) {
  const RowKindLayout& layout = LayoutOf(row.kind);
  std::string line = " |";
  for (const std::string& cell :
       {SpeedCell(row.limit), SpeedCell(row.running), KilometreCell(row.km),
        SpeedCell(row.no_rs), PlaceCell(row, layout), TimeCell(row, layout),
        RecCell(row.rec)}) {
    line += cell;
    line += '|';
  }
  return underscored || layout.underscored ? Underscored(line) : line;
}

void AddPage(int number, const CardPage& page,
             std::vector<std::string>* lines) {
  const CardHeader& h = page.header;
  const std::string rule = TableRow(CardRow{}, true);
  std::vector<std::string>& out = *lines;
  out.push_back("  " + std::string(19, '_') + std::string(47, ' ') +
                std::string(14, '_'));
  out.push_back(" |                   |                    SCHEDA " +
                std::to_string(number) + "/" + std::to_string(kPageCount) +
                "               |              |");
  out.push_back(" |   TRENO n. " + Padded(h.train, 7) + "|" +
                std::string(19, ' ') + Padded(h.from, 26) + "|    " +
                Padded(h.speed, 10) + "|");
  out.push_back(" |___________________|" + std::string(20, ' ') +
                Padded(h.to, 25) + "|     " + Padded(h.brake, 9) + "|");
  out.push_back(std::string(67, ' ') + "|" + std::string(14, '_') + "|");
  out.push_back("  ___________________                ___________________");
  out.push_back(
      " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ");
  out.push_back(" |        " + Padded(h.classification, 11) +
                "|              |      " + Padded(h.mass, 13) + "|");
  out.push_back(" |___________________|              |___________________|");
  out.push_back("");
  out.push_back("  " + std::string(80, '_'));
  out.push_back(
      " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |"
      "     Orario     | Rec |");
  out.push_back(
      " | Lim.|Marc.|          |  Rs |                            |"
      "                |     |");
  out.push_back(rule);
  for (int i = 0; i < kTableRows; ++i) {
    const bool given = i < static_cast<int>(page.rows.size());
    out.push_back(TableRow(given ? page.rows[i] : CardRow{}, false));
  }
  out.push_back(page.closing != nullptr ? TableRow(*page.closing, true) : rule);

  out.insert(out.end(), page.blanks_before_dots, "");
  if (page.dots > 0) {
    out.push_back(std::string(page.dots, '.'));
    out.insert(out.end(), page.blanks_after_dots, "");
  }
}

}  // namespace

std::vector<std::string> dati_scheda() {
  std::vector<std::string> lines = {"", ""};
  for (int p = 0; p < kPageCount; ++p) AddPage(p + 1, kPages[p], &lines);
  lines.push_back("riferimento fine del file");
  return lines;
}

}  // namespace scenario
