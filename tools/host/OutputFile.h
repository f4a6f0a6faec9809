// A file the tool writes as a result (audio, a report, a picture): every write and the close
// are checked, with the reason in one line, and a file that was not written whole is removed,
// so that no partial file passes for a result.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class OutputFile {
public:
    // `what` names the file in messages: "output file", "report file", ...
    OutputFile(std::string path, std::string what);
    ~OutputFile();  // removes a file that was opened but not finished

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates or empties the file. False with the reason in error.
    bool open(std::string& error);
    bool write(const void* data, std::size_t size, std::string& error);
    // Flushes and closes; false (and the file removed) when anything was not written.
    bool finish(std::string& error);
    // Closes and removes the file.
    void discard();

    const std::string& path() const { return name; }

private:
    std::string failure(const char* verb, int reason) const;

    std::string name, what;
    std::FILE* file = nullptr;
};
