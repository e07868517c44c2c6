#include "controls/formpalette.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace {

struct RoleColours {
    QPalette::ColorRole role;
    QRgb normal; // active and inactive
    QRgb disabled;
};

// The light grey window, white boxes and black text the forms were laid out on.
constexpr RoleColours kDesigned[] = {
    {QPalette::WindowText, 0x000000, 0xBEBEBE},    {QPalette::Button, 0xEFEFEF, 0xEFEFEF},
    {QPalette::Light, 0xFFFFFF, 0xFFFFFF},         {QPalette::Midlight, 0xCACACA, 0xCACACA},
    {QPalette::Dark, 0x9F9F9F, 0xBEBEBE},          {QPalette::Mid, 0xB8B8B8, 0xB8B8B8},
    {QPalette::Text, 0x000000, 0xBEBEBE},          {QPalette::BrightText, 0xFFFFFF, 0xFFFFFF},
    {QPalette::ButtonText, 0x000000, 0xBEBEBE},    {QPalette::Base, 0xFFFFFF, 0xEFEFEF},
    {QPalette::Window, 0xEFEFEF, 0xEFEFEF},        {QPalette::Shadow, 0x767676, 0xB1B1B1},
    {QPalette::Highlight, 0x308CC6, 0x919191},     {QPalette::HighlightedText, 0xFFFFFF, 0xFFFFFF},
    {QPalette::Link, 0x0000FF, 0x0000FF},          {QPalette::LinkVisited, 0xFF00FF, 0xFF00FF},
    {QPalette::AlternateBase, 0xF7F7F7, 0xF7F7F7}, {QPalette::ToolTipBase, 0xFFFFDC, 0xFFFFDC},
    {QPalette::ToolTipText, 0x000000, 0x000000},   {QPalette::PlaceholderText, 0x606060, 0x808080},
};

QPalette designedPalette()
{
    QPalette palette;
    for (const RoleColours& colours : kDesigned) {
        palette.setColor(QPalette::Active, colours.role, QColor(colours.normal));
        palette.setColor(QPalette::Inactive, colours.role, QColor(colours.normal));
        palette.setColor(QPalette::Disabled, colours.role, QColor(colours.disabled));
    }
    return palette;
}

} // namespace

void applyDesignedPalette(QWidget* form)
{
    form->setPalette(designedPalette());
}

void applyDesignedPaletteToApplication()
{
    QApplication::setPalette(designedPalette());
}
