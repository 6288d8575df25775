#include "Json.h"

#include <stdlib.h>

namespace
{

struct Parser {
    const std::string &text;
    size_t at;
    std::string error;

    bool Fail(const char *why)
    {
        if (error.empty())
            error = std::string(why) + " at " + std::to_string(at);
        return false;
    }

    void Blanks()
    {
        while (at < text.size() &&
               (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
            at++;
    }

    bool Literal(const char *word)
    {
        size_t length = std::char_traits<char>::length(word);
        if (text.compare(at, length, word) != 0)
            return Fail("unknown literal");
        at += length;
        return true;
    }

    static void Encode(unsigned long c, std::string *out)
    {
        if (c < 0x80) {
            *out += static_cast<char>(c);
        } else if (c < 0x800) {
            *out += static_cast<char>(0xC0 | (c >> 6));
            *out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out += static_cast<char>(0xE0 | (c >> 12));
            *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out += static_cast<char>(0xF0 | (c >> 18));
            *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    bool Hex4(unsigned long *value)
    {
        if (at + 4 > text.size())
            return Fail("short \\u escape");
        *value = 0;
        for (int i = 0; i < 4; i++) {
            char c = text[at++];
            int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
            if (digit < 0)
                return Fail("bad hex digit");
            *value = *value * 16 + static_cast<unsigned long>(digit);
        }
        return true;
    }

    // One UTF-8 character, checked for shortest form.
    bool Utf8(std::string *out)
    {
        unsigned char lead = static_cast<unsigned char>(text[at]);
        size_t length = lead < 0x80                    ? 1
                        : lead >= 0xC2 && lead <= 0xDF ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        if (length == 0 || at + length > text.size())
            return Fail("bad UTF-8");
        unsigned long c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t i = 1; i < length; i++) {
            unsigned char next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return Fail("bad UTF-8");
            c = c << 6 | (next & 0x3F);
        }
        static const unsigned long Smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < Smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return Fail("bad UTF-8");
        out->append(text, at, length);
        at += length;
        return true;
    }

    bool String(std::string *out)
    {
        at++; // the opening quote
        for (;;) {
            if (at >= text.size())
                return Fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(text[at]);
            if (c == '"') {
                at++;
                return true;
            }
            if (c < 0x20)
                return Fail("raw control character in string");
            if (c != '\\') {
                if (!Utf8(out))
                    return false;
                continue;
            }
            if (++at >= text.size())
                return Fail("unterminated escape");
            char escape = text[at++];
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                *out += escape;
                break;
            case 'b':
                *out += '\b';
                break;
            case 'f':
                *out += '\f';
                break;
            case 'n':
                *out += '\n';
                break;
            case 'r':
                *out += '\r';
                break;
            case 't':
                *out += '\t';
                break;
            case 'u': {
                unsigned long unit = 0;
                if (!Hex4(&unit))
                    return false;
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    unsigned long low = 0;
                    if (text.compare(at, 2, "\\u") != 0)
                        return Fail("unpaired surrogate");
                    at += 2;
                    if (!Hex4(&low) || low < 0xDC00 || low > 0xDFFF)
                        return Fail("unpaired surrogate");
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    return Fail("unpaired surrogate");
                }
                Encode(unit, out);
                break;
            }
            default:
                return Fail("unknown escape");
            }
        }
    }

    bool Number(double *out)
    {
        size_t start = at;
        if (text[at] == '-')
            at++;
        if (at >= text.size() || !isdigit(static_cast<unsigned char>(text[at])))
            return Fail("bad number");
        if (text[at] == '0')
            at++;
        else
            while (at < text.size() && isdigit(static_cast<unsigned char>(text[at])))
                at++;
        if (at < text.size() && text[at] == '.') {
            at++;
            if (at >= text.size() || !isdigit(static_cast<unsigned char>(text[at])))
                return Fail("bad fraction");
            while (at < text.size() && isdigit(static_cast<unsigned char>(text[at])))
                at++;
        }
        if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
            at++;
            if (at < text.size() && (text[at] == '+' || text[at] == '-'))
                at++;
            if (at >= text.size() || !isdigit(static_cast<unsigned char>(text[at])))
                return Fail("bad exponent");
            while (at < text.size() && isdigit(static_cast<unsigned char>(text[at])))
                at++;
        }
        *out = strtod(text.substr(start, at - start).c_str(), nullptr);
        return true;
    }

    bool Value(JsonValue *value, int depth)
    {
        if (depth > 64)
            return Fail("nested too deeply");
        Blanks();
        if (at >= text.size())
            return Fail("missing value");
        switch (text[at]) {
        case '{':
            value->type = JsonValue::Object;
            at++;
            Blanks();
            if (at < text.size() && text[at] == '}') {
                at++;
                return true;
            }
            for (;;) {
                Blanks();
                if (at >= text.size() || text[at] != '"')
                    return Fail("expected a key");
                std::string key;
                if (!String(&key))
                    return false;
                Blanks();
                if (at >= text.size() || text[at] != ':')
                    return Fail("expected ':'");
                at++;
                JsonValue member;
                if (!Value(&member, depth + 1))
                    return false;
                value->members.emplace_back(key, member);
                Blanks();
                if (at < text.size() && text[at] == ',') {
                    at++;
                    continue;
                }
                if (at < text.size() && text[at] == '}') {
                    at++;
                    return true;
                }
                return Fail("expected ',' or '}'");
            }
        case '[':
            value->type = JsonValue::Array;
            at++;
            Blanks();
            if (at < text.size() && text[at] == ']') {
                at++;
                return true;
            }
            for (;;) {
                JsonValue item;
                if (!Value(&item, depth + 1))
                    return false;
                value->items.push_back(item);
                Blanks();
                if (at < text.size() && text[at] == ',') {
                    at++;
                    continue;
                }
                if (at < text.size() && text[at] == ']') {
                    at++;
                    return true;
                }
                return Fail("expected ',' or ']'");
            }
        case '"':
            value->type = JsonValue::String;
            return String(&value->text);
        case 't':
            value->type = JsonValue::Boolean;
            value->boolean = true;
            return Literal("true");
        case 'f':
            value->type = JsonValue::Boolean;
            return Literal("false");
        case 'n':
            return Literal("null");
        default:
            value->type = JsonValue::Number;
            return Number(&value->number);
        }
    }
};

} // namespace

const JsonValue *JsonValue::Find(const std::string &key) const
{
    for (const auto &member : members)
        if (member.first == key)
            return &member.second;
    return nullptr;
}

std::string JsonValue::Text(const std::string &key) const
{
    const JsonValue *member = Find(key);
    return member != nullptr && member->type == String ? member->text : "";
}

long long JsonValue::Integer(const std::string &key) const
{
    const JsonValue *member = Find(key);
    return member != nullptr && member->type == Number ? static_cast<long long>(member->number)
                                                       : -1;
}

bool ParseJson(const std::string &text, JsonValue *value, std::string *error)
{
    Parser parser{text, 0, ""};
    *value = JsonValue();
    bool parsed = parser.Value(value, 0);
    if (parsed) {
        parser.Blanks();
        if (parser.at != text.size())
            parsed = parser.Fail("text after the value");
    }
    *error = parser.error;
    return parsed;
}
