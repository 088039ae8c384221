#include "core/model/textutil.h"

#include <QTest>

#include <limits>

using namespace korvalo;

class TestTextUtil : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formatFixed_data();
    void formatFixed();
    void formatFileReals_data();
    void formatFileReals();
    void roundHalfEven();
    void trimBlanks();
    void splitText_data();
    void splitText();
    void distinctList();
    void lineBreaksToBlanks();
};

void TestTextUtil::formatFixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");

    QTest::newRow("half up") << 0.125 << 2 << "." << "0.13";
    QTest::newRow("half up negative") << -0.125 << 2 << "." << "-0.13";
    // 2.675 is stored as 2.67499999999999982..., so it goes down.
    QTest::newRow("binary below half") << 2.675 << 2 << "." << "2.67";
    QTest::newRow("padding") << 7.0 << 3 << "." << "7.000";
    QTest::newRow("no decimals") << 2.5 << 0 << "." << "3";
    QTest::newRow("carry into new digit") << 9.9996 << 3 << "." << "10.000";
    QTest::newRow("carry below one") << 0.0996 << 2 << "." << "0.10";
    QTest::newRow("small rounds to zero") << 0.004 << 2 << "." << "0.00";
    QTest::newRow("small rounds up") << 0.005 << 2 << "." << "0.01";
    QTest::newRow("negative rounds to zero") << -0.001 << 2 << "." << "0.00";
    QTest::newRow("negative zero") << -0.0 << 2 << "." << "0.00";
    QTest::newRow("zero") << 0.0 << 4 << "." << "0.0000";
    QTest::newRow("1e15") << 1e15 << 2 << "." << "1000000000000000.00";
    QTest::newRow("above 1e15, 15 digits") << 1234567890123456.7 << 2 << "." << "1234567890123460.00";
    QTest::newRow("1e20") << 1e20 << 1 << "." << "100000000000000000000.0";
    QTest::newRow("20 decimals") << 0.12345678901234567890 << 20 << "." << "0.12345678901234600000";
    QTest::newRow("comma separator") << 1234.5 << 2 << "," << "1234,50";
    QTest::newRow("no thousands separator") << -98765.4321 << 1 << "." << "-98765.4";
    QTest::newRow("distance warning") << double(1.3f) << 4 << "." << "1.3000";
}

void TestTextUtil::formatFixed()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(FormatFixed(value, decimals, separator.at(0)), expected);
}

void TestTextUtil::formatFileReals_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    QTest::newRow("angle") << 45.5f << 3 << "45.500";
    QTest::newRow("sector angle") << 123.456789f << 5 << "123.45680";
    QTest::newRow("distance") << 0.1234f << 3 << "0.123";
    QTest::newRow("seven digits") << 12345.6789f << 3 << "12345.680";
    QTest::newRow("negative") << -90.25f << 3 << "-90.250";
    QTest::newRow("single noise hidden") << 0.1f << 5 << "0.10000";
}

void TestTextUtil::formatFileReals()
{
    QFETCH(float, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(FormatDecimal(value, decimals, 7, u'.'), expected);
}

void TestTextUtil::roundHalfEven()
{
    QCOMPARE(RoundHalfEven(2.5), 2.0);
    QCOMPARE(RoundHalfEven(3.5), 4.0);
    QCOMPARE(RoundHalfEven(-2.5), -2.0);
    QCOMPARE(RoundHalfEven(-3.5), -4.0);
    QCOMPARE(RoundHalfEven(0.49999), 0.0);
    QCOMPARE(RoundHalfEven(7.5000001), 8.0);
}

void TestTextUtil::trimBlanks()
{
    const QString nbsp(QChar(0x00A0));
    QCOMPARE(TrimBlanks(QStringLiteral(" \t\r\n abc \x01")), QStringLiteral("abc"));
    QCOMPARE(TrimBlanks(nbsp + u'x' + nbsp), nbsp + u'x' + nbsp);
    QCOMPARE(TrimBlanks(QStringLiteral("a b")), QStringLiteral("a b"));
    QVERIFY(IsBlank(QStringLiteral(" \x1f ")));
    QVERIFY(!IsBlank(nbsp));
}

void TestTextUtil::splitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("group") << "A=B=C" << "=" << QStringList{"A", "B", "C"};
    QTest::newRow("merger field") << "|B|C|" << "|" << QStringList{"", "B", "C"};
    QTest::newRow("empty middle") << "A==B" << "=" << QStringList{"A", "", "B"};
    QTest::newRow("blank") << "  " << "=" << QStringList{};
    QTest::newRow("blanks around parts") << " A =  B " << "=" << QStringList{"A ", "B"};
}

void TestTextUtil::splitText()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QStringList, parts);
    QCOMPARE(SplitText(text, separator.at(0)), parts);
}

void TestTextUtil::distinctList()
{
    DistinctList list;
    QCOMPARE(list.add(QStringLiteral("Müller")), 0);
    QCOMPARE(list.add(QStringLiteral("Anna")), 1);
    QCOMPARE(list.add(QStringLiteral("MÜLLER")), 0);
    QCOMPARE(list.add(QStringLiteral("anna")), 1);
    QCOMPARE(list.items(), (QStringList{"Müller", "Anna"}));
    QVERIFY(list.contains(QStringLiteral("müller")));
    QVERIFY(!list.contains(QStringLiteral("Mueller")));

    // A text of more than 500 parts is split whole: there is no table to run out of.
    QStringList many;
    for (int i = 0; i < 750; ++i)
        many.append(QString::number(i));
    QCOMPARE(SplitText(many.join(u'|'), u'|'), many);
}

void TestTextUtil::lineBreaksToBlanks()
{
    QCOMPARE(LineBreaksToBlanks(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a b c d"));
    QCOMPARE(LineBreaksToBlanks(QStringLiteral("\n\n x \r\n")), QStringLiteral("   x  "));
    QCOMPARE(LineBreaksToBlanks(QStringLiteral("one line")), QStringLiteral("one line"));
}

QTEST_APPLESS_MAIN(TestTextUtil)
#include "tst_textutil.moc"
