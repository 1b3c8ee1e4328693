#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace
{
// Length of the valid UTF-8 sequence starting at s[i], or 0 when invalid.
size_t Utf8SequenceLength(const std::string& s, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = byte(i);
    size_t n;
    uint32_t cp;
    if (c < 0x80)
    {
        return 1;
    }
    if ((c & 0xE0) == 0xC0)
    {
        n = 2;
        cp = c & 0x1F;
    }
    else if ((c & 0xF0) == 0xE0)
    {
        n = 3;
        cp = c & 0x0F;
    }
    else if ((c & 0xF8) == 0xF0)
    {
        n = 4;
        cp = c & 0x07;
    }
    else
    {
        return 0;
    }
    if (i + n > s.size())
    {
        return 0;
    }
    for (size_t k = 1; k < n; ++k)
    {
        if ((byte(i + k) & 0xC0) != 0x80)
        {
            return 0;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    // Reject overlong forms, surrogates and values past U+10FFFF.
    static const uint32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    {
        return 0;
    }
    return n;
}
} // namespace

std::string JsonWriter::Quote(const std::string& value)
{
    std::string q = "\"";
    for (size_t i = 0; i < value.size();)
    {
        unsigned char c = static_cast<unsigned char>(value[i]);
        size_t n = Utf8SequenceLength(value, i);
        if (n == 0)
        {
            q += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (n > 1)
        {
            q.append(value, i, n);
            i += n;
            continue;
        }
        switch (c)
        {
        case '"':
            q += "\\\"";
            break;
        case '\\':
            q += "\\\\";
            break;
        case '\n':
            q += "\\n";
            break;
        case '\r':
            q += "\\r";
            break;
        case '\t':
            q += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F)
            {
                char esc[8];
                std::snprintf(esc, sizeof(esc), "\\u%04x", c);
                q += esc;
            }
            else
            {
                q += static_cast<char>(c);
            }
        }
        ++i;
    }
    q += '"';
    return q;
}

void JsonWriter::Indent()
{
    out += '\n';
    out.append(levels.size() * 2, ' ');
}

void JsonWriter::BeforeValue()
{
    if (afterKey)
    {
        afterKey = false;
        return;
    }
    if (!levels.empty())
    {
        if (!levels.back().empty)
        {
            out += ',';
        }
        levels.back().empty = false;
        Indent();
    }
}

void JsonWriter::Open(char bracket, bool isObject)
{
    BeforeValue();
    out += bracket;
    levels.push_back(Level{isObject, true});
}

void JsonWriter::Close(char bracket)
{
    if (levels.empty())
    {
        return;
    }
    bool wasEmpty = levels.back().empty;
    levels.pop_back();
    if (!wasEmpty)
    {
        Indent();
    }
    out += bracket;
    if (levels.empty())
    {
        out += '\n';
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    Open('{', true);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    Close('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    Open('[', false);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    Close(']');
    return *this;
}

JsonWriter& JsonWriter::Key(const std::string& name)
{
    BeforeValue();
    out += Quote(name);
    out += ": ";
    afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& value)
{
    BeforeValue();
    out += Quote(value);
    return *this;
}

JsonWriter& JsonWriter::Int(int64_t value)
{
    BeforeValue();
    out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Number(double value)
{
    BeforeValue();
    if (!std::isfinite(value))
    {
        out += "null";
        return *this;
    }
    char text[40];
    // 17 significant digits give back the same double.
    std::snprintf(text, sizeof(text), "%.17g", value);
    out += text;
    return *this;
}

JsonWriter& JsonWriter::Float(float value)
{
    BeforeValue();
    if (!std::isfinite(value))
    {
        out += "null";
        return *this;
    }
    char text[40];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    out += text;
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    out += "null";
    return *this;
}
