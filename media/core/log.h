// "Log.txt": recreated at every start in the directory current at InitMedia.
// Each line starts with the milliseconds since the log was opened ("%d:") and
// one tab per nesting level; "\n" is written as "\r\n". Text is UTF-8.
#pragma once

#include <string>

namespace media::log {

// Where the next Open puts "Log.txt": a folder (made when missing), or the
// current directory when empty.
void SetFolder(const std::string& folder);

// Deletes and recreates "Log.txt" in its folder; later lines go there even
// when the current directory changes.
void Open();
void Close();
bool IsOpen();
std::string Path();

// Appends text; a line is only led by its time and tabs once it starts.
// Before Open and after Close the text goes nowhere.
void Write(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes a line to the log and to standard error, for failures the user must
// see even when nobody reads the log. After Close it still goes to the end of
// the log that was closed: failures while shutting down belong to this run.
void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// While one lives, text written on its thread is dropped and counted: for
// work done ahead that is repeated, with its log lines, if it is wanted.
class Mute {
public:
    Mute();
    ~Mute();
    Mute(const Mute&) = delete;
    Mute& operator=(const Mute&) = delete;
    int Dropped() const;   // writes dropped on this thread since it began

private:
    int droppedBefore_;
};

// Counts the text written on its thread while it lives (dropped by a Mute
// or not): work whose result is kept for later must have written nothing.
class Watch {
public:
    Watch();
    int Written() const;

private:
    int writtenBefore_;
};

// The nesting level rises while a multi-step stage runs.
void NestIn();
void NestOut();

// Raises the nesting level for the life of a scope.
class Nest {
public:
    Nest() { NestIn(); }
    ~Nest() { NestOut(); }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;
};

}  // namespace media::log
