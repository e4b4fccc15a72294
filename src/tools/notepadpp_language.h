#ifndef SCENARIO_TOOLS_NOTEPADPP_LANGUAGE_H_
#define SCENARIO_TOOLS_NOTEPADPP_LANGUAGE_H_

// Notepad++'s user-defined language (its format 2.1, imported from
// Language > User Defined Language > Define your language > Import) for
// both description files, made from the readers' keyword table
// (line/description_layout.h):
//   Keywords1  the line's general rows (lunghezza percorso, ...)
//   Keywords2  the line's other rows (pendenza, curvas1, ...)
//   Keywords3  the train's rows (stazione, segnale, ...)
// Keywords with blanks are written in double quotes, as the format asks.
// Section headers are the first delimiter ("[" to "]"); dash lines, which
// the readers pass over, are line comments ("-" at a line's start, after
// blanks). Notepad++ ignores case in the whole language, so the line's
// exact-case rows are coloured in any case.

#include <string>

namespace scenario {

// The language's name in Notepad++'s Language menu.
inline constexpr char kNotepadPlusPlusLanguageName[] = "Scenario description";

// The XML file, UTF-8 (its text is ASCII), ending with a line end.
std::string NotepadPlusPlusLanguage();

}  // namespace scenario

#endif  // SCENARIO_TOOLS_NOTEPADPP_LANGUAGE_H_
