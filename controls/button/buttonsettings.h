#pragma once

#include "controls/button/syscolors.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <variant>

class PropertyBag;

// The 23 values a button keeps in its form's design data, with the values a bag lacking their
// keys gives. Colours are 0x00BBGGRR or system colour references; a null picture is not set.
struct ButtonSettings {
    qint32 ButtonType = 2;
    QString Caption;
    bool Enabled = true;
    QFont Font;
    qint32 ColorScheme = 1;
    bool ShowFocusRect = true;
    quint32 BackColor = GetSysColor(COLOR_BTNFACE);
    quint32 BackOver = BackColor;
    quint32 ForeColor = GetSysColor(COLOR_BTNTEXT);
    quint32 ForeOver = ForeColor;
    quint32 MaskColor = 0xC0C0C0;
    qint16 MousePointer = 0;
    QImage MouseIcon;
    QImage PictureNormal;
    QImage PictureOver;
    bool UseMaskColor = true;
    bool SoftBevel = false;
    qint32 PicturePosition = 0;
    bool UseGreyscale = false;
    qint32 SpecialEffect = 0;
    bool HandPointer = false;
    bool CheckBoxBehaviour = false;
    bool Value = false;

    // The size of PictureNormal in logical pixels, empty without one.
    QSize pictureSize() const;
    // PictureNormal or PictureOver is set, so the caption leaves room for a picture.
    bool hasPicture() const { return !PictureNormal.isNull() || !PictureOver.isNull(); }
};

// One of the 23 settings, named by its member: &ButtonSettings::Caption.
using SettingMember =
    std::variant<qint32 ButtonSettings::*, quint32 ButtonSettings::*, qint16 ButtonSettings::*,
                 bool ButtonSettings::*, QString ButtonSettings::*, QFont ButtonSettings::*,
                 QImage ButtonSettings::*>;

// The property bag key of a setting ("PICH" for PictureOver).
QString settingKey(SettingMember setting);

// The name a change notification gives a setting: its key, but "PICO" for PictureOver.
QString settingChangeName(SettingMember setting);

// Reads the 23 keys in their saved order; a missing key gives its default, the font `font`,
// and BCOLO and FCOLO the BCOL and FCOL just read.
ButtonSettings readButtonSettings(const PropertyBag& bag, const QFont& font);

// Writes the 23 keys in their saved order, defaults included; a picture that is not set
// leaves no entry, while the mouse icon is always written.
void writeButtonSettings(PropertyBag& bag, const ButtonSettings& settings);
