// The console side of tlcmp, one body per platform: how the program's
// Shift-JIS texts reach standard output and standard error, how a name typed
// on the command line becomes Shift-JIS for those texts, and what the
// progress display needs (a terminal test and a clock).
#ifndef TARNLIGHT_TLCMP_CONSOLE_H
#define TARNLIGHT_TLCMP_CONSOLE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Before any output. rawShiftJis: write the texts as they are (--sjis);
// otherwise convert them for the terminal where the platform needs it.
void StartConsole(bool rawShiftJis);

// Writes Shift-JIS text to stream, converted as StartConsole chose; false
// when the stream refused it.
bool WriteText(FILE *stream, const char *text, size_t length);

// Writes bytes to stream as they are, and flushes them; false when the
// stream refused them, errno then EPIPE for a pipe whose reader has gone.
bool WriteBytes(FILE *stream, const char *bytes, size_t length);

// Writes a name as the user typed it: its own bytes where names are bytes
// (POSIX), as cmp writes them whatever the locale; on Windows as the
// program's texts, which the typed names already are.
bool WriteTypedName(FILE *stream, const char *typed);

// A name as the user typed it, as Shift-JIS for the texts that show it; a
// character Shift-JIS lacks becomes '?'. Always zero-ended within size.
void TextNameOf(const char *typed, char *name, size_t size);

bool IsTerminal(FILE *stream);

// For -l's column width, as cmp reckons it: the size the system states of the
// regular file name opens, whatever it holds (a file of /proc says 0), and
// the offset reading starts from. False for anything else, and on Windows,
// where the size the comparison takes is already the one stated.
bool StatedSizeOf(const char *name, int64_t *size, int64_t *start);

// Before a long output into a pipe: a larger pipe where the system allows
// it, so that writer and reader take turns less often.
void WidenPipe(FILE *stream);
int64_t MillisecondsNow();

#endif
