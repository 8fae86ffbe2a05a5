#include "numberlist.h"

namespace quorvale {

namespace {

// Blocks of this size grow without copying what is already stored.
constexpr std::size_t BlockSize = 64 * 1024;
constexpr std::size_t MaxEncodedSize = 10;

} // namespace

NumberList::NumberList(std::initializer_list<std::int64_t> values)
{
    for (const std::int64_t value : values)
        push_back(value);
}

void NumberList::push_back(std::int64_t value)
{
    // Differences are zigzag encoded (0, -1, 1, -2 ... as 0, 1, 2, 3 ...), seven bits a byte.
    const auto difference = static_cast<std::uint64_t>(value - m_last);
    std::uint64_t code = (difference << 1) ^ (value < m_last ? ~std::uint64_t{0} : 0);
    if (m_blocks.empty() || m_blocks.back().size() + MaxEncodedSize > BlockSize) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(BlockSize);
    }
    std::string& block = m_blocks.back();
    while (code >= 0x80) {
        block += static_cast<char>(code | 0x80);
        code >>= 7;
    }
    block += static_cast<char>(code);
    m_last = value;
    ++m_size;
}

void NumberList::set(std::size_t index, std::int64_t value)
{
    if (index < m_size) {
        m_changed[index] = value;
        return;
    }
    while (m_size < index)
        push_back(m_last);
    push_back(value);
}

std::int64_t NumberList::decodeDifference(const std::string& block, std::size_t& at)
{
    std::uint64_t code = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<std::uint8_t>(block[at++]);
        code |= std::uint64_t{byte & 0x7FU} << shift;
        if (byte < 0x80)
            break;
    }
    return static_cast<std::int64_t>((code >> 1) ^ (~(code & 1) + 1));
}

} // namespace quorvale
