#include "XmlElement.hpp"

#include "ConversionError.hpp"

#include <cctype>
#include <cstdint>

namespace {

class Parser {
public:
    explicit Parser(const std::string& document) : text(document) {}

    XmlElement parseDocument() {
        skipMisc();
        if (atEnd())
            fail("no root element");
        XmlElement root = parseElement();
        skipMisc();
        if (!atEnd())
            fail("unexpected content after the root element");
        return root;
    }

private:
    const std::string& text;
    std::size_t pos = 0;
    int line = 1;

    [[noreturn]] void fail(const std::string& message) const {
        throw ConversionError("line " + std::to_string(line) + ": " + message);
    }

    bool atEnd() const { return pos >= text.size(); }
    bool startsWith(const char* prefix) const {
        return text.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
    }

    void advance(std::size_t count = 1) {
        for (std::size_t i = 0; i < count && pos < text.size(); ++i, ++pos) {
            if (text[pos] == '\n')
                ++line;
        }
    }

    void skipSpace() {
        while (!atEnd() && std::isspace(static_cast<unsigned char>(text[pos])))
            advance();
    }

    void skipPast(const char* terminator, const char* what) {
        const std::size_t end = text.find(terminator, pos);
        if (end == std::string::npos)
            fail(std::string("unterminated ") + what);
        advance(end + std::char_traits<char>::length(terminator) - pos);
    }

    // Whitespace, comments and processing instructions (the <?xml ...?> declaration) between tags.
    void skipMisc() {
        for (;;) {
            skipSpace();
            if (startsWith("<?"))
                skipPast("?>", "processing instruction");
            else if (startsWith("<!--"))
                skipPast("-->", "comment");
            else if (startsWith("<!"))
                fail("document type declarations are not supported");
            else
                return;
        }
    }

    static bool isNameChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ||
               c == ':';
    }

    std::string parseName() {
        const std::size_t start = pos;
        while (!atEnd() && isNameChar(text[pos]))
            advance();
        if (start == pos)
            fail("expected a name");
        return text.substr(start, pos - start);
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    // Called with pos on '&'.
    void parseEntity(std::string& out) {
        const std::size_t end = text.find(';', pos);
        if (end == std::string::npos || end - pos > 10)
            fail("unterminated entity reference");
        const std::string name = text.substr(pos + 1, end - pos - 1);
        if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "amp")
            out += '&';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string digits = name.substr(hex ? 2 : 1);
            if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF"
                                                               : "0123456789") != std::string::npos)
                fail("bad character reference '&" + name + ";'");
            const unsigned long code = std::stoul(digits, nullptr, hex ? 16 : 10);
            if (code > 0x10FFFF)
                fail("bad character reference '&" + name + ";'");
            appendUtf8(out, static_cast<std::uint32_t>(code));
        } else {
            fail("unknown entity '&" + name + ";'");
        }
        advance(end + 1 - pos);
    }

    std::string parseAttributeValue() {
        if (atEnd() || (text[pos] != '"' && text[pos] != '\''))
            fail("expected a quoted attribute value");
        const char quote = text[pos];
        advance();
        std::string value;
        while (!atEnd() && text[pos] != quote) {
            if (text[pos] == '<')
                fail("'<' inside an attribute value");
            if (text[pos] == '&')
                parseEntity(value);
            else {
                value += text[pos];
                advance();
            }
        }
        if (atEnd())
            fail("unterminated attribute value");
        advance();
        return value;
    }

    // Called with pos on '<' of a start tag.
    XmlElement parseElement() {
        XmlElement element;
        element.line = line;
        advance();
        element.name = parseName();
        for (;;) {
            skipSpace();
            if (atEnd())
                fail("unterminated start tag <" + element.name + ">");
            if (startsWith("/>")) {
                advance(2);
                return element;
            }
            if (text[pos] == '>') {
                advance();
                break;
            }
            std::string key = parseName();
            skipSpace();
            if (atEnd() || text[pos] != '=')
                fail("attribute '" + key + "' has no value");
            advance();
            skipSpace();
            element.attributes.emplace_back(std::move(key), parseAttributeValue());
        }
        for (;;) {
            if (atEnd())
                fail("element <" + element.name + "> is never closed");
            if (startsWith("</")) {
                advance(2);
                const std::string closing = parseName();
                if (closing != element.name)
                    fail("</" + closing + "> closes <" + element.name + ">");
                skipSpace();
                if (atEnd() || text[pos] != '>')
                    fail("unterminated end tag </" + closing + ">");
                advance();
                return element;
            }
            if (startsWith("<!--"))
                skipPast("-->", "comment");
            else if (startsWith("<?"))
                skipPast("?>", "processing instruction");
            else if (startsWith("<!"))
                fail("CDATA and declarations are not supported");
            else if (text[pos] == '<')
                element.children.push_back(parseElement());
            else if (text[pos] == '&')
                parseEntity(element.text);
            else {
                element.text += text[pos];
                advance();
            }
        }
    }
};

} // namespace

XmlElement XmlElement::parse(const std::string& document) {
    return Parser(document).parseDocument();
}

bool XmlElement::hasAttribute(const std::string& key) const {
    for (const auto& [name, value] : attributes) {
        if (name == key)
            return true;
    }
    return false;
}

std::string XmlElement::attribute(const std::string& key, const std::string& fallback) const {
    for (const auto& [name, value] : attributes) {
        if (name == key)
            return value;
    }
    return fallback;
}

const XmlElement* XmlElement::child(const std::string& childName) const {
    for (const XmlElement& element : children) {
        if (element.name == childName)
            return &element;
    }
    return nullptr;
}
