// libFuzzer entry for the text-to-PDF converter: every input is one conversion checked by convertAndCheck.
#include "txt2pdfcase.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// One folder for the whole run; in memory when /dev/shm is there, as the writer works on files.
const std::string& workFolder()
{
    static const std::string folder = [] {
        std::string pattern =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/txt2pdf-fuzz-XXXXXX" : "/tmp/txt2pdf-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string problem = quorvale::convertAndCheck(
        quorvale::decodeTxt2PdfCase(std::string_view(reinterpret_cast<const char*>(data), size)), workFolder());
    if (!problem.empty()) {
        std::fprintf(stderr, "txt2pdf invariant broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
