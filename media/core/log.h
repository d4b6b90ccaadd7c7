// "Log.txt": recreated at every start in the directory current at InitMedia.
// Each line starts with the milliseconds since the log was opened and one tab
// per nesting level; "\n" is written as "\r\n".
#pragma once

namespace media::log {

void Open();
void Close();
void Write(const char* format, ...) __attribute__((format(printf, 1, 2)));
void NestIn();
void NestOut();

}  // namespace media::log
