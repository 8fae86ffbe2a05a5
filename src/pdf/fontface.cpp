#include "fontface.h"

#include "pdftext.h"

#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <array>
#include <stdexcept>

namespace quorvale {

namespace {

struct BlobRelease {
    void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobRelease>;

std::int16_t bigEndian16(const char* at)
{
    return static_cast<std::int16_t>((static_cast<unsigned char>(at[0]) << 8) | static_cast<unsigned char>(at[1]));
}

} // namespace

FontFace::FontFace(const std::string& path) : m_path(path)
{
    const Blob file(hb_blob_create_from_file_or_fail(path.c_str()));
    if (!file)
        throw std::runtime_error("Cannot read the font file '" + path + "'.");
    m_face = hb_face_create(file.get(), 0);
    m_font = hb_font_create(m_face);
    m_unitsPerEm = hb_face_get_upem(m_face);
    // A PDF's CIDFontType2 holds TrueType outlines: their glyph table is what HarfBuzz subsets.
    const Blob outlines(hb_face_reference_table(m_face, HB_TAG('g', 'l', 'y', 'f')));
    if (hb_face_get_glyph_count(m_face) == 0 || hb_blob_get_length(outlines.get()) == 0) {
        hb_font_destroy(m_font);
        hb_face_destroy(m_face);
        throw std::runtime_error("The font file '" + path + "' holds no TrueType outlines.");
    }
    std::array<char, 128> name{};
    unsigned int length = name.size();
    hb_ot_name_get_utf8(m_face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &length, name.data());
    for (const char c : std::string_view(name.data(), length)) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')
            m_postScriptName += c;
    }
    if (m_postScriptName.empty())
        m_postScriptName = "Font";
}

FontFace::~FontFace()
{
    hb_font_destroy(m_font);
    hb_face_destroy(m_face);
}

std::uint32_t FontFace::glyphCount() const
{
    return hb_face_get_glyph_count(m_face);
}

std::uint32_t FontFace::glyph(char32_t character) const
{
    hb_codepoint_t glyph = 0;
    return hb_font_get_nominal_glyph(m_font, character, &glyph) ? glyph : 0;
}

std::int32_t FontFace::thousandths(std::int64_t units) const
{
    return static_cast<std::int32_t>(divideRoundHalfEven(units * 1000, m_unitsPerEm));
}

std::int32_t FontFace::width(std::uint32_t glyph) const
{
    return thousandths(hb_font_get_glyph_h_advance(m_font, glyph));
}

FontFigures FontFace::figures() const
{
    FontFigures figures;
    const Blob head(hb_face_reference_table(m_face, HB_TAG('h', 'e', 'a', 'd')));
    unsigned int length = 0;
    const char* data = hb_blob_get_data(head.get(), &length);
    if (length >= 44) {
        figures.xMin = thousandths(bigEndian16(data + 36));
        figures.yMin = thousandths(bigEndian16(data + 38));
        figures.xMax = thousandths(bigEndian16(data + 40));
        figures.yMax = thousandths(bigEndian16(data + 42));
    }
    hb_position_t position = 0;
    if (hb_ot_metrics_get_position(m_font, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, &position))
        figures.ascent = thousandths(position);
    if (hb_ot_metrics_get_position(m_font, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, &position))
        figures.descent = thousandths(position);
    figures.capHeight = hb_ot_metrics_get_position(m_font, HB_OT_METRICS_TAG_CAP_HEIGHT, &position)
                            ? thousandths(position)
                            : figures.ascent;
    figures.italicAngle =
        static_cast<std::int32_t>(roundHalfEven(-hb_style_get_value(m_font, HB_STYLE_TAG_SLANT_ANGLE)));
    return figures;
}

std::string FontFace::subset(const std::set<std::uint32_t>& glyphs) const
{
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (input == nullptr)
        throw std::runtime_error("There is not enough memory to subset the font file '" + m_path + "'.");
    // Glyph numbers stay as the pages wrote them; hinting matters little at print resolution.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
    hb_set_t* kept = hb_subset_input_glyph_set(input);
    for (const std::uint32_t glyph : glyphs)
        hb_set_add(kept, glyph);
    hb_face_t* cut = hb_subset_or_fail(m_face, input);
    hb_subset_input_destroy(input);
    if (cut == nullptr)
        throw std::runtime_error("Cannot subset the font file '" + m_path + "'.");
    const Blob bytes(hb_face_reference_blob(cut));
    hb_face_destroy(cut);
    unsigned int length = 0;
    const char* data = hb_blob_get_data(bytes.get(), &length);
    if (length == 0)
        throw std::runtime_error("Cannot subset the font file '" + m_path + "'.");
    return std::string(data, length);
}

} // namespace quorvale
