// Writes one JSON document, indented, to a stream: objects, arrays, texts, numbers and truth
// values. Texts are taken in the ANSI code page and written as UTF-8, escaped.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class JsonWriter {
public:
    explicit JsonWriter(std::FILE* out) : out(out) {}

    // `key` names the member inside an object; null inside an array and at the top.
    void beginObject(const char* key = nullptr);
    void endObject();
    void beginArray(const char* key = nullptr);
    void endArray();
    void text(const char* key, const std::string& value);
    void integer(const char* key, long long value);
    // Non-finite numbers, which JSON cannot write, become null.
    void number(const char* key, double value);
    void boolean(const char* key, bool value);

    // The quoted, escaped JSON string of an ANSI text.
    static std::string quoted(const std::string& ansiText);

private:
    // Separates from the previous member, indents and writes the key.
    void startValue(const char* key);
    void close(char bracket);

    std::FILE* out;
    std::vector<bool> empty;  // one per open object or array: nothing written in it yet
};
