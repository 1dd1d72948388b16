#include "batch/id_list.h"

#include <charconv>
#include <limits>

namespace sepmet::batch {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::optional<std::int32_t> ParseId(std::string_view s) {
    s = Trim(s);
    if (s.empty() || s.front() < '0' || s.front() > '9')
        return std::nullopt;
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<IdList> IdList::Parse(std::string_view text, std::string& error) {
    IdList list;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        std::optional<std::int32_t> first = ParseId(item.substr(0, dash));
        std::optional<std::int32_t> last =
            dash == std::string_view::npos ? first : ParseId(item.substr(dash + 1));
        if (!first || !last) {
            error = "bad identifier \"" + std::string(Trim(item)) + "\" in \"" + std::string(text) +
                    "\": expected a number from 0 to " +
                    std::to_string(std::numeric_limits<std::int32_t>::max()) +
                    " or a range such as 5-14";
            return std::nullopt;
        }
        if (*first > *last) {
            error = "bad range \"" + std::string(Trim(item)) + "\": the first identifier is larger";
            return std::nullopt;
        }
        list.ranges_.emplace_back(*first, *last);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return list;
}

bool IdList::Contains(std::int32_t id) const {
    for (const auto& [first, last] : ranges_)
        if (id >= first && id <= last)
            return true;
    return false;
}

std::uint64_t IdList::Size() const {
    std::uint64_t size = 0;
    for (const auto& [first, last] : ranges_)
        size += static_cast<std::uint64_t>(std::int64_t{last} - first + 1);
    return size;
}

std::vector<std::int32_t> IdList::Expand() const {
    std::vector<std::int32_t> ids;
    for (const auto& [first, last] : ranges_)
        for (std::int64_t id = first; id <= last; ++id)
            ids.push_back(static_cast<std::int32_t>(id));
    return ids;
}

} // namespace sepmet::batch
