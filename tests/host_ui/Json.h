// A strict reader of one JSON text, for checking the trace: every line must
// be a complete, well-formed value in valid UTF-8.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum Type { Null, Boolean, Number, String, Array, Object } type = Null;
    bool boolean = false;
    double number = 0;
    std::string text; // String: UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // A member of an object; null when there is none.
    const JsonValue *Find(const std::string &key) const;
    // Conveniences for tests: the member's text or number, "" or -1 when absent.
    std::string Text(const std::string &key) const;
    long long Integer(const std::string &key) const;
};

// False, with a reason in `error`, unless `text` is exactly one JSON value.
bool ParseJson(const std::string &text, JsonValue *value, std::string *error);
