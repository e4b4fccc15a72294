// The long explanations of the warning kinds: data only.
#include <string_view>

#include "lint/code_explanations.h"

namespace scenario {

namespace {

// clang-format off
constexpr WarningExplanation kWarningExplanations[] = {
    {"passed-over-field",
     "A field stands where a row's keyword is expected, but it holds the "
     "words of no row kind: the readers pass it over, and the row's values "
     "after it are passed over one by one too. A misspelt keyword drops its "
     "whole row; a dropped station renumbers every station after it.",
     "Spell the keyword as the format reference gives it.",
     "pendnza,  600,   -11",
     "pendenza,  600,   -11"},
    {"keyword-case",
     "In the line's general part every keyword but the length row's is "
     "matched in exact case: a keyword written with a capital letter is not "
     "recognised, and its row is passed over.",
     "Write the keyword in lower case.",
     "Sfondo uno,    1",
     "sfondo uno,    1"},
    {"misplaced-row",
     "General rows of the line are read only between \"[generale]\" and the "
     "next bracketed header, and every other row only after it: a gradient "
     "row inside the general part, or a length row after it, is passed "
     "over.",
     "Move the row to its part of the file.",
     "[generale]\n"
     "pendenza,  0,   0\n"
     "[curve]",
     "[generale]\n"
     "[curve]\n"
     "pendenza,  0,   0"},
    {"other-file-row",
     "A row of the other description file stands in this one (a gradient "
     "row in the train description, a station in the line description): "
     "each file knows only its own rows, so it is passed over.",
     "Move the row to the file it belongs to.",
     "# in the train description\n"
     "pendenza,  600,   -11",
     "# in the line description\n"
     "pendenza,  600,   -11"},
    {"no-general-section",
     "The train description has no \"[generale]\" header: everything before "
     "the first field that holds it is passed over, so nothing of the train "
     "is read, silently.",
     "Start the train's rows with a \"[generale]\" line.",
     "[generali]\n"
     "numero vetture,    4",
     "[generale]\n"
     "numero vetture,    4"},
    {"decimal-comma",
     "A number is written with a decimal comma (or a thousands comma). The "
     "comma always separates fields: \"-4,5\" is the number -4 followed by "
     "a stray field 5, and \"9,000\" is 9 followed by 0, which shifts the "
     "rest of the row.",
     "Write whole numbers without commas (metres, per mille and km/h are "
     "all whole).",
     "velocita,    9,000,   130",
     "velocita,    9000,   130"},
    {"dash-field-tested",
     "Dash fields where a keyword is expected are passed over, but only up "
     "to ten in a row in the line's general part and two elsewhere: the "
     "next one is tested as a keyword.",
     "Use at most two lines of dashes between rows.",
     "----\n"
     "----\n"
     "----\n"
     "pendenza,  600,   -11",
     "----\n"
     "pendenza,  600,   -11"},
    {"unread-last-field",
     "The file's last field is a row keyword, but the last field of a "
     "description is never tested as a keyword, so the row is not read.",
     "End the file with a line that carries no row, \"[fine]\".",
     "cartello_indicatore,  3000,   (Dev.I.)\n"
     "abbattimento",
     "cartello_indicatore,  3000,   (Dev.I.)\n"
     "[fine]"},
    {"double-keyword",
     "A keyword holds the words of two row kinds and is read as both rows, "
     "one after the other: \"segnale rallentamento\" reads eleven signal "
     "numbers and then six slowdown numbers.",
     "Give each row a keyword of one kind only; keep headers and free text "
     "clear of keyword words.",
     "segnale rallentamento,    1600,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
     "segnale,    1600,   2, 5, 1,  1, 0,    2,  2,1,1, 0"},
    {"rows-out-of-order",
     "Rows of one kind stand out of position order. Gradient, speed-limit "
     "and adhesion rows each fill their profile forward from the previous "
     "row, so a row out of order shifts the profile between them; stations "
     "out of order break the spacing check.",
     "Sort the rows of each kind by position.",
     "pendenza,  2400,   4\n"
     "pendenza,  800,   -6",
     "pendenza,  800,   -6\n"
     "pendenza,  2400,   4"},
    {"curve-overlap",
     "A curve starts before the line's plan has reached it, inside or "
     "behind the previous curve: it is laid from where the plan stands, so "
     "it is shortened, or ignored when it ends before that point.",
     "Write the curves in increasing order of start, without overlaps.",
     "curvad2,  3000,  400\n"
     "curvas3,  3200,  150",
     "curvad2,  3000,  400\n"
     "curvas3,  3450,  150"},
    {"times-not-rising",
     "A station's time is not later than the time of the last station "
     "before it that has a time.",
     "Check the hours, minutes and seconds of both stations.",
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8, 9, "
     "0, Fondovalle",
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,19, "
     "0, Fondovalle"},
    {"time-too-short",
     "The time between two stations is shorter than the distance between "
     "them takes at the train's speed limits in force over it.",
     "Give the later station a later time, or check the speed limits.",
     "# the station before: 2400 m at 8:14:30; speed limit 90 km/h\n"
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,15, "
     "0, Fondovalle",
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,19, "
     "0, Fondovalle"},
    {"kilometre-stone",
     "An indicator board's text reads as a kilometre stone, such as \"(  "
     "Cippo  )(Km 15+000)\", but the line's kilometre records give its "
     "position another reading.",
     "Move the stone to the position with that reading, or correct its "
     "text.",
     "# every point reads its position plus 12000 m\n"
     "cartello_indicatore,  3000,   (  Cippo  )(Km 3+000)",
     "cartello_indicatore,  3000,   (  Cippo  )(Km 15+000)"},
    {"speed-above-board",
     "A train's speed limit is above every speed of the maximum-speed board "
     "in force at its position.",
     "Lower the train's limit, or check the board.",
     "# the board in force shows 70, 75 and 80 km/h\n"
     "velocita,    3500,    90",
     "velocita,    3500,    70"},
    {"value-altered",
     "A value does not fit the field it is stored in: it is wrapped, rounded "
     "or raised, so the stored value differs from the written one (a "
     "gradient of 600 per mille is stored as +88, a speed of 77 km/h as "
     "75, a signal's tempo of 50 as 101).",
     "Write a value the field can hold.",
     "pendenza,  600,   600",
     "pendenza,  600,   6"},
    {"duplicate-position",
     "Two rows of one kind stand at one position: the last one wins (the "
     "first fills at most one cell).",
     "Drop one of the two rows, or move it.",
     "velocita,    1000,    90\n"
     "velocita,    1000,    80",
     "velocita,    1000,    80"},
    {"item-overwritten",
     "An item placed in a cell is overwritten by a later row that takes the "
     "same cell; a station's stop mark takes its cell whatever stands there "
     "(a signal written before it vanishes).",
     "Move one of the two rows by 50 m or more.",
     "# a station after it ends its stretch at 2600 m: its stop mark takes\n"
     "# the cell of an item at 2500 m\n"
     "segnale,    2500,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
     "segnale,    2600,   2, 3, 1,  1, 0,    0,  0,0,0, 0"},
    {"utf8-text",
     "A text looks like UTF-8, but descriptions are read as Windows-1252: "
     "each accented letter becomes two characters in the simulator "
     "(\"Citt\xc3\xa0\" is shown as \"Citt\xc3\x83\xc2\xa0\").",
     "Save the file in Windows-1252.",
     "", ""},
};
// clang-format on

}  // namespace

std::span<const WarningExplanation> WarningExplanations() {
  return kWarningExplanations;
}

const WarningExplanation* FindWarningExplanation(std::string_view name) {
  for (const WarningExplanation& e : kWarningExplanations) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

}  // namespace scenario
