#pragma once

#include "model/networkmodel.h"

// Shared benchmark data.

// A card at capacity, the worst a drag has to redraw on every mouse move.
inline const NetworkModel &CapacityModel()
{
    static const NetworkModel model = [] {
        NetworkModel m;
        SetupEgo(m, QStringLiteral("Bench Ego"), {}, 0, {}, {}, QStringLiteral("B1"));
        AddCard(m, QStringLiteral("Capacity"), 20, QStringLiteral("normal"), 2, {}, {}, {});
        for (int s = 0; s < MaxSectors; ++s)
            AddSector(m, 1, QStringLiteral("Sector %1").arg(s + 1), s % 8 + 1, s * 7.2f);
        static const char16_t *symbols[] = {u"flash", u"triangle", u"box", u"diamond"};
        for (int i = 1; i <= MaxNodes; ++i) {
            Node n;
            n.ID = QStringLiteral("N%1").arg(i);
            n.Label = QStringLiteral("Alter number %1").arg(i);
            n.Color = i % 8 + 1;
            n.Angle = float((i * 137) % 360) + 0.5f;
            n.Distance = float(i % 97) / 97.0f;
            n.Human = i % 3 == 0 ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
            n.Size = i % 10 == 0 ? 4 : 1;
            if (i % 4 == 0)
                n.Symbol = QString::fromUtf16(symbols[(i / 4) % 4]);
            n.NodeSize = QStringLiteral("normal");
            n.Sex = QStringLiteral("undefined");
            AddNode(m, 1, n);
        }
        for (int l = 1; l <= MaxLines; ++l)
            AddLine(m, l % 50 == 0 ? 0 : l, (l * 7) % MaxNodes + 1, l % 3 + 1, l % 9);
        return m;
    }();
    return model;
}

