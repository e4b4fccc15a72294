#ifndef SCENARIO_MODEL_CODE_TABLE_H_
#define SCENARIO_MODEL_CODE_TABLE_H_

// The one table of recorded codes: data only, one entry per code holding
// every text of it, in increasing order of code.
//
// It lives in model/, beside the codes themselves, because the readers of
// the line and the train (below lint/) record diagnostics, and each
// diagnostic carries its code's summary; lint/ renders the long parts for
// `explain` and the reference page from the same entries. It is a constant
// in a header so that model/errors.h can check every code it names against
// it while compiling: a code without an entry does not build.
//
// When an entry changes, regenerate the reference page with
//   scenario-compiler explain --all > docs/error-codes.md

#include "model/code_entry.h"

namespace scenario {

// Each entry: code, file, summary, cause, fix, wrong rows, right rows.
// clang-format off
inline constexpr CodeEntry kCodeTable[] = {
    {1, "line",
     "the line length is over 1000000 m; no cell array is created",
     "The length row (\"lunghezza percorso\") gives more than 1000000 m. "
     "The line is not compiled at all: there is no cell array, and no binary "
     "file is written.",
     "Give the line's length in metres, at most 1000000.",
     "lunghezza percorso,    1850000",
     "lunghezza percorso,    185000"},
    {2, "line",
     "a kilometre reference record's start or offset is not a "
     "multiple of 50",
     "Once the whole scenario has been read, a kilometre record "
     "(\"progressiva chilometrica uno\", \"due\" or \"tre\") has a start or "
     "an offset that is not a multiple of 50 m (a record with the flag 1 "
     "has 100 m added to its offset first). The files are still written.",
     "Round the record's start and offset to a multiple of 50 m.",
     "progressiva chilometrica uno,    31120,    3050,    0",
     "progressiva chilometrica uno,    31100,    3050,    0"},
    {3, "line",
     "the signal repetition start is not a multiple of 50",
     "The signal repetition stretch (\"ripetizione segnali\") starts at a "
     "position that is not a multiple of 50 m. The reading stops there: the "
     "rest of the line and the whole train are not read.",
     "Round the start to a multiple of 50 m.",
     "ripetizione segnali 9 codici,    7025,    185700",
     "ripetizione segnali 9 codici,    7050,    185700"},
    {4, "line",
     "the signal repetition end is not a multiple of 50",
     "The signal repetition stretch ends at a position that is not a "
     "multiple of 50 m. The reading stops there: the rest of the line and "
     "the whole train are not read.",
     "Round the end to a multiple of 50 m (0 for a line without signal "
     "repetition).",
     "ripetizione segnali 9 codici,    7050,    185720",
     "ripetizione segnali 9 codici,    7050,    185700"},
    {5, "line",
     "the signal repetition keyword holds neither \"4\" nor \"9\"",
     "The signal repetition keyword does not say how many codes the "
     "repetition has: it must hold the digit 4 or the digit 9. The reading "
     "stops there.",
     "Write the number of codes into the keyword: \"ripetizione segnali 4 "
     "codici\" or \"ripetizione segnali 9 codici\".",
     "ripetizione segnali codici,    7050,    185700",
     "ripetizione segnali 9 codici,    7050,    185700"},
    {6, "line",
     "an indicator board falls on a cell that is already taken",
     "An indicator board (\"cartello_indicatore\") falls on a cell that "
     "already holds a maximum-speed board or another indicator board. "
     "Positions are rounded to 50 m cells, halves to the even cell, so two "
     "boards less than 50 m apart can share one. The reading of the line "
     "stops there, and the train is not read.",
     "Move the board, or the item that holds its cell, by 50 m.",
     "# a maximum-speed board stands at 1000 m\n"
     "cartello_indicatore,  1000,   (Dev.I.)",
     "cartello_indicatore,  1050,   (Dev.I.)"},
    {7, "train",
     "a code change falls on a cell that is already taken",
     "A code change (\"abbattimento\") falls on a cell that already holds "
     "an item: a signal, a slowdown cell, a board, a stop mark or another "
     "code change. A code change at metre p takes the cell of an item "
     "written at p - 50. The reading of the train stops there.",
     "Move the code change by 50 m.",
     "# a signal stands at 7000 m\n"
     "abbattimento,    7050,   270",
     "abbattimento,    7100,   270"},
    {8, "train",
     "a station position is not a multiple of 50",
     "A station's position is not a multiple of 50 m. The reading of the "
     "train stops there.",
     "Round the station's position to a multiple of 50 m.",
     "stazione,    3125, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
     "0, Bosco",
     "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
     "0, Bosco"},
    {9, "train",
     "a station length is not a multiple of 100",
     "A station's length (its third field) is not a multiple of 100 m. The "
     "reading of the train stops there.",
     "Round the length to a multiple of 100 m.",
     "stazione,    3100, 22,  450,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
     "0, Bosco",
     "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
     "0, Bosco"},
    {10, "train",
     "no parameter slot is left for the next station (the stations "
     "reach the indicator board texts)",
     "The parameter table is full: the stations take its slots from 1 "
     "upwards and the texts of the line's indicator boards from 80 "
     "downwards, so the stations and the indicator boards together are at "
     "most 78. The reading of the train stops after the station that filled "
     "the table.",
     "Drop stations or indicator boards (kilometre stones are the first "
     "candidates).",
     "", ""},
    {11, "train",
     "no room for the code mark before a signal that precedes a "
     "warning board",
     "A slowdown's warning board stands at most 20 cells (1000 m) after a "
     "signal, and the two cells just before that signal (50 and 100 m "
     "before it) both hold items other than code marks, so the compiler has "
     "no room for the code mark it puts there. The mark is left out; the "
     "files are still written.",
     "Move the signal, or one of the two items before it, by 100 m, or move "
     "the slowdown.",
     "# maximum-speed boards stand at 2400 and 2450 m; a slowdown starts at "
     "4150 m\n"
     "segnale,    2500,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
     "segnale,    2550,   2, 3, 1,  1, 0,    0,  0,0,0, 0"},
    {12, "train",
     "no free cell for a code mark before a slowdown start",
     "The compiler puts code marks at three distances before every "
     "slowdown's start: in the first free cell 250 to 350 m, 550 to 650 m "
     "and 900 to 1000 m before it. All three cells of one of these groups "
     "hold items, so the mark is left out; the files are still written.",
     "Move the slowdown, or one of the items in front of it, by 50 m or "
     "more.",
     "# items stand at 3650, 3700 and 3750 m\n"
     "rallentamento,    4000,    30,    300,    0,    0,    0",
     "rallentamento,    4200,    30,    300,    0,    0,    0"},
    {13, "train",
     "no free cell for a code mark along a slowdown or before the "
     "signal after it",
     "Along a slowdown below 110 km/h the compiler puts a code mark every "
     "400 m, and one just before the first signal within 600 m after its "
     "end. A place for such a mark and both cells beside it (or, before the "
     "signal, the two cells before it) hold items, so the mark is left out; "
     "the files are still written.",
     "Move the items that crowd the slowdown, or change its length or "
     "start.",
     "# signals stand at 4350, 4400 and 4450 m\n"
     "rallentamento,    4000,    30,    600,    0,    0,    0",
     "rallentamento,    4000,    30,    300,    0,    0,    0"},
    {15, "both",
     "the row's position lies beyond the end of the cell array; "
     "reading of this file stops",
     "A row's position lies beyond the compiled line: its position plus "
     "100 m (a station's plus 800 m) passes the line's length plus 7000 m. "
     "The reading of that file stops there; the rows read so far are kept, "
     "and after a line file the train file is still read.",
     "Check the row's position, or the line's length row.",
     "# the line description says \"lunghezza percorso, 6000\"\n"
     "velocita,   13000,    80",
     "velocita,    3000,    80"},
    {16, "train",
     "a signal falls on a cell that is already taken",
     "A signal falls on a cell that already holds an item (a board, a "
     "slowdown cell, a stop mark, a code change or another signal). "
     "Positions are rounded to 50 m cells, halves to the even cell: signals "
     "at 425 and 475 m share a cell. The reading of the train stops there.",
     "Move the signal, or the item that holds its cell, by 50 m.",
     "# a maximum-speed board stands at 1000 m\n"
     "segnale,    1000,   2, 5, 1,  1, 0,    2,  2,1,1, 0",
     "segnale,    1050,   2, 5, 1,  1, 0,    2,  2,1,1, 0"},
    {17, "train",
     "a slowdown's warning board falls on a cell that is already "
     "taken",
     "A slowdown that starts beyond 1500 m gets a warning board 1200 m "
     "before its start, and that cell already holds an item. The reading of "
     "the train stops there; nothing of the slowdown is placed.",
     "Move the slowdown, or the item 1200 m before its start, by 50 m.",
     "# a signal stands at 2800 m\n"
     "rallentamento,    4000,    30,    300,    0,    0,    0",
     "rallentamento,    4050,    30,    300,    0,    0,    0"},
    {18, "train",
     "a slowdown's start falls on a cell that is already taken",
     "A slowdown's start falls on a cell that already holds an item. The "
     "reading of the train stops there; nothing of the slowdown is placed.",
     "Move the slowdown, or the item at its start, by 50 m.",
     "# a signal stands at 4000 m\n"
     "rallentamento,    4000,    30,    300,    0,    0,    0",
     "rallentamento,    4050,    30,    300,    0,    0,    0"},
    {19, "train",
     "a slowdown's end falls on a cell that is already taken",
     "A slowdown's end (its start plus its length) falls on a cell that "
     "already holds an item. The reading of the train stops there; nothing "
     "of the slowdown is placed.",
     "Change the slowdown's length, or move the item at its end, by 50 m.",
     "# a signal stands at 4300 m\n"
     "rallentamento,    4000,    30,    300,    0,    0,    0",
     "rallentamento,    4000,    30,    350,    0,    0,    0"},
    {20, "train",
     "one of a slowdown's four pre-warning cells is already taken",
     "A slowdown asks for pre-warning cells (its fifth number is not 0), "
     "and one of the four cells just before its warning board (1250 to "
     "1400 m before its start) holds an item. The reading of the train "
     "stops there; the start, end and warning board are already placed.",
     "Move the slowdown or the item, or set the fifth number to 0.",
     "# a signal stands at 2700 m\n"
     "rallentamento,    4000,    30,    300,    0,    1,    0",
     "rallentamento,    4250,    30,    300,    0,    1,    0"},
    {21, "line",
     "a maximum-speed board falls on a cell that is already taken",
     "A maximum-speed board (\"indicatori_vmax\") falls on a cell that "
     "already holds another board. Positions are rounded to 50 m cells, so "
     "two boards less than 50 m apart can share one. The reading of the "
     "line stops there, and the train is not read.",
     "Move one of the boards by 50 m.",
     "# a maximum-speed board stands at 1000 m\n"
     "indicatori_vmax,  1020,  90,  95,  100,  0,  ,  ,  ,  0",
     "indicatori_vmax,  1050,  90,  95,  100,  0,  ,  ,  ,  0"},
    {22, "train",
     "a station starts less than 350 m after the previous station's "
     "end",
     "A station's stretch starts less than 350 m after the previous "
     "station's stretch ends. (A station of kind 22 at p with length L "
     "stretches from p - L/2 to p + L/2.) The reading of the train stops "
     "there.",
     "Move the station further on, shorten one of the two, or check that "
     "the stations are in increasing order of position.",
     "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
     "0, Bosco\n"
     "stazione,    3700, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,20, "
     "0, Prato",
     "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
     "0, Bosco\n"
     "stazione,    3900, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,20, "
     "0, Prato"},
    {24, "train",
     "a station with a stop mark ends at or before metre 100",
     "A station where the train stops (kind below 25) has its stretch end "
     "at or before metre 100, so its stop mark would fall before the line's "
     "first cells. The reading of the train stops there.",
     "Move the station so that its stretch ends beyond metre 100.",
     "stazione,       0, 22,  200,  0, 0, 0,  2,1,0,  2,1,0,    1,  17,15, "
     "0, Valle",
     "stazione,     100, 22,  200,  0, 0, 0,  2,1,0,  2,1,0,    1,  17,15, "
     "0, Valle"},
    {25, "both",
     "the description cannot be read here",
     "The description cannot be read at the place named: letters where a "
     "number belongs, a number outside its field's width (a byte holds 0 to "
     "255, an integer -32768 to 32767), a row cut short by the end of the "
     "file, a value that leaves the compiled line, or a file that cannot be "
     "read. The message says which. All reading stops; the files are still "
     "written from what was read.",
     "Correct the field at the place named. When a warning (row-shape, "
     "comment-marker, field-separator, file-encoding) names a row before it, "
     "change that row instead: a row with a field too few, a row commented "
     "out, or fields parted by tabs or semicolons make the reader take the "
     "next row's keyword as the number it lacks.",
     "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,  300,  17,18, "
     "0, Bosco",
     "stazione,    3100, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, "
     "0, Bosco"},
    {101, "line",
     "the line description file does not exist",
     "The line description file does not exist (or is not a normal file). "
     "Nothing is read and no binary file is written.",
     "Check the file's name and folder.", "", ""},
    {102, "line",
     "the line description has no \"[generale]\" section",
     "The line description has no \"[generale]\" header (in any case) "
     "before its last line, so it has no rows at all. No binary file is "
     "written.",
     "Start the line's rows with a \"[generale]\" line.",
     "[general]\n"
     "lunghezza percorso,    6000",
     "[generale]\n"
     "lunghezza percorso,    6000"},
    {103, "line",
     "a curve keyword has no class digit 1 to 6, or the plan passes "
     "metre 1000000",
     "A curve keyword holds none of the class digits 1 to 6, or the line's "
     "plan passes metre 1000000. The reading of the line stops there, and "
     "the train is not read.",
     "Write the curve's class, 1 (widest) to 6 (sharpest), after \"curvas\" "
     "or \"curvad\".",
     "curvas7,  1350,  150",
     "curvas1,  1350,  150"},
    {1250, "",
     "cell 1's first word or slot 85's int1 is taken before "
     "stamping (an item at the very start of the line)",
     "An item takes cell 1, the line's first cell: a board, signal or "
     "slowdown start within 25 m of metre 0, or a code change from 26 to "
     "74 m. Its first value stands where the cell file's header mark goes, "
     "so the compile ends and no binary file is written.",
     "Move the item to 75 m or further (a code change to 75 m or further, "
     "anything else to 50 m or further).",
     "indicatori_vmax,     0,  90,  95,  100,  0,  ,  ,  ,  0",
     "indicatori_vmax,   100,  90,  95,  100,  0,  ,  ,  ,  0"},
    {1251, "",
     "cell 1's second word or slot 85's long4 is taken before "
     "stamping",
     "An item takes cell 1, the line's first cell, and its second value is "
     "set: it stands where the cell file's race code goes, so the compile "
     "ends and no binary file is written.",
     "Move the item to 75 m or further (see code 1250).",
     "indicatori_vmax,     0,   0,  95,  100,  0,  ,  ,  ,  0",
     "indicatori_vmax,   100,  90,  95,  100,  0,  ,  ,  ,  0"},
};
// clang-format on

}  // namespace scenario

#endif  // SCENARIO_MODEL_CODE_TABLE_H_
