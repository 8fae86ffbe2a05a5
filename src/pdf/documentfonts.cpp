#include "documentfonts.h"

#include "fontobjects.h"
#include "pdftext.h"
#include "windows1252.h"

#include <hb.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace quorvale {

namespace {

constexpr char32_t LastCharacter = 0x10FFFF;

// The names of the right-to-left scripts a reader is likely to meet; others go by their code.
constexpr std::array<std::pair<hb_script_t, std::string_view>, 6> ScriptNames = {{
    {HB_SCRIPT_ARABIC, "Arabic"},
    {HB_SCRIPT_HEBREW, "Hebrew"},
    {HB_SCRIPT_SYRIAC, "Syriac"},
    {HB_SCRIPT_THAANA, "Thaana"},
    {HB_SCRIPT_NKO, "N'Ko"},
    {HB_SCRIPT_ADLAM, "Adlam"},
}};

std::string rightToLeftScript(char32_t character)
{
    const hb_script_t script = hb_unicode_script(hb_unicode_funcs_get_default(), character);
    if (hb_script_get_horizontal_direction(script) != HB_DIRECTION_RTL)
        return {};
    for (const auto& [known, name] : ScriptNames) {
        if (known == script)
            return std::string(name);
    }
    std::array<char, 5> code{};
    hb_tag_to_string(hb_script_to_iso15924_tag(script), code.data());
    return code.data();
}

// A glyph number as the two bytes of an Identity-H code inside a PDF string.
void appendGlyphCode(std::string& out, std::uint32_t glyph)
{
    const auto plain = [](char byte) { return byte != '\\' && byte != '(' && byte != ')' && byte != '\r'; };
    const auto high = static_cast<char>(glyph >> 8);
    const auto low = static_cast<char>(glyph & 0xFF);
    if (plain(high) && plain(low)) {
        const std::array<char, 2> code = {high, low};
        out.append(code.data(), code.size());
        return;
    }
    for (const char byte : {high, low}) {
        if (byte == '\r') {
            out += "\\r"; // a bare CR in a string would be read as LF
            continue;
        }
        if (!plain(byte))
            out += '\\';
        out += byte;
    }
}

} // namespace

DocumentFonts::DocumentFonts(std::string_view fontname) : m_lookup(fontname) {}

DocumentFonts::~DocumentFonts() = default;

std::int32_t DocumentFonts::open(const std::string& path)
{
    try {
        auto face = std::make_unique<FontFace>(path);
        face->subset({0}); // a font HarfBuzz cannot subset is found out before any page shows it
        m_faces.push_back(std::move(face));
        return static_cast<std::int32_t>(m_faces.size() - 1);
    } catch (const std::runtime_error& failure) {
        m_refused.insert(path);
        m_problems.push_back(failure.what());
        return NoFace;
    }
}

DocumentFonts::Found DocumentFonts::lookUp(char32_t character)
{
    if (!m_familyTried) {
        m_familyTried = true;
        if (const std::string family = m_lookup.familyFile(); !family.empty())
            m_familyFace = open(family);
        for (std::size_t byte = 0x20; byte < m_familyGlyphs.size() && m_familyFace >= 0; ++byte)
            m_familyGlyphs[byte] = static_cast<std::uint16_t>(m_faces[static_cast<std::size_t>(m_familyFace)]->glyph(
                windows1252CodePoint(static_cast<unsigned char>(byte))));
    }
    // The metric-compatible face first, then the faces already open, then any installed font.
    std::vector<std::int32_t> order;
    if (m_familyFace >= 0)
        order.push_back(m_familyFace);
    for (std::int32_t face = 0; face < static_cast<std::int32_t>(m_faces.size()); ++face) {
        if (face != m_familyFace)
            order.push_back(face);
    }
    for (const std::int32_t face : order) {
        if (const std::uint32_t glyph = m_faces[static_cast<std::size_t>(face)]->glyph(character))
            return {face, glyph};
    }
    while (true) {
        const std::string path = m_lookup.fileHaving(character, m_refused);
        if (path.empty())
            return {NoFace, 0};
        const std::int32_t face = open(path);
        if (face < 0)
            continue;
        if (const std::uint32_t glyph = m_faces[static_cast<std::size_t>(face)]->glyph(character))
            return {face, glyph};
        m_refused.insert(path); // its character set promised more than its character map holds
    }
}

DocumentFonts::Found& DocumentFonts::find(char32_t character)
{
    if (character > LastCharacter)
        return m_beyondUnicode;
    Found* found = nullptr;
    if (character <= 0xFFFF) {
        if (m_basic.empty())
            m_basic.resize(0x10000);
        found = &m_basic[character];
    } else {
        found = &m_others[character];
    }
    if (found->face == NotLookedUp) {
        const Found looked = lookUp(character);
        found->face = looked.face;
        found->glyph = looked.glyph;
        if (std::string script = rightToLeftScript(character); !script.empty())
            m_rightToLeft.insert(std::move(script));
    }
    return *found;
}

bool DocumentFonts::shows(char32_t character)
{
    return find(character).face >= 0;
}

std::uint16_t DocumentFonts::embeddedPlace(std::size_t face)
{
    for (std::size_t place = 0; place < m_embedded.size(); ++place) {
        if (m_embedded[place].face == face)
            return static_cast<std::uint16_t>(place + 1);
    }
    if (m_fixed)
        return 0;
    m_embedded.push_back({face, std::vector<char32_t>(m_faces[face]->glyphCount())});
    return static_cast<std::uint16_t>(m_embedded.size());
}

void DocumentFonts::keep(std::uint16_t font, std::uint32_t glyph, char32_t character)
{
    std::vector<char32_t>& characters = m_embedded[font - 1U].characters;
    if (glyph < characters.size() && characters[glyph] == 0)
        characters[glyph] = character;
}

std::optional<ShownGlyph> DocumentFonts::use(char32_t character)
{
    Found& found = find(character);
    if (found.face < 0)
        return std::nullopt;
    if (found.shown.font == 0) {
        const auto face = static_cast<std::size_t>(found.face);
        const std::uint16_t font = embeddedPlace(face);
        if (font == 0)
            return std::nullopt;
        keep(font, found.glyph, character);
        found.shown = {font, static_cast<std::uint16_t>(found.glyph), m_faces[face]->width(found.glyph)};
    }
    return found.shown;
}

void DocumentFonts::see(char32_t character)
{
    if (m_seenSet.empty())
        m_seenSet.resize(LastCharacter + 1);
    if (character <= LastCharacter && !m_seenSet[character]) {
        m_seenSet[character] = true;
        m_seen.push_back(character);
    }
}

void DocumentFonts::checked(bool utf8)
{
    if (utf8) {
        for (const char32_t character : m_seen)
            use(character);
    }
    m_seen = {};
    m_seenSet = {};
}

bool DocumentFonts::show(char32_t character)
{
    if (character <= 0xFFFF && !m_basic.empty() && m_basic[character].shown.font != 0) { // the usual case
        m_pending.push_back(m_basic[character].shown);
        return true;
    }
    const std::optional<ShownGlyph> glyph = use(character);
    if (glyph)
        m_pending.push_back(*glyph);
    return glyph.has_value();
}

void DocumentFonts::dropPending(std::string_view text)
{
    if (!m_pending.empty())
        m_pending.erase(m_pending.begin(), m_pending.begin() + std::count(text.begin(), text.end(), WideMarker));
}

std::int64_t DocumentFonts::pendingWidth() const
{
    std::int64_t width = 0;
    for (const ShownGlyph& glyph : m_pending)
        width += glyph.width;
    return width;
}

void DocumentFonts::writeRow(PdfDocument& document, std::string_view escaped, std::string_view fontSize,
                             std::string_view placing)
{
    // The metric-compatible face shows the standard font's characters too, so that a word holding
    // a character outside Windows-1252 is one run, not a run a letter.
    const std::uint16_t family = m_familyFace >= 0 ? embeddedPlace(static_cast<std::size_t>(m_familyFace)) : 0;
    std::string line(placing);
    std::uint16_t selected = 0;
    std::uint16_t runFont = 0;
    std::string run;
    const auto endRun = [&] {
        if (run.empty())
            return;
        if (runFont != selected) {
            line.append(" /F").append(formatInteger(runFont + 1)).append(" ").append(fontSize).append(" Tf");
            selected = runFont;
        }
        line.append(" (").append(run).append(") Tj");
        run.clear();
    };
    const auto runIn = [&](std::uint16_t font) {
        if (font != runFont) {
            endRun();
            runFont = font;
        }
    };
    for (std::size_t i = 0; i < escaped.size();) {
        if (escaped[i] == WideMarker) {
            const ShownGlyph glyph = m_pending.front();
            m_pending.pop_front();
            runIn(glyph.font);
            appendGlyphCode(run, glyph.glyph);
            ++i;
            continue;
        }
        if (family == 0 || runFont != family) { // the standard font's run goes on to the next marker
            const std::size_t next = std::min(escaped.find(WideMarker, i), escaped.size());
            runIn(0);
            run.append(escaped.substr(i, next - i));
            i = next;
            continue;
        }
        const std::size_t length = escaped[i] == '\\' ? 2 : 1; // an escape pair shows its second character
        const auto byte = static_cast<unsigned char>(escaped[i + length - 1]);
        if (const std::uint16_t glyph = m_familyGlyphs[byte]) {
            keep(family, glyph, windows1252CodePoint(byte));
            appendGlyphCode(run, glyph);
        } else {
            runIn(0);
            run.append(escaped.substr(i, length));
        }
        i += length;
    }
    endRun();
    if (selected != 0)
        line.append(" /F1 ").append(fontSize).append(" Tf");
    document.writeline(line);
}

void DocumentFonts::write(PdfDocument& document) const
{
    for (std::size_t place = 0; place < m_embedded.size(); ++place) {
        const Embedded& font = m_embedded[place];
        writeEmbeddedFont(document, document.embeddedFontObject(place), *m_faces[font.face], font.characters);
    }
}

} // namespace quorvale
