#pragma once
// Assay identifiers as typed on the command line: "1,2,5-14".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sepmet::batch {

class IdList {
public:
    // Comma-separated identifiers (0 to 2147483647) and ascending ranges "a-b"; blanks around an
    // item are allowed. Nothing, and `error` says why, for anything else.
    static std::optional<IdList> Parse(std::string_view text, std::string& error);

    bool Contains(std::int32_t id) const;
    // How many identifiers the list names, repeats counted.
    std::uint64_t Size() const;
    // Every identifier in the order typed, repeats kept.
    std::vector<std::int32_t> Expand() const;

private:
    std::vector<std::pair<std::int32_t, std::int32_t>> ranges_; // inclusive
};

} // namespace sepmet::batch
