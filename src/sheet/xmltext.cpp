#include "xmltext.h"

#include "utf8.h"

namespace quorvale {

namespace {

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
        const Utf8Sequence sequence = readUtf8(utf8.data(), utf8.size());
        if (sequence.kind == Utf8Sequence::Whole && xmlCharacter(sequence.codePoint))
            text.append(utf8.substr(0, sequence.length));
        else
            text += '?';
        utf8.remove_prefix(sequence.length);
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
