// Where the snapshot tool writes a picture: never following or replacing what it should not.
#pragma once

#include <string>

struct OutputFile {
    int fd = -1;
    std::string target;    // the file finally written, symlinks followed; empty for "-"
    std::string temporary; // renamed over target by commit_output; empty when written in place
};

// Opens NAME for writing as output_file.cpp describes. On failure sets *error to the system's
// reason.
bool open_output(const std::string &name, OutputFile *out, std::string *error);
// Closes the file and puts it in place; on failure removes the temporary file and sets *error.
bool commit_output(OutputFile *out, std::string *error);
// Closes the file and removes the temporary file.
void abandon_output(OutputFile *out);
