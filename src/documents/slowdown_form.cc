#include "documents/slowdown_form.h"

#include "documents/text_writer.h"

namespace scenario {

namespace {

// The table lines are 82 characters; each literal is split after the
// second cell so that the source stays within 80 columns. The "|" stand at
// characters 2, 6, 35, 48, 59, 69 and 82.
constexpr char kTableRule[] =
    " |___|____________________________|"
    "____________|__________|_________|____________|";
constexpr char kTableEmptyRow[] =
    " |   |                            |"
    "            |          |         |            |";

// Room for one slowdown order per row.
constexpr int kEmptyRows = 26;

}  // namespace

// A blank printed form: no value of the scenario is filled in.
// Deliberate: the placeholders "xxxxxx xxxxxxx" and "xxxxx" stay as they
// are, and "Rallentamneto" keeps its misspelling; printed forms in use
// carry exactly this text.
std::vector<std::string> dati_rallentamenti() {
  std::vector<std::string> lines = {
      "",
      "                               Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      " ________________________________________"
      "________________________________________",
      "  Linea  xxxxxx xxxxxxx",
      "",
      "  Si ordina al macchinista del treno xxxxx di effettuare i seguenti "
      "rallentamenti",
      "  _______________________________________"
      "________________________________________",
      " |   |                            |"
      "Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       |"
      " il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |"
      "chilometrico|          |   metri | specifiche |",
      kTableRule,
  };
  lines.insert(lines.end(), kEmptyRows, kTableEmptyRow);
  lines.insert(
      lines.end(),
      {
          kTableRule,
          "",
          "              Prescrizioni specifiche",
          " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
          " B - Interessa anche la stazione di.......",
          " D - Rallentamneto N. ... e N. ...  sono contigui",
          " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
          "     i giorni esclusi i seguenti:.........",
          std::string(kEndMarker),
      });
  return lines;
}

}  // namespace scenario
