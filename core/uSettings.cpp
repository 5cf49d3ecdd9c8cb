#include "core/uSettings.h"

#include "platform/Registry.h"

#include <array>
#include <variant>

const char* const kSettingsKey = "\\Software\\Quorbis\\Vantorel";
const char* const kRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kAutoRunValue = "Vantorel";

namespace {

using platform::RegType;
using platform::RegValue;

using Field = std::variant<bool TSettings::*, std::string TSettings::*, int32_t TSettings::*>;

struct ValueDef {
    const char* name;
    Field field;
};

// Store order, which is also the order of TSettingsOrigin::Known.
const std::array<ValueDef, 12> kValues{{
    {"CloseToTray", &TSettings::CloseToTray},
    {"AutoRun", &TSettings::AutoRun},
    {"UseProxy", &TSettings::UseProxy},
    {"LastScanDate", &TSettings::LastScanDate},
    {"LastDefragDate", &TSettings::LastDefragDate},
    {"LastDefragRes", &TSettings::LastDefragRes},
    {"ProxyHost", &TSettings::ProxyHost},
    {"ProxyPort", &TSettings::ProxyPort},
    {"ProxyLogin", &TSettings::ProxyLogin},
    {"ProxyPassw", &TSettings::ProxyPassw},
    {"ErrFound", &TSettings::ErrFound},
    {"ErrFixed", &TSettings::ErrFixed},
}};
constexpr size_t kAutoRunIndex = 1;

std::string Quoted(const char* fmt, const char* name)
{
    std::string s = fmt;
    return s.replace(s.find("%s"), 2, name);
}

// A number value is fetched into a 4-byte buffer.
uint32_t ReadNumber(const RegValue& v, const char* name)
{
    if (v.data.size() > 4)
        throw ERegistryException(Quoted("Failed to get data for '%s'", name));
    if (v.type != RegType::Dword)
        throw ERegistryException(Quoted("Invalid data type for '%s'", name));
    uint32_t x = 0;
    for (size_t i = 0; i < v.data.size(); ++i)
        x |= uint32_t(v.data[i]) << (8 * i);
    return x;
}

std::string ReadString(const RegValue& v, const char* name)
{
    if (v.data.empty())
        return {};
    if (v.type != RegType::Sz && v.type != RegType::ExpandSz)
        throw ERegistryException(Quoted("Invalid data type for '%s'", name));
    std::string text(v.data.begin(), v.data.end());
    return text.substr(0, text.find('\0'));
}

struct OriginRecorder {
    TSettingsOrigin* origin;
    const TSettings& settings;
    ~OriginRecorder()
    {
        if (origin)
            origin->AsRead = settings;
    }
};

bool SameField(const TSettings& a, const TSettings& b, const Field& f)
{
    return std::visit([&](auto member) { return a.*member == b.*member; }, f);
}

} // namespace

void ReadSettings(TSettings& settings, TSettingsOrigin* origin)
{
    settings = TSettings{};
    if (origin) {
        *origin = TSettingsOrigin{};
        origin->Read = true;
    }
    OriginRecorder recorder{origin, settings};

    auto key = platform::Registry().OpenKey(platform::Hive::CurrentUser, kSettingsKey,
                                            platform::RegAccess::Read, false);
    if (!key) {
        if (origin)
            origin->Known.set();
        return;
    }
    for (size_t i = 0; i < kValues.size(); ++i) {
        const ValueDef& def = kValues[i];
        if (auto v = key->QueryValue(def.name)) {
            std::visit(
                [&](auto member) {
                    using T = std::remove_cvref_t<decltype(settings.*member)>;
                    if constexpr (std::is_same_v<T, bool>)
                        settings.*member = ReadNumber(*v, def.name) == 1;
                    else if constexpr (std::is_same_v<T, int32_t>)
                        settings.*member = int32_t(ReadNumber(*v, def.name));
                    else
                        settings.*member = ReadString(*v, def.name);
                },
                def.field);
        }
        if (origin)
            origin->Known.set(i);
    }
}

void WriteSettings(const TSettings& settings, const std::string& exeName,
                   const TSettingsOrigin* origin)
{
    const TSettings s = settings;
    if (origin && !origin->Read)
        return;
    auto wanted = [&](size_t i) {
        return !origin || origin->Known[i] || !SameField(s, origin->AsRead, kValues[i].field);
    };
    bool any = false;
    for (size_t i = 0; i < kValues.size(); ++i)
        any = any || wanted(i);

    if (any) {
        auto key = platform::Registry().OpenKey(platform::Hive::CurrentUser, kSettingsKey,
                                                platform::RegAccess::ReadWrite, true);
        if (key) {
            for (size_t i = 0; i < kValues.size(); ++i) {
                if (!wanted(i))
                    continue;
                const ValueDef& def = kValues[i];
                RegValue v = std::visit(
                    [&](auto member) {
                        using T = std::remove_cvref_t<decltype(s.*member)>;
                        if constexpr (std::is_same_v<T, bool>)
                            return RegValue::Dword(s.*member ? 1 : 0);
                        else if constexpr (std::is_same_v<T, int32_t>)
                            return RegValue::Dword(uint32_t(s.*member));
                        else
                            return RegValue::String(s.*member);
                    },
                    def.field);
                try {
                    key->SetValue(def.name, v);
                } catch (const std::exception&) {
                    throw ERegistryException(Quoted("Failed to set data for '%s'", def.name));
                }
            }
        }
    }

    if (!wanted(kAutoRunIndex))
        return;
    auto run = platform::Registry().OpenKey(platform::Hive::CurrentUser, kRunKey,
                                            platform::RegAccess::ReadWrite, true);
    if (!run)
        return;
    if (s.AutoRun) {
        try {
            run->SetValue(kAutoRunValue, RegValue::String(exeName + " /ot"));
        } catch (const std::exception&) {
            throw ERegistryException(Quoted("Failed to set data for '%s'", kAutoRunValue));
        }
    } else {
        run->DeleteValue(kAutoRunValue);
    }
}
