#include "tools/unicode_tables/character_maps.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

namespace sepmet::unicode_tables {
namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr std::size_t kUnitCount = 0x10000;

struct CharacterRecord {
    std::string name;
    std::string category;
    bool hasDecomposition = false;
    std::vector<char32_t> decomposition; // canonical or compatibility, tag dropped
    std::optional<char32_t> upper, lower, title;
};

struct CharacterData {
    std::vector<bool> assignedBy51 = std::vector<bool>(kLastCodePoint + 1, false);
    std::unordered_map<char32_t, CharacterRecord> records;
    std::unordered_map<std::string, char32_t> byName;
    std::unordered_map<char32_t, char32_t> simpleFolding;
};

std::ifstream OpenDataFile(const std::string& dataDir, const char* file) {
    std::ifstream in(dataDir + "/" + file);
    if (!in)
        throw std::runtime_error(std::string("cannot read ") + dataDir + "/" + file);
    return in;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The fields of one data line, without its "#" comment.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::string content = line.substr(0, line.find('#'));
    std::stringstream stream(content);
    std::string field;
    while (std::getline(stream, field, ';'))
        fields.push_back(Trim(field));
    if (!content.empty() && content.back() == ';')
        fields.emplace_back();
    return fields;
}

char32_t ParseCodePoint(const std::string& text) {
    std::size_t used = 0;
    const unsigned long value = std::stoul(text, &used, 16);
    if (used != text.size() || value > kLastCodePoint)
        throw std::runtime_error("malformed code point: " + text);
    return static_cast<char32_t>(value);
}

std::vector<char32_t> ParseCodePoints(const std::string& text) {
    std::vector<char32_t> points;
    std::stringstream stream(text);
    std::string item;
    while (stream >> item)
        if (item.front() != '<')
            points.push_back(ParseCodePoint(item));
    return points;
}

void ReadDerivedAge(const std::string& dataDir, CharacterData& data) {
    std::ifstream in = OpenDataFile(dataDir, "DerivedAge.txt");
    std::string line;
    while (std::getline(in, line)) {
        const auto fields = Fields(line);
        if (fields.size() < 2 || fields[0].empty())
            continue;
        int major = 0, minor = 0;
        if (std::sscanf(fields[1].c_str(), "%d.%d", &major, &minor) != 2)
            throw std::runtime_error("malformed age: " + line);
        if (major > 5 || (major == 5 && minor > 1))
            continue;
        const auto dots = fields[0].find("..");
        const char32_t first = ParseCodePoint(fields[0].substr(0, dots));
        const char32_t last =
            dots == std::string::npos ? first : ParseCodePoint(fields[0].substr(dots + 2));
        for (char32_t c = first; c <= last; ++c)
            data.assignedBy51[c] = true;
    }
}

void ReadUnicodeData(const std::string& dataDir, CharacterData& data) {
    std::ifstream in = OpenDataFile(dataDir, "UnicodeData.txt");
    std::string line;
    while (std::getline(in, line)) {
        const auto fields = Fields(line);
        if (fields.size() < 15)
            continue;
        CharacterRecord record;
        record.name = fields[1];
        record.category = fields[2];
        record.hasDecomposition = !fields[5].empty();
        record.decomposition = ParseCodePoints(fields[5]);
        if (!fields[12].empty())
            record.upper = ParseCodePoint(fields[12]);
        if (!fields[13].empty())
            record.lower = ParseCodePoint(fields[13]);
        if (!fields[14].empty())
            record.title = ParseCodePoint(fields[14]);
        const char32_t c = ParseCodePoint(fields[0]);
        if (record.name.front() != '<')
            data.byName.emplace(record.name, c);
        data.records.emplace(c, std::move(record));
    }
}

void ReadCaseFolding(const std::string& dataDir, CharacterData& data) {
    std::ifstream in = OpenDataFile(dataDir, "CaseFolding.txt");
    std::string line;
    while (std::getline(in, line)) {
        const auto fields = Fields(line);
        if (fields.size() < 3 || (fields[1] != "C" && fields[1] != "S"))
            continue;
        const auto result = ParseCodePoints(fields[2]);
        if (result.size() != 1)
            throw std::runtime_error("simple folding of more than one character: " + line);
        data.simpleFolding.emplace(ParseCodePoint(fields[0]), result.front());
    }
}

class MapBuilder {
public:
    explicit MapBuilder(const CharacterData& data) : data_(data) {}

    CharacterMap SimpleMap(const std::string& name, unsigned blockShift,
                           std::optional<char32_t> (MapBuilder::*mapping)(char32_t) const) const {
        CharacterMap map{name, blockShift, std::vector<std::optional<std::u16string>>(kUnitCount)};
        for (char32_t c = 0; c < kUnitCount; ++c) {
            const auto result = (this->*mapping)(c);
            if (result && Assigned(c) && Assigned(*result) && *result < kUnitCount)
                map.entries[c] = std::u16string(1, static_cast<char16_t>(*result));
        }
        return map;
    }

    std::optional<char32_t> Fold(char32_t c) const {
        const auto found = data_.simpleFolding.find(c);
        if (found == data_.simpleFolding.end())
            return std::nullopt;
        return found->second;
    }
    std::optional<char32_t> Lower(char32_t c) const {
        const auto* record = Record(c);
        return record ? record->lower : std::nullopt;
    }
    std::optional<char32_t> Upper(char32_t c) const {
        const auto* record = Record(c);
        return record ? record->upper : std::nullopt;
    }
    // The titlecase field, or the uppercase field when it is empty. An explicit titlecase equal
    // to the character itself (ǅ, ǈ, ǋ, ǲ) is kept as an entry, as Unicode 5.1 lists it; the
    // self-titlecase of the Georgian letters came with their Mtavruli capitals (Unicode 11) and
    // is left out because that uppercase partner is newer than 5.1.
    std::optional<char32_t> Title(char32_t c) const {
        const auto* record = Record(c);
        if (!record)
            return std::nullopt;
        if (!record->title)
            return record->upper;
        if (*record->title == c && !(record->upper && Assigned(*record->upper)))
            return std::nullopt;
        return record->title;
    }

    CharacterMap Unaccent() const {
        CharacterMap map{"unaccent", 5, std::vector<std::optional<std::u16string>>(kUnitCount)};
        for (char32_t c = 0x80; c < kUnitCount; ++c) {
            if (!Assigned(c) || IsSurrogate(c) || IsHangulSyllable(c) || IsMark(c))
                continue;
            std::vector<char32_t> parts;
            if (!Expand(c, parts, 0))
                continue;
            std::u16string result;
            bool allUnits = true;
            for (const char32_t part : parts) {
                if (!Assigned(part))
                    allUnits = false;
                else if (!IsMark(part))
                    result.push_back(static_cast<char16_t>(part));
                if (part >= kUnitCount)
                    allUnits = false;
            }
            if (allUnits && !result.empty() && result != std::u16string(1, char16_t(c)))
                map.entries[c] = result;
        }
        return map;
    }

private:
    const CharacterRecord* Record(char32_t c) const {
        const auto found = data_.records.find(c);
        return found == data_.records.end() ? nullptr : &found->second;
    }
    bool Assigned(char32_t c) const { return c <= kLastCodePoint && data_.assignedBy51[c]; }
    static bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
    static bool IsHangulSyllable(char32_t c) { return c >= 0xAC00 && c <= 0xD7A3; }
    bool IsMark(char32_t c) const {
        const auto* record = Record(c);
        return record && record->category.front() == 'M';
    }

    // What c is built from, one level: its decomposition (canonical or compatibility), the
    // letters of the ligatures æ, Æ, œ, Œ (which have no decomposition), or, for a character
    // named "X WITH …" without a decomposition, the character named "X" (ł → l, ƒ → f).
    std::optional<std::vector<char32_t>> Parts(char32_t c) const {
        static const std::map<char32_t, std::vector<char32_t>> ligatures = {
            {0x00C6, {'A', 'E'}}, {0x00E6, {'a', 'e'}}, {0x0152, {'O', 'E'}}, {0x0153, {'o', 'e'}}};
        const auto* record = Record(c);
        if (!record || c < 0x80 || IsMark(c) || IsHangulSyllable(c))
            return std::nullopt;
        if (record->hasDecomposition)
            return record->decomposition;
        if (const auto ligature = ligatures.find(c); ligature != ligatures.end())
            return ligature->second;
        const auto with = record->name.find(" WITH ");
        if (with == std::string::npos)
            return std::nullopt;
        const auto base = data_.byName.find(record->name.substr(0, with));
        if (base == data_.byName.end() || !Assigned(base->second))
            return std::nullopt;
        return std::vector<char32_t>{base->second};
    }

    // Applies Parts until nothing changes; false when c has no parts at all.
    bool Expand(char32_t c, std::vector<char32_t>& out, int depth) const {
        if (depth > 32)
            throw std::runtime_error("decomposition does not end");
        const auto parts = Parts(c);
        if (!parts) {
            out.push_back(c);
            return false;
        }
        for (const char32_t part : *parts)
            Expand(part, out, depth + 1);
        return true;
    }

    const CharacterData& data_;
};

} // namespace

std::vector<CharacterMap> BuildCharacterMaps(const std::string& dataDir) {
    CharacterData data;
    ReadDerivedAge(dataDir, data);
    ReadUnicodeData(dataDir, data);
    ReadCaseFolding(dataDir, data);
    const MapBuilder builder(data);
    std::vector<CharacterMap> maps;
    maps.push_back(builder.SimpleMap("fold", 5, &MapBuilder::Fold));
    maps.push_back(builder.SimpleMap("lower", 5, &MapBuilder::Lower));
    maps.push_back(builder.SimpleMap("upper", 6, &MapBuilder::Upper));
    maps.push_back(builder.SimpleMap("title", 6, &MapBuilder::Title));
    maps.push_back(builder.Unaccent());
    return maps;
}

} // namespace sepmet::unicode_tables
