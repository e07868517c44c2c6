#include "controls/button/buttonsettings.h"

#include "controls/button/propertybag.h"

namespace {

// The bag holds colours as 32-bit integers, the same bits as our 0x00BBGGRR values.
QVariant colorValue(quint32 color)
{
    return qint32(color);
}

quint32 colorFrom(const QVariant& value)
{
    return quint32(value.toInt());
}

// A picture reference that is not set is written as nothing at all.
QVariant pictureReference(const QImage& picture)
{
    return picture.isNull() ? QVariant() : QVariant(picture);
}

} // namespace

ButtonSettings readButtonSettings(const PropertyBag& bag, const ButtonSettings& current)
{
    ButtonSettings s = current;
    s.ButtonType = bag.ReadProperty(QStringLiteral("BTYPE"), 2).toInt();
    s.Caption = bag.ReadProperty(QStringLiteral("TX"), QString()).toString();
    s.Enabled = bag.ReadProperty(QStringLiteral("ENAB"), true).toBool();
    s.Font = bag.ReadProperty(QStringLiteral("FONT"), current.Font).value<QFont>();
    s.ColorScheme = bag.ReadProperty(QStringLiteral("COLTYPE"), 1).toInt();
    s.ShowFocusRect = bag.ReadProperty(QStringLiteral("FOCUSR"), true).toBool();
    s.BackColor =
        colorFrom(bag.ReadProperty(QStringLiteral("BCOL"), colorValue(GetSysColor(COLOR_BTNFACE))));
    s.BackOver = colorFrom(bag.ReadProperty(QStringLiteral("BCOLO"), colorValue(s.BackColor)));
    s.ForeColor =
        colorFrom(bag.ReadProperty(QStringLiteral("FCOL"), colorValue(GetSysColor(COLOR_BTNTEXT))));
    s.ForeOver = colorFrom(bag.ReadProperty(QStringLiteral("FCOLO"), colorValue(s.ForeColor)));
    s.MaskColor = colorFrom(bag.ReadProperty(QStringLiteral("MCOL"), colorValue(0xC0C0C0)));
    s.MousePointer = qint16(bag.ReadProperty(QStringLiteral("MPTR"), 0).toInt());
    s.MouseIcon = bag.ReadProperty(QStringLiteral("MICON"), QImage()).value<QImage>();
    s.PictureNormal = bag.ReadProperty(QStringLiteral("PICN"), QImage()).value<QImage>();
    s.PictureOver = bag.ReadProperty(QStringLiteral("PICH"), QImage()).value<QImage>();
    s.UseMaskColor = bag.ReadProperty(QStringLiteral("UMCOL"), true).toBool();
    s.SoftBevel = bag.ReadProperty(QStringLiteral("SOFT"), false).toBool();
    s.PicturePosition = bag.ReadProperty(QStringLiteral("PICPOS"), 0).toInt();
    s.UseGreyscale = bag.ReadProperty(QStringLiteral("NGREY"), false).toBool();
    s.SpecialEffect = bag.ReadProperty(QStringLiteral("FX"), 0).toInt();
    s.HandPointer = bag.ReadProperty(QStringLiteral("HAND"), false).toBool();
    s.CheckBoxBehaviour = bag.ReadProperty(QStringLiteral("CHECK"), false).toBool();
    s.Value = bag.ReadProperty(QStringLiteral("VALUE"), false).toBool();
    return s;
}

void writeButtonSettings(PropertyBag& bag, const ButtonSettings& s)
{
    bag.WriteProperty(QStringLiteral("BTYPE"), s.ButtonType);
    bag.WriteProperty(QStringLiteral("TX"), s.Caption);
    bag.WriteProperty(QStringLiteral("ENAB"), s.Enabled);
    bag.WriteProperty(QStringLiteral("FONT"), s.Font);
    bag.WriteProperty(QStringLiteral("COLTYPE"), s.ColorScheme);
    bag.WriteProperty(QStringLiteral("FOCUSR"), s.ShowFocusRect);
    bag.WriteProperty(QStringLiteral("BCOL"), colorValue(s.BackColor));
    bag.WriteProperty(QStringLiteral("BCOLO"), colorValue(s.BackOver));
    bag.WriteProperty(QStringLiteral("FCOL"), colorValue(s.ForeColor));
    bag.WriteProperty(QStringLiteral("FCOLO"), colorValue(s.ForeOver));
    bag.WriteProperty(QStringLiteral("MCOL"), colorValue(s.MaskColor));
    bag.WriteProperty(QStringLiteral("MPTR"), QVariant::fromValue(s.MousePointer));
    // The mouse icon is the window's own picture object, so it exists even when empty.
    bag.WriteProperty(QStringLiteral("MICON"), s.MouseIcon);
    bag.WriteProperty(QStringLiteral("PICN"), pictureReference(s.PictureNormal));
    bag.WriteProperty(QStringLiteral("PICH"), pictureReference(s.PictureOver));
    bag.WriteProperty(QStringLiteral("UMCOL"), s.UseMaskColor);
    bag.WriteProperty(QStringLiteral("SOFT"), s.SoftBevel);
    bag.WriteProperty(QStringLiteral("PICPOS"), s.PicturePosition);
    bag.WriteProperty(QStringLiteral("NGREY"), s.UseGreyscale);
    bag.WriteProperty(QStringLiteral("FX"), s.SpecialEffect);
    bag.WriteProperty(QStringLiteral("HAND"), s.HandPointer);
    bag.WriteProperty(QStringLiteral("CHECK"), s.CheckBoxBehaviour);
    bag.WriteProperty(QStringLiteral("VALUE"), s.Value);
}
