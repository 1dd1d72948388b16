#include "platform/local_time.h"
#include "platform/utf.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <limits>
#include <locale.h>
#include <string_view>

namespace sepmet {
namespace {

bool ToLocalTime(std::int64_t seconds, std::tm& out) {
    if constexpr (sizeof(std::time_t) < sizeof(std::int64_t)) {
        if (seconds < std::numeric_limits<std::time_t>::min() ||
            seconds > std::numeric_limits<std::time_t>::max())
            return false;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    return localtime_r(&t, &out) != nullptr;
}

// The environment variables that decide the user's time formats and character set, and where the
// locales are looked up.
std::string LocaleEnvironment() {
    std::string key;
    for (const char* name : {"LC_ALL", "LC_TIME", "LC_CTYPE", "LANG", "LOCPATH"}) {
        const char* value = std::getenv(name);
        key += value ? value : "";
        key += '\n';
    }
    return key;
}

// "C", "POSIX" and their variants such as "C.UTF-8" carry no regional formats of a user.
bool IsRegionalLocale(locale_t locale) {
    const char* name = nl_langinfo_l(_NL_LOCALE_NAME(LC_TIME), locale);
    if (!name || !*name)
        return false;
    const std::string_view text(name);
    return text != "C" && text != "POSIX" && !text.starts_with("C.") && !text.starts_with("POSIX.");
}

struct UserLocaleInfo {
    locale_t locale = nullptr; // never null in practice; null only when memory ran out
    bool regional = false;     // a real user locale, not "C"/"POSIX" or a fallback
};

// The user's locale, made from the environment. Making one reads the locale files, so it is kept
// for this thread and made again only when the environment names another one.
UserLocaleInfo UserLocale() {
    struct Cache {
        std::string key;
        UserLocaleInfo info;
        ~Cache() {
            if (info.locale)
                freelocale(info.locale);
        }
    };
    thread_local Cache cache;
    std::string key = LocaleEnvironment();
    if (!cache.info.locale || key != cache.key) {
        UserLocaleInfo made;
        made.locale = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", nullptr);
        made.regional = made.locale && IsRegionalLocale(made.locale);
        if (!made.locale)
            made.locale = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", nullptr);
        if (cache.info.locale)
            freelocale(cache.info.locale);
        cache.info = made;
        cache.key = std::move(key);
    }
    return cache.info;
}

// The bytes strftime_l wrote are in the locale's character set, which need not be UTF-8
// (ru_RU.KOI8-R, for example).
std::u16string FromLocaleBytes(std::string_view bytes, locale_t locale) {
    const char* codeset = locale ? nl_langinfo_l(CODESET, locale) : nullptr;
    if (!codeset || std::strcmp(codeset, "UTF-8") == 0 ||
        std::strcmp(codeset, "ANSI_X3.4-1968") == 0)
        return FromUtf8(bytes);
    iconv_t cd = iconv_open("UTF-8", codeset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return FromUtf8(bytes);
    std::string in(bytes);
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const bool converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!converted)
        return FromUtf8(bytes);
    out.resize(out.size() - outLeft);
    return FromUtf8(out);
}

std::string FormatTm(const char* format, const std::tm& tm, locale_t locale) {
    char buffer[128];
    const std::size_t n = locale ? strftime_l(buffer, sizeof buffer, format, &tm, locale)
                                 : std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

} // namespace

void ReadLocalTimeZone() {
    tzset();
}

std::u16string FormatChromatogramDate(std::int64_t secondsSinceEpoch) {
    std::tm tm{};
    if (!ToLocalTime(secondsSinceEpoch, tm))
        return {};
    char buffer[64];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%d.%m.%y  %R", &tm);
    return FromUtf8(std::string_view(buffer, n));
}

std::u16string FormatUserDateTime(std::time_t when) {
    std::tm tm{};
    if (!ToLocalTime(when, tm))
        return {};
    const UserLocaleInfo user = UserLocale();
    // Without a user locale the "C" forms would be "03/05/24 09:07:00", which a Russian reader
    // takes for 3 May; the day comes first then, with the full year.
    if (!user.regional)
        return FromUtf8(FormatTm("%d.%m.%Y %H:%M:%S", tm, nullptr));
    std::string text = FormatTm("%x", tm, user.locale);
    text += ' ';
    text += FormatTm("%X", tm, user.locale);
    return FromLocaleBytes(text, user.locale);
}

} // namespace sepmet
