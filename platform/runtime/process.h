// RUN and the spawner beneath it: starting another program from an argument vector, directly and
// never through a shell, so that no part of an argument is ever read as a command.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Splits a command line into an argument vector by the quoting rules of Windows programs.
// The first word is the program name: blanks end it and double quotes group it, nothing else is
// special. In the arguments that follow, blanks (spaces and tabs) separate words outside double
// quotes; 2n backslashes before a double quote give n backslashes and the quote opens or closes
// a quoted part, 2n+1 give n backslashes and a literal quote; inside a quoted part two double
// quotes give one; other backslashes are literal. Leading blanks are skipped; a line of blanks
// answers no words.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// Starts the program argv[0] with the arguments argv[1...] and returns at once, without waiting.
// A name without "/" is looked for in the folders of PATH; a name with "/" is used as it stands.
// The program gets the environment, but none of the open files above standard error, in a new
// session (so a terminal's Ctrl+C or hang-up does not reach it), with all signals at their
// defaults and none blocked. A background thread waits for the program to end so that it never
// stays behind as a zombie; no SIGCHLD handler is installed or needed. Answers 0 when the program
// has started, else the error number: 2 not found, 3 a folder on the way missing, 5 not
// executable or no permission, 8 no memory, 90 any other failure (such as a file that is no
// program). An empty vector or program name answers 2.
int spawnDetached(const std::vector<std::string>& argv);

// What starts a program for RUN and the shell launch: given the argument vector, answers 0 or an error number as
// spawnDetached does. Tests install one that records the vector instead.
using Spawner = std::function<int(const std::vector<std::string>& argv)>;

// Makes `spawner` the one RUN uses (an empty one restores spawnDetached); answers the previous
// one, so a test can put it back. Safe to call from any thread.
Spawner setSpawner(Spawner spawner);

// Starts `argv` through the installed spawner (spawnDetached unless a test replaced it) and
// answers its result. Every program this process starts goes through here.
int spawnProgram(const std::vector<std::string>& argv);

// Starts the program of `commandLine` without waiting: splits it with splitCommandLine, converts
// the program name with toOsPath (paths.h) and hands the vector to the spawner. The outcome shows
// only in the error state: 0 when the program started, else the spawner's error number (2 for a
// line with no program). Only the non-waiting form exists: `waitFlag` must be 0.
void RUN(std::string_view commandLine, int waitFlag = 0);

}  // namespace runtime
