// Where the tools write their files: never following or replacing what they should not. Shared
// by helicoid-snapshot and helicoid-gen-tables, so both keep the same rules.
#pragma once

#include <cstddef>
#include <string>

struct OutputFile {
    int fd = -1;
    bool standard_output = false; // "-": fd is not ours to close
    std::string target;           // the file finally written, symlinks followed
    std::string temporary;        // renamed over target by commit_output; empty when in place
};

// Puts /dev/null, read-only, on standard descriptors a parent left closed, so that no file of
// ours takes their numbers and writes to them still fail. Call first thing in main.
void keep_standard_streams_open();

// Opens NAME for writing as output_file.cpp describes. On failure sets *error to the system's
// reason. One output at a time per process.
bool open_output(const std::string &name, OutputFile *out, std::string *error);
// Writes all of DATA; returns 0, or the errno of the failed write.
int write_output(const OutputFile &out, const void *data, std::size_t size);
// Closes the file and puts it in place; on failure removes the temporary file and sets *error.
bool commit_output(OutputFile *out, std::string *error);
// Closes the file and removes the temporary file.
void abandon_output(OutputFile *out);

// The whole of TEXT to NAME through the functions above. On failure sets *error to one line:
// "cannot write NAME: reason".
bool write_output_file(const std::string &name, const std::string &text, std::string *error);
