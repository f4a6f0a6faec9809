#include "JsonWriter.h"

#include <cmath>

#include "Platform.h"

void JsonWriter::startValue(const char* key)
{
    if (!empty.empty()) {
        std::fputs(empty.back() ? "\n" : ",\n", out);
        empty.back() = false;
        std::fprintf(out, "%*s", int(2 * empty.size()), "");
    }
    if (key)
        std::fprintf(out, "%s: ", quoted(key).c_str());
}

void JsonWriter::beginObject(const char* key)
{
    startValue(key);
    std::fputc('{', out);
    empty.push_back(true);
}

void JsonWriter::endObject() { close('}'); }

void JsonWriter::beginArray(const char* key)
{
    startValue(key);
    std::fputc('[', out);
    empty.push_back(true);
}

void JsonWriter::endArray() { close(']'); }

void JsonWriter::close(char bracket)
{
    const bool wasEmpty = empty.back();
    empty.pop_back();
    if (!wasEmpty)
        std::fprintf(out, "\n%*s", int(2 * empty.size()), "");
    std::fputc(bracket, out);
    if (empty.empty())
        std::fputc('\n', out);
}

void JsonWriter::text(const char* key, const std::string& value)
{
    startValue(key);
    std::fputs(quoted(value).c_str(), out);
}

void JsonWriter::integer(const char* key, long long value)
{
    startValue(key);
    std::fprintf(out, "%lld", value);
}

void JsonWriter::number(const char* key, double value)
{
    startValue(key);
    if (std::isfinite(value))
        std::fprintf(out, "%.9g", value);
    else
        std::fputs("null", out);
}

void JsonWriter::boolean(const char* key, bool value)
{
    startValue(key);
    std::fputs(value ? "true" : "false", out);
}

std::string JsonWriter::quoted(const std::string& ansiText)
{
    std::string result = "\"";
    for (char c : Platform::toUtf8(ansiText)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            result += escape;
        } else {
            result += c;
        }
    }
    return result + "\"";
}
