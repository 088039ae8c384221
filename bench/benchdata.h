#pragma once

#include "core/model/networkmodel.h"

#include <QGuiApplication>

namespace korvalo {

// Shared benchmark data.

// The application object the drawing benchmarks need, made once, offscreen unless the
// environment names a platform.
inline void EnsureGuiApp()
{
    static int argc = 1;
    static char name[] = "korvalo-bench";
    static char *argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
}

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

// An ordinary interview ego: 100 cards of 7 circles, 6 sectors, 30 labelled alters and
// 25 lines each, the alters moving a little from card to card.
inline const NetworkModel &OrdinaryEgo()
{
    static const NetworkModel model = [] {
        const int cards = 100;
        NetworkModel m;
        SetupEgo(m, QStringLiteral("Ordinary Ego"), QStringLiteral("1970"), 1, {}, {}, QStringLiteral("OE-1"));
        const QString sectors[] = {QStringLiteral("Family"), QStringLiteral("Friends"), QStringLiteral("Work"),
                                   QStringLiteral("Neighbourhood"), QStringLiteral("Clubs"), QStringLiteral("Others")};
        for (int c = 1; c <= cards; ++c) {
            AddCard(m, QStringLiteral("Wave %1").arg(c), 7, QStringLiteral("normal"), 3, {}, {}, {});
            for (int s = 0; s < 6; ++s)
                AddSector(m, c, sectors[s], s + 1, float(s) * 60.0f);
            for (int n = 1; n <= 30; ++n) {
                Node node;
                node.ID = QString::number(100 + n);
                node.Label = QStringLiteral("Alter %1").arg(n);
                node.Angle = float((n * 37 + c * 3) % 360);
                node.Distance = float((n * 13 + c) % 100) / 100.0f;
                node.Color = 1 + n % 8;
                node.Human = QStringLiteral("TRUE");
                node.Sex = QStringLiteral("undefined");
                node.NodeSize = n % 5 == 0 ? QStringLiteral("bigger") : QStringLiteral("normal");
                node.Symbol = n % 6 == 0 ? QStringLiteral("box") : QString();
                AddNode(m, c, node);
            }
            for (int l = 1; l <= 25; ++l)
                AddLine(m, l % 5 == 0 ? 0 : l, (l * 7) % 30 + 1, 1 + l % 3, l % 9);
        }
        return m;
    }();
    return model;
}

} // namespace korvalo
