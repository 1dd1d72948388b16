#include "session/window_memory.h"

#include "data/assay_collection.h"
#include "data/connection.h"
#include "platform/number_text.h"
#include "platform/utf.h"
#include "session/condition_text.h"
#include "session/profile_access.h"

#include <algorithm>
#include <memory>

namespace sepmet {
namespace {

constexpr std::u16string_view kMissingEntry = u"404"; // the reader's default: no such entry

constexpr std::u16string_view kUnrestoredText =
    u"Сохранённые хроматограммы не загружены: база данных недоступна.\n%s\n"
    u"Список хроматограмм сохранён и будет загружен при следующем открытии окна.";

std::vector<StoredAssay>& Unrestored() {
    static std::vector<StoredAssay> assays;
    return assays;
}

bool IsDecimalSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

std::u16string SqliteText(const AssayLoad& load) {
    if (load.failure && load.failure->what()[0] != '\0')
        return FromUtf8(load.failure->what());
    return u"unknown database error";
}

} // namespace

std::u16string AssayEntryName(int number) {
    return u"Assay " + FormatInteger(number);
}

std::u16string FormatAssayEntry(const StoredAssay& assay) {
    // "%llu": the identifier widened with its sign, then taken as unsigned.
    const auto widened = static_cast<unsigned long long>(static_cast<long long>(assay.id));
    std::u16string text;
    for (char c : std::to_string(widened))
        text.push_back(static_cast<char16_t>(c));
    return text + u"/" + FormatInteger(assay.isChecked);
}

std::int32_t ParseStoredInteger(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsDecimalSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    std::uint32_t value = 0; // wraps: the value modulo 2^32
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - u'0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::optional<StoredAssay> ParseAssayEntry(std::u16string_view text) {
    const std::size_t slash = text.find(u'/');
    if (slash == std::u16string_view::npos || slash == 0)
        return std::nullopt;
    return StoredAssay{ParseStoredInteger(text.substr(0, slash)),
                       ParseStoredInteger(text.substr(slash + 1))};
}

StoredAssayLoader DatabaseAssayLoader() {
    auto handle = std::make_shared<std::unique_ptr<DataBase::DataBaseHandle>>();
    return [handle](AssayCollection& assays, std::int32_t id) -> AssayLoad {
        if (!*handle) {
            auto opened = std::make_unique<DataBase::DataBaseHandle>();
            try {
                opened->Open();
            } catch (const DataBase::SqlException& e) {
                return AssayLoad{AssayLoad::Status::Failed, -1, e}; // a later call tries afresh
            }
            *handle = std::move(opened);
        }
        return LoadAssay(assays, **handle, id);
    };
}

AssayListRestore RestoreAssayList(ProfileAccess& profile, AssayCollection& assays,
                                  const StoredAssayLoader& load) {
    assays.Clear();
    std::vector<StoredAssay>& kept = Unrestored();
    kept.clear();
    AssayListRestore result;
    for (int number = 1; number <= kMaxStoredAssays; ++number) {
        const std::u16string text = profile.GetString(AssayEntryName(number), kMissingEntry);
        if (text == kMissingEntry)
            continue; // a gap: later entries are still read
        const std::optional<StoredAssay> entry = ParseAssayEntry(text);
        if (!entry)
            continue; // empty, without "/" or without an identifier: skipped, left in the profile
        if (result.databaseFailed) {
            // The database has failed once in this opening: the rest is kept without asking
            // it again (each attempt would wait for the lock anew).
            kept.push_back(*entry);
            continue;
        }
        const AssayLoad loaded = load(assays, entry->id);
        switch (loaded.status) {
        case AssayLoad::Status::Loaded:
            assays[static_cast<std::size_t>(loaded.index)].isChecked = entry->isChecked;
            ++result.restored;
            break;
        case AssayLoad::Status::NotFound:
            // Left in the profile: deleting it here would leave a gap for a crash to cut the
            // list at. The next save writes the list without it.
            ++result.notFound;
            break;
        case AssayLoad::Status::Failed:
            result.databaseFailed = true;
            result.databaseError = SqliteText(loaded);
            kept.push_back(*entry);
            break;
        }
    }
    return result;
}

void SaveAssayList(ProfileAccess& profile, const AssayCollection& assays) {
    std::vector<StoredAssay> entries;
    for (const Assay& assay : assays)
        entries.push_back({assay.id, assay.isChecked});
    // Those that a failed database kept out of the list follow, unless the operator has added
    // them again meanwhile.
    for (const StoredAssay& kept : Unrestored()) {
        const bool listed = std::any_of(entries.begin(), entries.end(),
                                        [&](const StoredAssay& e) { return e.id == kept.id; });
        if (!listed)
            entries.push_back(kept);
    }
    if (entries.size() > static_cast<std::size_t>(kMaxStoredAssays))
        entries.resize(kMaxStoredAssays);

    const int written = static_cast<int>(entries.size());
    for (int i = 0; i < written; ++i)
        profile.SetString(AssayEntryName(i + 1),
                          FormatAssayEntry(entries[static_cast<std::size_t>(i)]));
    // Stale entries after the last one written, gaps included. Each is read first, so only
    // existing ones cost a write.
    for (int number = written + 1; number <= kMaxStoredAssays; ++number) {
        const std::u16string name = AssayEntryName(number);
        if (profile.GetString(name, kMissingEntry) != kMissingEntry)
            profile.Delete(name);
    }
}

const std::vector<StoredAssay>& UnrestoredAssays() {
    return Unrestored();
}

void ForgetUnrestoredAssays() {
    Unrestored().clear();
}

std::u16string UnrestoredAssaysText(std::u16string_view databaseError) {
    return FillPlaceholder(kUnrestoredText, u"%s", databaseError);
}

StoredWindowRect ReadWindowRect(ProfileAccess& profile) {
    StoredWindowRect rect;
    rect.right = profile.GetInt(u"WindowRect_btx", 0);
    rect.bottom = profile.GetInt(u"WindowRect_bty", 0);
    rect.left = profile.GetInt(u"WindowRect_tlx", 0);
    rect.top = profile.GetInt(u"WindowRect_tly", 0);
    return rect;
}

void SaveWindowRect(ProfileAccess& profile, const StoredWindowRect& rect) {
    profile.SetInt(u"WindowRect_btx", rect.right);
    profile.SetInt(u"WindowRect_bty", rect.bottom);
    profile.SetInt(u"WindowRect_tlx", rect.left);
    profile.SetInt(u"WindowRect_tly", rect.top);
}

MeasurementSettings ReadMeasurementSettings(ProfileAccess& profile) {
    MeasurementSettings settings; // the defaults stand for absent values
    for (ConditionField field : kConditionFields) {
        double& value = ConditionValue(settings, field);
        value = profile.GetDouble(ConditionKey(field), value);
    }
    return settings;
}

void SaveMeasurementSettings(ProfileAccess& profile, const MeasurementSettings& settings) {
    for (ConditionField field : kConditionFields)
        profile.SetDouble(ConditionKey(field), ConditionValue(settings, field));
}

} // namespace sepmet
