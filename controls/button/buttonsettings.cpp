#include "controls/button/buttonsettings.h"

#include "controls/button/propertybag.h"

#include <array>
#include <type_traits>

namespace {

struct SettingEntry {
    const char* key;
    SettingMember member;
    // A picture reference that is not set leaves no entry; the mouse icon is always written.
    bool reference = false;
    // The name of its change notification, where it is not the key.
    const char* changeName = nullptr;
};

using S = ButtonSettings;

// Every setting, in the order the bag keeps them.
constexpr std::array<SettingEntry, 23> table{{
    {"BTYPE", &S::ButtonType},
    {"TX", &S::Caption},
    {"ENAB", &S::Enabled},
    {"FONT", &S::Font},
    {"COLTYPE", &S::ColorScheme},
    {"FOCUSR", &S::ShowFocusRect},
    {"BCOL", &S::BackColor},
    {"BCOLO", &S::BackOver},
    {"FCOL", &S::ForeColor},
    {"FCOLO", &S::ForeOver},
    {"MCOL", &S::MaskColor},
    {"MPTR", &S::MousePointer},
    {"MICON", &S::MouseIcon},
    {"PICN", &S::PictureNormal, true},
    {"PICH", &S::PictureOver, true, "PICO"},
    {"UMCOL", &S::UseMaskColor},
    {"SOFT", &S::SoftBevel},
    {"PICPOS", &S::PicturePosition},
    {"NGREY", &S::UseGreyscale},
    {"FX", &S::SpecialEffect},
    {"HAND", &S::HandPointer},
    {"CHECK", &S::CheckBoxBehaviour},
    {"VALUE", &S::Value},
}};

const SettingEntry& entryOf(SettingMember setting)
{
    for (const SettingEntry& entry : table) {
        if (entry.member == setting)
            return entry;
    }
    // Not reached: the table holds every member of ButtonSettings.
    return table.front();
}

template <typename T> QVariant toBag(const T& value)
{
    return QVariant::fromValue(value);
}

// The bag holds colours as 32-bit integers, the same bits as our 0x00BBGGRR values.
QVariant toBag(quint32 color)
{
    return qint32(color);
}

template <typename T> T fromBag(const QVariant& value)
{
    // Integers of any width in the bag convert, a pointer number narrowed to 16 bits.
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>)
        return T(value.toInt());
    else
        return value.value<T>();
}

} // namespace

QSize ButtonSettings::pictureSize() const
{
    return PictureNormal.deviceIndependentSize().toSize();
}

QString settingKey(SettingMember setting)
{
    return QString::fromLatin1(entryOf(setting).key);
}

QString settingChangeName(SettingMember setting)
{
    const SettingEntry& entry = entryOf(setting);
    return QString::fromLatin1(entry.changeName ? entry.changeName : entry.key);
}

ButtonSettings readButtonSettings(const PropertyBag& bag, const QFont& font)
{
    ButtonSettings s;
    s.Font = font;
    for (const SettingEntry& entry : table) {
        std::visit(
            [&](auto member) {
                using T = std::remove_reference_t<decltype(s.*member)>;
                const QString key = QString::fromLatin1(entry.key);
                s.*member = fromBag<T>(bag.ReadProperty(key, toBag(s.*member)));
            },
            entry.member);
    }
    // A hover colour the bag lacks is the plain colour just read.
    if (!bag.contains(settingKey(&S::BackOver)))
        s.BackOver = s.BackColor;
    if (!bag.contains(settingKey(&S::ForeOver)))
        s.ForeOver = s.ForeColor;
    return s;
}

void writeButtonSettings(PropertyBag& bag, const ButtonSettings& s)
{
    for (const SettingEntry& entry : table) {
        std::visit(
            [&](auto member) {
                const auto& value = s.*member;
                QVariant stored = toBag(value);
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QImage>) {
                    if (entry.reference && value.isNull())
                        stored = QVariant();
                }
                bag.WriteProperty(QString::fromLatin1(entry.key), stored);
            },
            entry.member);
    }
}
