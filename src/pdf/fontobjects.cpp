#include "fontobjects.h"

#include "pdftext.h"

#include <array>
#include <set>

namespace quorvale {

namespace {

// Six capital letters naming the subset: the same glyphs give the same name, so that a document
// made twice is the same twice.
std::string subsetTag(const std::set<std::uint32_t>& glyphs)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const std::uint32_t glyph : glyphs)
        hash = (hash ^ glyph) * 1099511628211ULL;
    std::string tag;
    for (int i = 0; i < 6; ++i, hash /= 26)
        tag += static_cast<char>('A' + hash % 26);
    return tag;
}

std::string reference(std::int32_t object)
{
    return formatInteger(object) + " 0 R";
}

// The widths of the glyphs shown, a run of neighbouring glyphs to a line.
std::vector<std::string> widthLines(const FontFace& face, const std::set<std::uint32_t>& glyphs)
{
    std::vector<std::string> lines{"/W ["};
    std::uint32_t next = 0;
    for (const std::uint32_t glyph : glyphs) {
        if (lines.size() == 1 || glyph != next) {
            if (lines.size() > 1)
                lines.back() += " ]";
            lines.push_back(formatInteger(glyph) + " [");
        }
        (lines.back() += ' ') += formatInteger(face.width(glyph));
        next = glyph + 1;
    }
    if (lines.size() > 1)
        lines.back() += " ]";
    lines.push_back("]");
    return lines;
}

} // namespace

std::string toUnicodeMap(const std::vector<char32_t>& characters)
{
    std::vector<std::string> pairs;
    for (std::uint32_t glyph = 0; glyph < characters.size(); ++glyph) {
        if (characters[glyph] == 0)
            continue;
        std::string pair = "<";
        appendHex(pair, glyph, 4);
        pair += "> <";
        appendUtf16Hex(pair, characters[glyph]);
        pairs.push_back(pair + ">\n");
    }
    std::string map = "/CIDInit /ProcSet findresource begin\n"
                      "12 dict begin\n"
                      "begincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n"
                      "/CMapType 2 def\n"
                      "1 begincodespacerange\n"
                      "<0000> <FFFF>\n"
                      "endcodespacerange\n";
    constexpr std::size_t Block = 100; // the most one bfchar section may hold
    for (std::size_t start = 0; start < pairs.size(); start += Block) {
        const std::size_t count = std::min(Block, pairs.size() - start);
        map += formatInteger(static_cast<std::int64_t>(count)) + " beginbfchar\n";
        for (std::size_t i = start; i < start + count; ++i)
            map += pairs[i];
        map += "endbfchar\n";
    }
    map += "endcmap\n"
           "CMapName currentdict /CMap defineresource pop\n"
           "end\n"
           "end\n";
    return map;
}

void writeEmbeddedFont(PdfDocument& document, std::int32_t fontObject, const FontFace& face,
                       const std::vector<char32_t>& characters)
{
    std::set<std::uint32_t> glyphs;
    for (std::uint32_t glyph = 0; glyph < characters.size(); ++glyph) {
        if (characters[glyph] != 0)
            glyphs.insert(glyph);
    }
    const std::string name = subsetTag(glyphs) + "+" + face.postScriptName();
    const std::string file = face.subset(glyphs);
    const FontFigures figures = face.figures();

    const std::int32_t cidFont = document.reserveObject();
    const std::int32_t descriptor = document.reserveObject();
    const std::int32_t fontFile = document.reserveObject();
    const std::int32_t toUnicode = document.reserveObject();
    document.writeObject(fontObject, {"<<", "/Type /Font", "/Subtype /Type0", "/BaseFont /" + name,
                                      "/Encoding /Identity-H", "/DescendantFonts [ " + reference(cidFont) + " ]",
                                      "/ToUnicode " + reference(toUnicode), ">>"});

    std::vector<std::string> cid = {"<<",
                                    "/Type /Font",
                                    "/Subtype /CIDFontType2",
                                    "/BaseFont /" + name,
                                    "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>",
                                    "/FontDescriptor " + reference(descriptor),
                                    "/CIDToGIDMap /Identity"};
    for (std::string& line : widthLines(face, glyphs))
        cid.push_back(std::move(line));
    cid.emplace_back(">>");
    document.writeObject(cidFont, cid);

    // Symbolic: the glyphs are reached by number, not through a standard encoding.
    const std::int32_t flags = 4 | (figures.italicAngle != 0 ? 64 : 0);
    document.writeObject(
        descriptor, {"<<", "/Type /FontDescriptor", "/FontName /" + name, "/Flags " + formatInteger(flags),
                     "/FontBBox [ " + formatInteger(figures.xMin) + " " + formatInteger(figures.yMin) + " " +
                         formatInteger(figures.xMax) + " " + formatInteger(figures.yMax) + " ]",
                     "/ItalicAngle " + formatInteger(figures.italicAngle), "/Ascent " + formatInteger(figures.ascent),
                     "/Descent " + formatInteger(figures.descent), "/CapHeight " + formatInteger(figures.capHeight),
                     "/StemV 80", "/FontFile2 " + reference(fontFile), ">>"});
    document.writeStreamObject(fontFile, {"/Length1 " + formatInteger(static_cast<std::int64_t>(file.size()))}, file);
    document.writeStreamObject(toUnicode, {}, toUnicodeMap(characters));
}

} // namespace quorvale
