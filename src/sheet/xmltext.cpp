#include "xmltext.h"

namespace quorvale {

namespace {

// The length of the well-formed UTF-8 sequence at the start of text and its code point, or 0.
std::size_t decode(std::string_view text, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < minimum || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

bool xmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           c >= 0x10000;
}

} // namespace

std::string XmlText(std::string_view utf8)
{
    std::string text;
    text.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = decode(utf8, codePoint);
        if (length != 0 && xmlCharacter(codePoint))
            text.append(utf8.substr(0, length));
        else
            text += '?';
        // A byte that starts no well-formed sequence is one "?" of its own.
        utf8.remove_prefix(length != 0 ? length : 1);
    }
    return text;
}

} // namespace quorvale

namespace quorvale {

std::string CellText(std::string_view utf8)
{
    constexpr std::size_t MostCharacters = 32767;
    std::string text = XmlText(utf8);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // XmlText leaves only whole sequences: every byte but a continuation starts a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > MostCharacters) {
            text.resize(i);
            break;
        }
    }
    return text;
}

} // namespace quorvale
