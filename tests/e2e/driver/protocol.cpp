#include "protocol.h"

#include <windows.h>

#include <cstdio>

namespace e2e {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void append_utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

unsigned read_hex(const std::string& s, size_t& i, int digits) {
    unsigned v = 0;
    for (int k = 0; k < digits; ++k) {
        int d = i < s.size() ? hex_digit(s[i]) : -1;
        if (d < 0)
            throw CommandError("bad escape in quoted text");
        v = v * 16 + static_cast<unsigned>(d);
        ++i;
    }
    return v;
}

std::wstring widen(const std::string& s, UINT cp) {
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w, UINT cp) {
    if (w.empty())
        return {};
    int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

} // namespace

std::vector<std::string> tokenize(const std::string& line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size())
            break;
        std::string tok;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            if (line[i] != '"') {
                tok += line[i++];
                continue;
            }
            ++i;
            while (true) {
                if (i >= line.size())
                    throw CommandError("unterminated quoted text");
                char c = line[i++];
                if (c == '"')
                    break;
                if (c != '\\') {
                    tok += c;
                    continue;
                }
                if (i >= line.size())
                    throw CommandError("unterminated quoted text");
                char e = line[i++];
                switch (e) {
                case 'n':
                    tok += '\n';
                    break;
                case 'r':
                    tok += '\r';
                    break;
                case 't':
                    tok += '\t';
                    break;
                case 'x':
                    append_utf8(tok, read_hex(line, i, 2));
                    break;
                case 'u':
                    append_utf8(tok, read_hex(line, i, 4));
                    break;
                default:
                    tok += e;
                    break;
                }
            }
        }
        tokens.push_back(std::move(tok));
    }
    return tokens;
}

std::string utf8_to_ansi(const std::string& utf8) {
    return narrow(widen(utf8, CP_UTF8), CP_ACP);
}
std::string ansi_to_utf8(const std::string& ansi) {
    return narrow(widen(ansi, CP_ACP), CP_UTF8);
}

long long parse_number(const std::string& token) {
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '-' || token[i] == '+'))
        negative = token[i++] == '-';
    int base = 10;
    if (token.size() - i > 2 && token[i] == '0' && (token[i + 1] == 'x' || token[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= token.size())
        throw CommandError("not a number: " + token);
    unsigned long long v = 0;
    for (; i < token.size(); ++i) {
        int d = hex_digit(token[i]);
        if (d < 0 || d >= base)
            throw CommandError("not a number: " + token);
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    return negative ? -static_cast<long long>(v) : static_cast<long long>(v);
}

std::string json_text(const std::string& ansi) {
    return json_wtext(widen(ansi, CP_ACP));
}

std::string json_wtext(const std::wstring& w) {
    std::string out = "\"";
    for (wchar_t c : w) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out + "\"";
}

std::string json_number(long long v) {
    return std::to_string(v);
}
std::string json_bool(bool v) {
    return v ? "true" : "false";
}

std::string json_array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ',';
        out += items[i];
    }
    return out + "]";
}

std::string json_object(std::initializer_list<std::pair<const char*, std::string>> fields) {
    std::string out = "{";
    bool first = true;
    for (const auto& [name, value] : fields) {
        if (!first)
            out += ',';
        first = false;
        out += '"';
        out += name;
        out += "\":";
        out += value;
    }
    return out + "}";
}

} // namespace e2e
