// The fonts a document embeds for the characters its standard font cannot show: which font shows
// each character, the glyphs each font keeps, and the rows that mix them with the standard font.
#pragma once

#include "fontface.h"
#include "fontlookup.h"
#include "pdfdocument.h"
#include "utf8decoder.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvale {

// A character shown through an embedded font.
struct ShownGlyph {
    std::uint16_t font = 0; // the embedded font's place, from 1; its resource is /F(font + 1)
    std::uint16_t glyph = 0;
    std::int32_t width = 0; // thousandths of the font size
};

class DocumentFonts final : public WideCharacters {
public:
    // fontname: the document's standard font, whose metric-compatible free face is tried first.
    explicit DocumentFonts(std::string_view fontname);
    ~DocumentFonts() override;
    DocumentFonts(const DocumentFonts&) = delete;
    DocumentFonts& operator=(const DocumentFonts&) = delete;

    // Whether some installed font shows the character; the font is opened the first time.
    bool shows(char32_t character);
    // The glyph that shows the character, kept for the font's subset; none when no font shows it,
    // or when it would need a font not yet embedded once the fonts were fixed.
    std::optional<ShownGlyph> use(char32_t character);

    // Characters seen while the text is checked ahead are used once it is known to be read as UTF-8,
    // so that the resources can name every font before the first page.
    void see(char32_t character) override;
    void checked(bool utf8) override;
    // use(), and the glyph waits for its marker's row.
    bool show(char32_t character) override;

    // The embedded fonts so far; fixFonts() stops the number growing (the resources were written).
    std::size_t fontCount() const { return m_embedded.size(); }
    void fixFonts() { m_fixed = true; }

    // The glyphs of the WideMarker bytes of text decoded and not yet written, in order.
    const ShownGlyph& pending(std::size_t index) const { return m_pending[index]; }
    bool nonePending() const { return m_pending.empty(); }
    // The pending glyphs' widths together, in thousandths of the font size.
    std::int64_t pendingWidth() const;
    // Drops the pending glyphs of the text's WideMarker bytes: text that is read but not written.
    void dropPending(std::string_view text);

    // Writes a row whose escaped text holds WideMarker bytes, each the next pending glyph: placing
    // (what moves to the row's start), then runs in the standard font /F1 and runs in embedded
    // fonts, ending in /F1 again.
    void writeRow(PdfDocument& document, std::string_view escaped, std::string_view fontSize,
                  std::string_view placing = "T*");
    // Writes each embedded font, subset to its glyphs, at the object writeinfo reserved for it.
    void write(PdfDocument& document) const;

    // Font files that could not be read or subset, each with its reason.
    const std::vector<std::string>& problems() const { return m_problems; }
    // The right-to-left scripts of the characters met, which are shown left to right.
    const std::set<std::string>& rightToLeftScripts() const { return m_rightToLeft; }

private:
    static constexpr std::int32_t NotLookedUp = -2;
    static constexpr std::int32_t NoFace = -1;
    struct Found {
        std::int32_t face = NotLookedUp; // in m_faces; NoFace when no font shows the character
        std::uint32_t glyph = 0;
        ShownGlyph shown{}; // once used: its embedded font, glyph and width
    };
    struct Embedded {
        std::size_t face;
        std::vector<char32_t> characters; // per glyph: the character it shows, 0 where unused
    };
    Found& find(char32_t character);
    Found lookUp(char32_t character);
    std::int32_t open(const std::string& path);
    std::uint16_t embeddedPlace(std::size_t face);
    void keep(std::uint16_t font, std::uint32_t glyph, char32_t character);

    FontLookup m_lookup;
    std::vector<std::unique_ptr<FontFace>> m_faces;
    std::int32_t m_familyFace = -1;
    std::array<std::uint16_t, 256> m_familyGlyphs{}; // of each Windows-1252 byte; 0 where it has none
    bool m_familyTried = false;
    std::set<std::string> m_refused;
    std::vector<Found> m_basic; // the Basic Multilingual Plane's characters, found once
    std::unordered_map<char32_t, Found> m_others;
    Found m_beyondUnicode{NoFace, 0, {}};
    std::vector<Embedded> m_embedded;
    bool m_fixed = false;
    std::vector<bool> m_seenSet;
    std::vector<char32_t> m_seen;
    std::deque<ShownGlyph> m_pending;
    std::vector<std::string> m_problems;
    std::set<std::string> m_rightToLeft;
};

} // namespace quorvale
