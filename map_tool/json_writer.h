#pragma once
// Writes one JSON value as text, for scripts that read the tool's reports. Keys and strings are
// bytes: valid UTF-8 passes as it is, and a byte that is not part of it is written as the Latin-1
// character of that value, so that any name the map holds makes valid JSON.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
  public:
    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view text);
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Number(float value);  // as ShortestText writes it
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return text_; }

  private:
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    void BeforeValue();

    std::string text_;
    std::vector<bool> empty_;  // one for each open object or array: nothing in it yet
    bool afterKey_ = false;
};

// The text as a quoted JSON string.
std::string JsonString(std::string_view text);

// The shortest text that reads back as the same float, for JSON and for people alike.
std::string ShortestText(float value);
