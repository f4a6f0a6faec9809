#include "OutputFile.h"

#include <cerrno>
#include <cstring>
#include <utility>

OutputFile::OutputFile(std::string path, std::string what) : name(std::move(path)), what(std::move(what)) {}

OutputFile::~OutputFile() { discard(); }

std::string OutputFile::failure(const char* verb, int reason) const
{
    return std::string("cannot ") + verb + " the " + what + ": " + name + " (" + std::strerror(reason) + ")";
}

bool OutputFile::open(std::string& error)
{
    discard();
    file = std::fopen(name.c_str(), "wb");
    if (!file)
        error = failure("create", errno);
    return file != nullptr;
}

bool OutputFile::write(const void* data, std::size_t size, std::string& error)
{
    if (file && std::fwrite(data, 1, size, file) == size)
        return true;
    error = failure("write", errno);
    discard();
    return false;
}

bool OutputFile::finish(std::string& error)
{
    if (!file) {
        error = failure("write", EBADF);
        return false;
    }
    // fclose can answer success although its own flush failed (a full disk): flush first.
    errno = 0;
    bool written = std::fflush(file) == 0 && !std::ferror(file);
    int reason = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        reason = errno;
    }
    file = nullptr;
    if (!written) {
        error = failure("write", reason ? reason : EIO);
        std::remove(name.c_str());
    }
    return written;
}

void OutputFile::discard()
{
    if (!file)
        return;
    std::fclose(file);
    file = nullptr;
    std::remove(name.c_str());
}
