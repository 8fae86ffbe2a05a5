// A list of integers kept as variable-length differences, so a document of millions of pages keeps
// its object offsets and page references in a few bytes a page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace quorvale {

class NumberList {
public:
    NumberList() = default;
    NumberList(std::initializer_list<std::int64_t> values);

    void push_back(std::int64_t value);
    // Sets the value at index; the list grows to index + 1 when shorter, new places taking the last value.
    void set(std::size_t index, std::int64_t value);
    std::size_t size() const { return m_size; }

    // Calls visit(value) for every value in order.
    template <typename Visit> void forEach(Visit visit) const
    {
        std::size_t index = 0;
        std::int64_t value = 0;
        for (const std::string& block : m_blocks) {
            for (std::size_t at = 0; at < block.size(); ++index) {
                value += decodeDifference(block, at);
                const auto changed = m_changed.find(index);
                visit(changed == m_changed.end() ? value : changed->second);
            }
        }
    }

private:
    static std::int64_t decodeDifference(const std::string& block, std::size_t& at);

    std::vector<std::string> m_blocks;             // whole encodings only: a block never splits a difference
    std::map<std::size_t, std::int64_t> m_changed; // values set again after later ones were added
    std::size_t m_size = 0;
    std::int64_t m_last = 0;
};

} // namespace quorvale
