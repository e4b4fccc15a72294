// The one table of warning kinds: data only, one entry per kind holding
// every text of it, in the order of the enum. Names are stable (authors
// silence kinds by them): never rename one.
#include <array>
#include <cstddef>
#include <span>

#include "lint/warnings.h"

namespace scenario {

namespace {

// Each entry: kind, name, summary, cause, fix, wrong rows, right rows.
// clang-format off
constexpr std::array<WarningKindInfo, kWarningKindCount> kWarningTable = {{
    {WarningKind::kPassedOverField, "passed-over-field",
     "a field where a row keyword is expected matches no keyword and is "
     "passed over, with whatever follows it",
     "A field stands where a row's keyword is expected, but it holds the "
     "words of no row kind: the readers pass it over, and the row's values "
     "after it are passed over one by one too. A misspelt keyword drops its "
     "whole row; a dropped station renumbers every station after it.",
     "Spell the keyword as the format reference gives it.",
     "pendnza,  600,   -11",
     "pendenza,  600,   -11"},
    {WarningKind::kKeywordCase, "keyword-case",
     "a general-part keyword of the line differs only in letter case; "
     "those keywords are matched exactly, so the row is not read",
     "In the line's general part every keyword but the length row's is "
     "matched in exact case: a keyword written with a capital letter is not "
     "recognised, and its row is passed over.",
     "Write the keyword in lower case.",
     "Sfondo uno,    1",
     "sfondo uno,    1"},
    {WarningKind::kMisplacedRow, "misplaced-row",
     "a general row of the line after its general part, or another row of "
     "the line inside it, is not read there",
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
    {WarningKind::kOtherFileRow, "other-file-row",
     "a row that belongs to the other description file is not read",
     "A row of the other description file stands in this one (a gradient "
     "row in the train description, a station in the line description): "
     "each file knows only its own rows, so it is passed over.",
     "Move the row to the file it belongs to.",
     "# in the train description\n"
     "pendenza,  600,   -11",
     "# in the line description\n"
     "pendenza,  600,   -11"},
    {WarningKind::kNoGeneralSection, "no-general-section",
     "the train description has no \"[generale]\" header, so nothing of it "
     "is read",
     "The train description has no \"[generale]\" header: everything before "
     "the first field that holds it is passed over, so nothing of the train "
     "is read, silently.",
     "Start the train's rows with a \"[generale]\" line.",
     "[generali]\n"
     "numero vetture,    4",
     "[generale]\n"
     "numero vetture,    4"},
    {WarningKind::kDecimalComma, "decimal-comma",
     "a number written with a decimal comma (or a thousands comma): the "
     "comma splits it into two fields, and the second half is a stray "
     "field or shifts the row",
     "A number is written with a decimal comma (or a thousands comma). The "
     "comma always separates fields: \"-4,5\" is the number -4 followed by "
     "a stray field 5, and \"9,000\" is 9 followed by 0, which shifts the "
     "rest of the row.",
     "Write whole numbers without commas (metres, per mille and km/h are "
     "all whole).",
     "velocita,    9,000,   130",
     "velocita,    9000,   130"},
    {WarningKind::kDashFieldTested, "dash-field-tested",
     "more dash fields in a row than are passed over: the next one is "
     "tested as a row keyword",
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
    {WarningKind::kUnreadLastField, "unread-last-field",
     "the file's last field is a row keyword, but the last field of a "
     "description is never read",
     "The file's last field is a row keyword, but the last field of a "
     "description is never tested as a keyword, so the row is not read.",
     "End the file with a line that carries no row, \"[fine]\".",
     "cartello_indicatore,  3000,   (Dev.I.)\n"
     "abbattimento",
     "cartello_indicatore,  3000,   (Dev.I.)\n"
     "[fine]"},
    {WarningKind::kDoubleKeyword, "double-keyword",
     "a keyword passes the tests of two row kinds and is read as both rows, "
     "one after the other",
     "A keyword holds the words of two row kinds and is read as both rows, "
     "one after the other: \"segnale rallentamento\" reads eleven signal "
     "numbers and then six slowdown numbers.",
     "Give each row a keyword of one kind only; keep headers and free text "
     "clear of keyword words.",
     "segnale rallentamento,    1600,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
     "segnale,    1600,   2, 5, 1,  1, 0,    2,  2,1,1, 0"},
    {WarningKind::kRowsOutOfOrder, "rows-out-of-order",
     "rows of one kind stand out of position order; profiles fill forward "
     "only, so the out-of-order row shifts the profile",
     "Rows of one kind stand out of position order. Gradient, speed-limit "
     "and adhesion rows each fill their profile forward from the previous "
     "row, so a row out of order shifts the profile between them; stations "
     "out of order break the spacing check.",
     "Sort the rows of each kind by position.",
     "pendenza,  2400,   4\n"
     "pendenza,  800,   -6",
     "pendenza,  800,   -6\n"
     "pendenza,  2400,   4"},
    {WarningKind::kCurveOverlap, "curve-overlap",
     "a curve starts before the plan has reached it (inside or behind the "
     "previous curve): it is shortened or ignored",
     "A curve starts before the line's plan has reached it, inside or "
     "behind the previous curve: it is laid from where the plan stands, so "
     "it is shortened, or ignored when it ends before that point.",
     "Write the curves in increasing order of start, without overlaps.",
     "curvad2,  3000,  400\n"
     "curvas3,  3200,  150",
     "curvad2,  3000,  400\n"
     "curvas3,  3450,  150"},
    {WarningKind::kTimesNotRising, "times-not-rising",
     "a station's time is not later than the time of the station with a "
     "time before it",
     "A station's time is not later than the time of the last station "
     "before it that has a time.",
     "Check the hours, minutes and seconds of both stations.",
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8, 9, "
     "0, Fondovalle",
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,19, "
     "0, Fondovalle"},
    {WarningKind::kTimeTooShort, "time-too-short",
     "the time between two stations is shorter than the distance takes at "
     "the train's speed limits in force over it",
     "The time between two stations is shorter than the distance between "
     "them takes at the train's speed limits in force over it.",
     "Give the later station a later time, or check the speed limits.",
     "# the station before: 2400 m at 8:14:30; speed limit 90 km/h\n"
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,15, "
     "0, Fondovalle",
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,19, "
     "0, Fondovalle"},
    {WarningKind::kKilometreStone, "kilometre-stone",
     "an indicator board reads as a kilometre stone, but the line's "
     "kilometre records give its position another reading",
     "An indicator board's text reads as a kilometre stone, such as \"(  "
     "Cippo  )(Km 15+000)\", but the line's kilometre records give its "
     "position another reading.",
     "Move the stone to the position with that reading, or correct its "
     "text.",
     "# every point reads its position plus 12000 m\n"
     "cartello_indicatore,  3000,   (  Cippo  )(Km 3+000)",
     "cartello_indicatore,  3000,   (  Cippo  )(Km 15+000)"},
    {WarningKind::kSpeedAboveBoard, "speed-above-board",
     "a train speed limit is above every speed of the maximum-speed board "
     "in force at its position",
     "A train's speed limit is above every speed of the maximum-speed board "
     "in force at its position.",
     "Lower the train's limit, or check the board.",
     "# the board in force shows 70, 75 and 80 km/h\n"
     "velocita,    3500,    90",
     "velocita,    3500,    70"},
    {WarningKind::kValueAltered, "value-altered",
     "a value does not fit the field it is stored in: it is wrapped, "
     "rounded or raised, and the stored value differs from the written one",
     "A value does not fit the field it is stored in: it is wrapped, rounded "
     "or raised, so the stored value differs from the written one (a "
     "gradient of 600 per mille is stored as +88, a speed of 77 km/h as "
     "75, a signal's tempo of 50 as 101).",
     "Write a value the field can hold.",
     "pendenza,  600,   600",
     "pendenza,  600,   6"},
    {WarningKind::kDuplicatePosition, "duplicate-position",
     "two rows of one kind at one position: the last one wins",
     "Two rows of one kind stand at one position: the last one wins (the "
     "first fills at most one cell).",
     "Drop one of the two rows, or move it.",
     "velocita,    1000,    90\n"
     "velocita,    1000,    80",
     "velocita,    1000,    80"},
    {WarningKind::kItemOverwritten, "item-overwritten",
     "an item placed in a cell is overwritten by a later row that takes "
     "the same cell",
     "An item placed in a cell is overwritten by a later row that takes the "
     "same cell; a station's stop mark takes its cell whatever stands there "
     "(a signal written before it vanishes).",
     "Move one of the two rows by 50 m or more.",
     "# a station after it ends its stretch at 2600 m: its stop mark takes\n"
     "# the cell of an item at 2500 m\n"
     "segnale,    2500,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
     "segnale,    2600,   2, 3, 1,  1, 0,    0,  0,0,0, 0"},
    {WarningKind::kUtf8Text, "utf8-text",
     "a text looks like UTF-8, but descriptions are read as Windows-1252: "
     "the simulator shows other characters",
     "A text looks like UTF-8, but descriptions are read as Windows-1252: "
     "each accented letter becomes two characters in the simulator "
     "(\"Citt\xc3\xa0\" is shown as \"Citt\xc3\x83\xc2\xa0\").",
     "Save the file in Windows-1252.",
     "", ""},
    {WarningKind::kRowShape, "row-shape",
     "a line holds fewer values than its row needs, so the row takes its "
     "last values from the next line",
     "Each row needs a fixed number of values after its keyword (a signal "
     "11, a station 17), and the reader takes them wherever they stand: a "
     "row written with one value too few takes the next row's keyword as "
     "its last value. That keyword is no number, so the reading stops there "
     "with error 25, one row below the row that lacks the value; a row "
     "whose last value is a text (a station name) takes the keyword as its "
     "text, and the next row's numbers are passed over.",
     "Write each row whole on its own line: count its values against the "
     "format reference and add the one that is missing.",
     "pendenza,  600\n"
     "pendenza,  800,   -11",
     "pendenza,  600,   11\n"
     "pendenza,  800,   -11"},
    {WarningKind::kCommentMarker, "comment-marker",
     "a line starts like a comment (#, //, ;, ' or REM), but descriptions "
     "have no comments: the line is still read",
     "A line starts with a comment marker of another format (#, //, ;, ' "
     "or REM). Descriptions have no comments: a \"commented-out\" row is "
     "still read, byte for byte, and a remark that holds a keyword's word "
     "(\"# segnale di partenza\") is read as that row, taking its values from "
     "the lines after it.",
     "Delete the line, or move the remark before \"[generale]\" (where "
     "nothing is read) or after the file's last row, and keep keyword words "
     "out of it.",
     "// pendenze in salita\n"
     "pendenza,  600,   11",
     "pendenza,  600,   11"},
    {WarningKind::kFieldSeparator, "field-separator",
     "fields are separated by semicolons or tabs, but only a comma "
     "separates them",
     "The values of a row are separated by semicolons or tabs, as a "
     "spreadsheet may save them. Only a comma separates fields: the whole "
     "line is one field, read as a keyword, and the row takes its values "
     "from the lines after it (error 25 one row below).",
     "Separate the fields with commas.",
     "pendenza;600;-11",
     "pendenza,  600,  -11"},
    {WarningKind::kFileEncoding, "file-encoding",
     "the file is saved as UTF-16 (\"Unicode\") or starts with a UTF-8 "
     "byte-order mark; descriptions are Windows-1252",
     "The file is not in Windows-1252: it holds zero bytes or a UTF-16 "
     "byte-order mark (Notepad's \"Unicode\"), so no keyword is found in it "
     "(a train reads as empty, a line ends without its rows), or it starts "
     "with the three bytes of a UTF-8 byte-order mark, read as the "
     "characters \"\xc3\xaf\xc2\xbb\xc2\xbf\".",
     "Save the file in Windows-1252 (\"ANSI\"), without a byte-order mark.",
     "", ""},
    {WarningKind::kNonPositiveLength, "non-positive-length",
     "a slowdown, a curve, a station or a mountain-side stretch has a "
     "length of 0 m or less",
     "A slowdown, a curve or a station has a length of 0 m or less, or a "
     "mountain-side stretch ends where it starts or before: a slowdown's "
     "end is placed before its start (and its code marks run on for "
     "kilometres), a negative curve changes the plan laid before it, a "
     "station's stretch ends before it starts, and an empty stretch does "
     "nothing.",
     "Give the length in metres as a positive number (the stretch's end "
     "after its start).",
     "curvas1,  1500,  -300",
     "curvas1,  1500,  300"},
    {WarningKind::kBeyondLineEnd, "beyond-line-end",
     "an item or a station stands beyond the end of the line, in the "
     "7000 m run-out after it",
     "An item (a signal, a board, a slowdown, a code change) or a station "
     "stands beyond the line's length. The cells run on 7000 m past the "
     "end, so it compiles, but the line the author described ends before "
     "it; only from 7000 m past the end is it error 15.",
     "Check the position against the line's length (\"lunghezza "
     "percorso\"), or lengthen the line.",
     "# on a line 6000 m long\n"
     "segnale,    6500,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
     "segnale,    5500,   2, 3, 1,  1, 0,    0,  0,0,0, 0"},
    {WarningKind::kZeroSpeed, "zero-speed",
     "a maximum-speed board or a speed limit gives 0 km/h",
     "A speed limit of 0 km/h, or a maximum-speed board with a speed of 0 "
     "km/h beside speeds that are set (or with no speed set at all): 0 is "
     "what an unset speed reads as, so the board shows nothing there and "
     "the limit stops the train.",
     "Give the speed in km/h; leave a whole side of a board at 0 only when "
     "that side has no board.",
     "velocita,    1000,    0",
     "velocita,    1000,    30"},
    {WarningKind::kImplausibleSpeed, "implausible-speed",
     "a speed above 300 km/h on a board, a speed limit or a slowdown",
     "A speed on a maximum-speed board, a speed limit or a slowdown is "
     "above 300 km/h, faster than any train of these lines runs: most "
     "often a digit too many, or a position written in the speed's place.",
     "Give the speed in km/h, at most 300.",
     "velocita,    1000,    950",
     "velocita,    1000,    95"},
    {WarningKind::kSteepGradient, "steep-gradient",
     "a gradient steeper than 60 per mille, more than an adhesion railway "
     "climbs",
     "A gradient is steeper than 60 per mille up or down, more than any "
     "adhesion railway has: most often a gradient in per cent times ten "
     "too many, or a position in the gradient's place.",
     "Give the gradient in per mille, between -60 and 60.",
     "pendenza,  600,   110",
     "pendenza,  600,   11"},
    {WarningKind::kNoStation, "no-station",
     "the train description has no station row",
     "The train description holds no station row: the train has no "
     "timetable, no place to start from and no stop, and the crew documents "
     "list no station.",
     "Write a station row for each stop, the first where the train starts.",
     "", ""},
    {WarningKind::kStationNameTwice, "station-name-twice",
     "two stations have the same name",
     "Two station rows give the same name at different positions: the "
     "timetable and the crew documents show the name twice, and an author "
     "who copied the row most often forgot to rename it.",
     "Give each station its own name.",
     "stazione,    2400, 22,  300,  0, 0, 0,  1,1,0,  2,0,0,   60,   "
     "8,14,30, Ponte Rio\n"
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   "
     "8,19, 0, Ponte Rio",
     "stazione,    2400, 22,  300,  0, 0, 0,  1,1,0,  2,0,0,   60,   "
     "8,14,30, Ponte Rio\n"
     "stazione,    5300,  2,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   "
     "8,19, 0, Fondovalle"},
}};
// clang-format on

constexpr bool KindsInEnumOrder() {
  for (std::size_t i = 0; i < kWarningTable.size(); ++i) {
    if (static_cast<std::size_t>(kWarningTable[i].kind) != i) return false;
  }
  return true;
}
static_assert(KindsInEnumOrder(), "one entry per kind, in the enum's order");

}  // namespace

std::span<const WarningKindInfo> WarningKinds() { return kWarningTable; }

}  // namespace scenario
