#pragma once

#include <QFont>

// The fonts and text pictures behind DrawMapText (render.h), kept per thread between
// redraws.

namespace korvalo {

// Arial of the map, not antialiased, at an em height of `pixels`.
struct MapFont
{
    QFont font;
    int ascent = 0;
};

// The font of that size, made once per thread; the reference stays valid until the
// next call.
const MapFont &MapFontOfSize(int pixels);
// The same Arial antialiased and unhinted, for smooth pictures.
const MapFont &SmoothMapFontOfSize(int pixels);

} // namespace korvalo
