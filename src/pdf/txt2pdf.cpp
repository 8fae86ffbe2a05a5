// quorvale-txt2pdf: converts a text file into a PDF document from the command line.
#include "maker.h"
#include "pdfwriter.h"
#include "replacefile.h"
#include "windows1252.h"

#include <charconv>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Usage =
    "usage: quorvale-txt2pdf [--font NAME] [--size PT] [--rotation DEG] [--page WxH]\n"
    "                        [--author T] [--creator T] [--keywords T] [--subject T] [--title T]\n"
    "                        INPUT OUTPUT\n"
    "Converts the text file INPUT into the PDF document OUTPUT.\n"
    "  --font NAME     base font: Courier, Times-Roman or Arial (default Times-Roman)\n"
    "  --size PT       font size in points (default 10)\n"
    "  --rotation DEG  page rotation in degrees: 0, 90, 180 or 270 (default 0)\n"
    "  --page WxH      page width and height in inches (default 8.5x11)\n"
    "  --author, --creator, --keywords, --subject, --title T\n"
    "                  document information, given in UTF-8\n";

struct Options {
    std::string font = "Times-Roman";
    std::int16_t size = 10;
    std::int16_t rotation = 0;
    float width = 8.5F;
    float height = 11;
    std::string author = "Orvin Kellaway";
    std::string creator = std::string(quorvale::MakerUrl);
    std::string keywords = "PDF Keywords";
    std::string subject = "Quorvale v1.0";
    std::string title = "PDF Title";
    std::vector<std::string> files;
};

template <typename Number> bool parseNumber(std::string_view text, Number& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

bool parsePage(std::string_view text, Options& options)
{
    const auto x = text.find('x');
    return x != std::string_view::npos && parseNumber(text.substr(0, x), options.width) &&
           parseNumber(text.substr(x + 1), options.height);
}

// Fills options from the arguments; returns a message when they are not valid.
std::string parseArguments(const std::vector<std::string_view>& arguments, Options& options)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!argument.starts_with("--")) {
            options.files.emplace_back(argument);
            continue;
        }
        if (i + 1 == arguments.size())
            return "option " + std::string(argument) + " needs a value";
        const std::string_view value = arguments[++i];
        const auto bad = [&] { return "invalid value for " + std::string(argument) + ": " + std::string(value); };
        if (argument == "--font")
            options.font = value;
        else if (argument == "--size") {
            if (!parseNumber(value, options.size))
                return bad();
        } else if (argument == "--rotation") {
            if (!parseNumber(value, options.rotation))
                return bad();
        } else if (argument == "--page") {
            if (!parsePage(value, options))
                return bad();
        } else if (argument == "--author")
            options.author = quorvale::encodeWindows1252(value);
        else if (argument == "--creator")
            options.creator = quorvale::encodeWindows1252(value);
        else if (argument == "--keywords")
            options.keywords = quorvale::encodeWindows1252(value);
        else if (argument == "--subject")
            options.subject = quorvale::encodeWindows1252(value);
        else if (argument == "--title")
            options.title = quorvale::encodeWindows1252(value);
        else
            return "unknown option " + std::string(argument);
    }
    if (options.files.size() != 2)
        return "expected an INPUT and an OUTPUT file";
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    for (const std::string_view argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::cout << Usage;
            return 0;
        }
    }
    Options options;
    if (const std::string problem = parseArguments(arguments, options); !problem.empty()) {
        std::cerr << "quorvale-txt2pdf: " << problem << "\n" << Usage;
        return 2;
    }

    // Past a file-size limit a write then fails and is reported, and the partial file is removed;
    // an interrupted conversion removes its partial file too.
    std::signal(SIGXFSZ, SIG_IGN);
    quorvale::RemoveTemporaryOnSignals();
    quorvale::PdfWriter writer(
        [](const std::string& description) { std::cerr << "quorvale-txt2pdf: " << description << "\n"; });
    const bool converted = writer.ConvertToPDF(options.files[0], options.files[1], options.author, options.creator,
                                               options.keywords, options.subject, options.title, options.font,
                                               options.size, options.rotation, options.width, options.height);
    return converted ? 0 : 1;
}
