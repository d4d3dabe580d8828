// The program's command line and COMMAND, the look-up of its switches, named values and words.
//
// The command line is set once at start-up. Its argument text (everything after the program's
// own name) is cut into words: words are separated by blanks and commas; outside double quotes a
// "/" that follows other characters of a word starts a new word ("a/b" is "a" and "/b"); double
// quotes group a word, and inside them two double quotes stand for one.
//
// Linux hands the program its arguments already split, so setCommandLine(argc, argv) first puts
// them back together into one argument text: an argument that holds a blank, a comma or a double
// quote (or is empty) is written in double quotes, its quotes doubled. The word rules then apply
// to that text, so both forms of setCommandLine answer alike. Arguments without those characters
// are taken as they stand; a "/" inside one still starts a new word, as it does in a typed line.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Sets the command line from main's arguments; argv[0] is the program's own name. The program's
// full path is taken from /proc/self/exe, or from argv[0] made absolute when that cannot be read.
void setCommandLine(int argc, char** argv);

// Sets the command line from its argument text (without the program's name), as typed. The
// program's full path is taken from /proc/self/exe.
void setCommandLine(std::string_view argumentText);

// Looks `name` up in the command line; every form answers an empty text when nothing matches.
// - "/switch": the first word whose first characters equal the switch, letter case ignored; the
//   answer is that word without its "/" ("/debugupk" finds "/DebugUpkAll", answering
//   "DebugUpkAll").
// - "name": the first word that begins with name + "=" (letter case ignored); answers the text
//   after the "=".
// - a number n (decimal digits): the n-th word, counting from 1; "0" answers the program's full
//   path as an absolute path.
// - "": the whole argument text.
// Safe to call from any thread.
std::string COMMAND(std::string_view name);

}  // namespace runtime
