// One TrueType font file read through HarfBuzz: its glyphs, their widths, the figures a PDF font
// descriptor names, and a subset of it holding only the glyphs a document shows.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

struct hb_face_t;
struct hb_font_t;

namespace quorvale {

// The figures of a font descriptor, in thousandths of the font size.
struct FontFigures {
    std::int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0; // the bounding box of all glyphs
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t capHeight = 0;
    std::int32_t italicAngle = 0; // degrees, counter-clockwise from upright
};

class FontFace {
public:
    // Throws std::runtime_error, naming the file, when it cannot be read as a font with TrueType outlines.
    explicit FontFace(const std::string& path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const std::string& path() const { return m_path; }
    // The PostScript name, with only the characters a PDF name may hold plainly.
    const std::string& postScriptName() const { return m_postScriptName; }
    std::uint32_t glyphCount() const;
    // The glyph the font's character map gives the character; 0 where it has none.
    std::uint32_t glyph(char32_t character) const;
    // The glyph's advance in thousandths of the font size.
    std::int32_t width(std::uint32_t glyph) const;
    FontFigures figures() const;
    // The font file cut down to these glyphs (and glyph 0), each keeping its number. Throws
    // std::runtime_error, naming the file, when HarfBuzz cannot subset it.
    std::string subset(const std::set<std::uint32_t>& glyphs) const;

private:
    std::int32_t thousandths(std::int64_t units) const;

    std::string m_path;
    std::string m_postScriptName;
    hb_face_t* m_face = nullptr;
    hb_font_t* m_font = nullptr;
    std::int64_t m_unitsPerEm = 1000;
};

} // namespace quorvale
