// A small streaming JSON writer with two-space indentation. Strings from a
// plug-in may be any bytes: they are written as valid UTF-8, with invalid
// sequences replaced by U+FFFD and control characters escaped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class JsonWriter
{
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();

    // Names the next value inside an object.
    JsonWriter& Key(const std::string& name);

    JsonWriter& String(const std::string& value);
    JsonWriter& Int(int64_t value);
    // Non-finite numbers have no JSON form and are written as null.
    JsonWriter& Number(double value);
    // A single-precision value with the 9 digits that give it back exactly.
    JsonWriter& Float(float value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // The document so far, ending with a newline once the outermost value is
    // complete.
    const std::string& Text() const { return out; }

    // `value` as a JSON string literal, quotes included.
    static std::string Quote(const std::string& value);

private:
    struct Level
    {
        bool isObject;
        bool empty;
    };

    void BeforeValue();
    void Open(char bracket, bool isObject);
    void Close(char bracket);
    void Indent();

    std::string out;
    std::vector<Level> levels;
    bool afterKey = false;
};
