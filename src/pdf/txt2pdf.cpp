// quorvale-txt2pdf: converts a text file into a PDF document from the command line.
#include "commandstreams.h"
#include "maker.h"
#include "papersizes.h"
#include "pdfwriter.h"
#include "removeonsignal.h"
#include "standardfonts.h"
#include "windows1252.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Usage = "Usage: quorvale-txt2pdf [OPTION]... INPUT OUTPUT\n";

constexpr std::string_view HelpIntro =
    "Convert the text file INPUT into the PDF document OUTPUT: one row per line in one font, long\n"
    "lines wrapped, a new page at a form feed, the page number at the foot of every page.\n"
    "\"-\" as INPUT reads standard input; \"-\" as OUTPUT writes standard output, as do\n"
    "/dev/stdout and the names of open descriptors under /dev/fd and /proc/self/fd.\n"
    "\n"
    "The output window's reading of its data sheet is --encoding=windows-1252\n"
    "--line-ends=cr --trim=both; adding --tab-size=0 keeps TABs as they are, as earlier\n"
    "versions did.\n"
    "\n"
    "Page and font:\n";

constexpr std::string_view HelpReading =
    "      --size=PT         font size in points, at least 1 (default 10)\n"
    "      --rotation=DEG    page rotation: 0, 90, 180 or 270 (default 0)\n"
    "      --page=SIZE       A4, Letter or Legal, or the width and height as WxH in\n"
    "                        inches or WxHmm in millimetres, each more than 0 and at\n"
    "                        most 200 inches (default 8.5x11)\n"
    "\n"
    "Reading the text:\n"
    "      --encoding=ENC    auto, utf-8 or windows-1252 (default auto: utf-8 when the\n"
    "                        whole text is valid UTF-8, windows-1252 otherwise); a\n"
    "                        character that Windows-1252 lacks is shown in an\n"
    "                        embedded font that has it, or, when no installed font\n"
    "                        has it, written as '?' and counted on standard error\n"
    "      --line-ends=ENDS  any (the default: CR LF, CR and LF each end a line) or cr\n"
    "                        (CR or CR LF ends a line, a lone LF is a character)\n"
    "      --tab-size=N      TAB stops every N columns, up to 64 (default 8); 0 keeps\n"
    "                        TABs\n"
    "      --trim=WHICH      trailing (the default: indentation stays) or both: the\n"
    "                        blanks cut from each line\n"
    "\n"
    "Document information, given in UTF-8:\n";

constexpr std::string_view HelpEnd =
    "\n"
    "  -h, --help            show this help and exit\n"
    "      --version         show the version and exit\n"
    "\n"
    "Environment:\n"
    "  SOURCE_DATE_EPOCH     seconds since 1970-01-01 00:00 UTC: the document's creation\n"
    "                        date, so that two runs give the same bytes (without it, the\n"
    "                        local time)\n"
    "\n"
    "Exit status:\n"
    "  0  the document was written\n"
    "  1  the conversion failed\n"
    "  2  a wrong option, operand or SOURCE_DATE_EPOCH\n";

// Where an option's description begins, and the width it wraps at.
constexpr std::size_t HelpIndent = 24;
constexpr std::size_t HelpWidth = 80;

// The fonts and the default document texts come from the tables the conversion uses.
std::string help()
{
    const quorvale::DocumentInformation defaults;
    const std::string indent(HelpIndent, ' ');
    std::string fonts = "      --font=NAME       one of the 14 standard PDF fonts (";
    std::size_t column = fonts.size();
    std::string others;
    for (const quorvale::StandardFont& font : quorvale::StandardFonts) {
        if (font.family != font.name.substr(0, font.family.size())) {
            others.append(others.empty() ? "" : ", ").append(font.name);
            continue;
        }
        const std::string word = std::string(font.name) + ",";
        if (column + word.size() > HelpWidth) {
            fonts += "\n" + indent;
            column = HelpIndent;
        } else if (column > HelpIndent && !fonts.ends_with("(")) {
            fonts += ' ';
            ++column;
        }
        fonts += word;
        column += word.size();
    }
    fonts.back() = ')';
    fonts += " or " + others + ", in any case\n" + indent + "(default " + std::string(quorvale::DefaultFont) + ")\n";
    const auto text = [](std::string_view option, const std::string& value) {
        std::string line = "      --" + std::string(option) + "=TEXT";
        return line.append(HelpIndent - line.size(), ' ') + "(default " + value + ")\n";
    };
    return std::string(Usage) + std::string(HelpIntro) + fonts + std::string(HelpReading) +
           text("author", "\"" + defaults.author + "\"") + text("creator", "the maker's address") +
           text("keywords", "\"" + defaults.keywords + "\"") + text("subject", "\"" + defaults.subject + "\"") +
           text("title", "\"" + defaults.title + "\"") + std::string(HelpEnd);
}

struct Options {
    quorvale::DocumentInformation information;
    quorvale::PageSetup page;
    quorvale::ReadingOptions reading{quorvale::ReadingOptions::Encoding::Auto, quorvale::ReadingOptions::LineEnds::Any,
                                     8, quorvale::ReadingOptions::Trim::Trailing, /*standardStreams*/ true};
};

template <typename Number> bool parseNumber(std::string_view text, Number& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

// A paper's name, or WxH in inches, or WxHmm in millimetres.
bool parsePage(std::string_view text, Options& options)
{
    if (const auto paper = quorvale::findPaper(text)) {
        options.page.width = paper->width;
        options.page.height = paper->height;
        return true;
    }
    const bool millimetres = text.ends_with("mm");
    if (millimetres)
        text.remove_suffix(2);
    const auto x = text.find('x');
    float width = 0;
    float height = 0;
    if (x == std::string_view::npos || !parseNumber(text.substr(0, x), width) ||
        !parseNumber(text.substr(x + 1), height))
        return false;
    options.page.width = millimetres ? quorvale::inchesFromMillimetres(width) : width;
    options.page.height = millimetres ? quorvale::inchesFromMillimetres(height) : height;
    const auto side = [](float inches) { return inches > 0 && inches <= 200; };
    return side(options.page.width) && side(options.page.height);
}

// The fonts offered, for the message that refuses another: "A, B, ... or Z".
std::string fontList()
{
    std::string list;
    const auto& fonts = quorvale::StandardFonts;
    for (std::size_t i = 0; i < fonts.size(); ++i)
        list.append(i == 0 ? "" : i + 1 == fonts.size() ? " or " : ", ").append(fonts[i].name);
    return list;
}

// Picks the value's position in choices; false when it is none of them.
template <typename Value, std::size_t N>
bool choose(std::string_view text, const std::array<std::pair<std::string_view, Value>, N>& choices, Value& value)
{
    for (const auto& [name, choice] : choices) {
        if (text == name) {
            value = choice;
            return true;
        }
    }
    return false;
}

enum Option : int {
    Font = 256,
    Size,
    Rotation,
    Page,
    Author,
    Creator,
    Keywords,
    Subject,
    Title,
    Encoding,
    LineEnds,
    TabSize,
    Trim,
    Version
};

constexpr std::array<option, 17> LongOptions = {{
    {"font", required_argument, nullptr, Font},
    {"size", required_argument, nullptr, Size},
    {"rotation", required_argument, nullptr, Rotation},
    {"page", required_argument, nullptr, Page},
    {"author", required_argument, nullptr, Author},
    {"creator", required_argument, nullptr, Creator},
    {"keywords", required_argument, nullptr, Keywords},
    {"subject", required_argument, nullptr, Subject},
    {"title", required_argument, nullptr, Title},
    {"encoding", required_argument, nullptr, Encoding},
    {"line-ends", required_argument, nullptr, LineEnds},
    {"tab-size", required_argument, nullptr, TabSize},
    {"trim", required_argument, nullptr, Trim},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, Version},
    {nullptr, 0, nullptr, 0},
}};

// Takes one option's value into options; returns a message when it is not valid.
std::string takeOption(int option, std::string_view value, Options& options)
{
    using quorvale::ReadingOptions;
    bool valid = true;
    switch (option) {
    case Font:
        if (const auto font = quorvale::findStandardFont(value))
            options.page.font = font->name;
        else
            return "unknown font " + std::string(value) + "; use " + fontList();
        break;
    case Size:
        valid = parseNumber(value, options.page.fontSize) && options.page.fontSize >= 1;
        break;
    case Rotation:
        valid = parseNumber(value, options.page.rotation) && options.page.rotation >= 0 &&
                options.page.rotation % 90 == 0 && options.page.rotation < 360;
        break;
    case Page:
        valid = parsePage(value, options);
        break;
    case Author:
        options.information.author = value;
        break;
    case Creator:
        options.information.creator = value;
        break;
    case Keywords:
        options.information.keywords = value;
        break;
    case Subject:
        options.information.subject = value;
        break;
    case Title:
        options.information.title = value;
        break;
    case Encoding:
        valid = choose(value,
                       std::array<std::pair<std::string_view, ReadingOptions::Encoding>, 3>{
                           {{"auto", ReadingOptions::Encoding::Auto},
                            {"utf-8", ReadingOptions::Encoding::Utf8},
                            {"windows-1252", ReadingOptions::Encoding::Windows1252}}},
                       options.reading.encoding);
        break;
    case LineEnds:
        valid = choose(value,
                       std::array<std::pair<std::string_view, ReadingOptions::LineEnds>, 2>{
                           {{"any", ReadingOptions::LineEnds::Any}, {"cr", ReadingOptions::LineEnds::Cr}}},
                       options.reading.lineEnds);
        break;
    case TabSize:
        valid = parseNumber(value, options.reading.tabSize) && options.reading.tabSize >= 0 &&
                options.reading.tabSize <= ReadingOptions::MaxTabSize;
        break;
    case Trim:
        valid = choose(value,
                       std::array<std::pair<std::string_view, ReadingOptions::Trim>, 2>{
                           {{"both", ReadingOptions::Trim::Both}, {"trailing", ReadingOptions::Trim::Trailing}}},
                       options.reading.trim);
        break;
    default:
        break;
    }
    if (!valid)
        return "invalid value for --" + std::string(LongOptions[static_cast<std::size_t>(option - Font)].name) + ": " +
               std::string(value);
    return {};
}

// The creation date that SOURCE_DATE_EPOCH sets, as 14 digits in UTC; empty when it is not set.
// Ends the program with a message when it is set to anything but a non-negative integer.
std::string sourceDateTimestamp()
{
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (value == nullptr)
        return {};
    std::int64_t seconds = -1;
    std::tm utc{};
    std::array<char, 16> digits{};
    if (parseNumber(std::string_view(value), seconds) && seconds >= 0) {
        const auto moment = static_cast<std::time_t>(seconds);
        if (gmtime_r(&moment, &utc) != nullptr && utc.tm_year + 1900 <= 9999)
            std::strftime(digits.data(), digits.size(), "%Y%m%d%H%M%S", &utc);
    }
    if (digits[0] == '\0') {
        std::cerr << "quorvale-txt2pdf: SOURCE_DATE_EPOCH must be a whole number of seconds since "
                     "1970-01-01 00:00 UTC (up to the year 9999), not '"
                  << value << "'\n";
        std::exit(2);
    }
    return digits.data();
}

[[noreturn]] void usageError(const std::string& problem)
{
    std::cerr << "quorvale-txt2pdf: " << problem << "\n" << Usage << "Try 'quorvale-txt2pdf --help' for more.\n";
    std::exit(2);
}

void tellReplacements(const quorvale::ReadingSummary& reading)
{
    for (const std::string& problem : reading.fontProblems)
        std::cerr << "quorvale-txt2pdf: " << problem << "\n";
    for (const std::string& script : reading.rightToLeftScripts)
        std::cerr << "quorvale-txt2pdf: " << script
                  << " text is shown left to right: right-to-left scripts are not yet supported\n";
    if (reading.replaced == 0)
        return;
    const std::string where =
        "line " + std::to_string(reading.firstLine) + ", column " + std::to_string(reading.firstColumn);
    if (reading.replaced == 1)
        std::cerr << "quorvale-txt2pdf: 1 character is in no installed font and was written as '?' (at " << where
                  << ")\n";
    else
        std::cerr << "quorvale-txt2pdf: " << reading.replaced
                  << " characters are in no installed font and were written as '?' (first at " << where << ")\n";
}

} // namespace

int main(int argc, char** argv)
{
    const quorvale::ClosedStandardStreams closed = quorvale::KeepStandardDescriptorsOpen();
    Options options;
    opterr = 0;
    int option = 0;
    while ((option = getopt_long(argc, argv, ":h", LongOptions.data(), nullptr)) != -1) {
        if (option == 'h') {
            std::cout << help();
            return 0;
        }
        if (option == Version) {
            std::cout << "quorvale-txt2pdf " QUORVALE_VERSION "\n";
            return 0;
        }
        if (option == ':')
            usageError("option " + std::string(argv[optind - 1]) + " needs a value");
        if (option == '?')
            usageError("unknown option " +
                       (optopt != 0 ? "-" + std::string(1, static_cast<char>(optopt)) : std::string(argv[optind - 1])));
        if (const std::string problem = takeOption(option, optarg, options); !problem.empty())
            usageError(problem);
    }
    if (argc - optind != 2)
        usageError("expected an INPUT and an OUTPUT file");
    std::string input = argv[optind];
    std::string output = argv[optind + 1];
    if (input.empty() || output.empty())
        usageError("an empty name names no file");
    const std::string fixedTimestamp = sourceDateTimestamp();
    if (const quorvale::Result streams = quorvale::OpenCommandStreams(input, output, closed); !streams) {
        std::cerr << "quorvale-txt2pdf: " << streams.reason << "\n";
        return 1;
    }

    // An interrupted conversion removes its partial file; past a file-size limit a write fails.
    quorvale::SetUpOutputSignals();
    quorvale::PdfWriter writer(
        [&fixedTimestamp] { return fixedTimestamp.empty() ? quorvale::PdfWriter::localTimestamp() : fixedTimestamp; });
    quorvale::Result converted;
    try {
        // The job is checked before anything is written: a page set-up without room for text is a
        // wrong option as much as a font size of 0.
        const quorvale::PdfJob job(input, output, options.information, options.page, options.reading);
        converted = writer.ConvertToPDF(job);
    } catch (const std::invalid_argument& wrong) {
        usageError(wrong.what());
    }
    if (!converted)
        std::cerr << "quorvale-txt2pdf: " << converted.reason << "\n";
    if (converted)
        tellReplacements(writer.lastReading());
    return converted ? 0 : 1;
}
